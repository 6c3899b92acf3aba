// Faults of the network and the service in the middle of a batch: the row they hit is marked
// "×", no sooner and no later than the fault allows, and the batch goes on with the next row
// and ends with its box.

#include "app/upload_batch.h"

#include "batch_fixture.h"
#include "fake_batch_controls.h"
#include "platform/shutdown.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace yejian;
using app::testing::FakeBatchControls;
using standin::Json;
using namespace std::chrono_literals;

namespace {

using Statuses = std::vector<std::string>;

// A server on a loopback port that accepts every connection and never sends a byte; the
// connections stay open until it is destroyed.
class SilentServer {
public:
    explicit SilentServer(int port)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        // The port was the stand-in's a moment ago; its closed connections may still hold it.
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 16) != 0)
            throw std::runtime_error("the silent server cannot listen on port " + std::to_string(port));
        acceptor_ = std::thread([this] {
            for (int connection; (connection = ::accept(listener_, nullptr, nullptr)) >= 0;) {
                std::lock_guard lock(mutex_);
                connections_.push_back(connection);
            }
        });
    }

    ~SilentServer()
    {
        ::shutdown(listener_, SHUT_RDWR); // ends the acceptor's accept()
        acceptor_.join();
        ::close(listener_);
        for (int connection : connections_)
            ::close(connection);
    }

    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::size_t accepted() const
    {
        std::lock_guard lock(mutex_);
        return connections_.size();
    }

private:
    int listener_ = -1;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<int> connections_;
};

class BatchFaultsTest : public app::testing::BatchFixture {
protected:
    // Waits until the row has its mark; false when it has none after `bound`, a liveness bound
    // far above what the fault should cost.
    static bool wait_for_mark(const FakeBatchControls& controls, int row, std::chrono::seconds bound)
    {
        const auto give_up = std::chrono::steady_clock::now() + bound;
        while (controls.statuses().at(row) == app::imported_mark) {
            if (std::chrono::steady_clock::now() > give_up)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    // The batch on a worker thread, as the window runs it.
    std::future<void> start_batch(FakeBatchControls& controls)
    {
        return std::async(std::launch::async, [this, &controls] { app::run_batch(controls, session_cookies_); });
    }

    // Whether the stand-in made a pin of the file with this description.
    bool pin_made_of(const std::string& description) const
    {
        for (const Json& request : requests_to("/pins/"))
            if (request["target"] == "/pins/" && request["status"] == 200 && request["fault"] == "")
                for (const auto& pair : request["form"])
                    if (pair[0] == "text" && pair[1] == description)
                        return true;
        return false;
    }

    // Ends a batch that is stuck, so a failed test does not hang on it.
    static void finish(std::future<void>& batch, std::chrono::seconds bound)
    {
        if (batch.wait_for(bound) != std::future_status::ready) {
            ADD_FAILURE() << "the batch did not end within " << bound.count() << " s";
            platform::begin_shutdown();
        }
        batch.wait();
    }
};

// The service's port goes dead after the first row and comes back after the second: the
// second row is "×", the rows around it "√". Nothing listening (the service killed) refuses
// at once; a server that takes the connection and never answers holds the row until the
// request's own receive time-out (30 s) runs out.
TEST_F(BatchFaultsTest, ARowMeetingADeadPortIsMarkedFailedAndTheBatchGoesOnOnceTheServiceIsBack)
{
    struct Case {
        const char* what;
        bool silent;
        std::chrono::seconds mark_bound;
    };
    const Case cases[] = {
        {"nothing listens: the service was killed", false, 5s},
        {"accepts and never answers", true, 60s},
    };
    const int https_port = server_->https_port();
    const int http_port = server_->http_port();
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string tag = std::to_string(round++);
        // The pause leaves the test time to take the service down and bring it back.
        FakeBatchControls controls({{2001, image("before" + tag + ".jpg", "1")},
                                    {2001, image("during" + tag + ".jpg", "2")},
                                    {2001, image("after" + tag + ".jpg", "3")}},
                                   "2");
        auto batch = start_batch(controls);

        ASSERT_TRUE(wait_for_mark(controls, 0, 20s));
        stop();
        std::unique_ptr<SilentServer> silent;
        if (c.silent)
            silent = std::make_unique<SilentServer>(http_port);

        const auto dead_since = std::chrono::steady_clock::now();
        const bool marked = wait_for_mark(controls, 1, c.mark_bound);
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - dead_since).count();
        RecordProperty(std::string("seconds_to_mark_") + (c.silent ? "silent" : "refused"), std::to_string(seconds));
        EXPECT_TRUE(marked) << "no mark after " << seconds << " s";
        if (silent) {
            EXPECT_GE(silent->accepted(), 1u) << "the row never reached the silent server";
        }

        silent.reset();
        standin::StandinOptions same_ports;
        same_ports.https_port = https_port;
        same_ports.http_port = http_port;
        start(same_ports);
        finish(batch, 30s);
        EXPECT_EQ(controls.statuses(), (Statuses{"√", "×", "√"}));
        EXPECT_EQ(controls.finished_boxes(), 1);
        EXPECT_EQ(controls.caption(), app::idle_start_caption);
    }
}

// The service misbehaves for one file: that row is "×", the next one, a plain file, "√". A
// request dropped on a kept-alive connection before any answer came is sent again on a new one
// (libcurl does so), so a rule that hits only once may leave a pin after all: then, and only
// then, the row is "√".
TEST_F(BatchFaultsTest, AFaultyAnswerFailsItsRowOnly)
{
    struct Case {
        const char* fault;
        const char* path;
        bool by_file_name; // otherwise the rule hits the first request to the path only
    };
    const Case cases[] = {
        {"drop_mid_request", "/upload/", false},
        {"drop_mid_request", "/pins/", false},
        {"drop", "/upload/", true},
        {"drop", "/pins/", true},
        {"not_json", "/upload/", true},
        {"not_json", "/pins/", true},
        {"error_500", "/upload/", true},
        {"error_500", "/pins/", true},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " on " + c.path);
        const std::string tag = std::to_string(round++);
        const std::string bad = "bad" + tag;
        const std::string good = "good" + tag;
        Json rule{{"fault", c.fault}, {"path", c.path}};
        if (c.by_file_name)
            rule["file_name"] = bad;
        else
            rule["times"] = 1;
        write_faults(Json::array({rule}));
        FakeBatchControls controls({{2001, image(bad + ".jpg", std::string(64 * 1024, 'b'))},
                                    {2001, image(good + ".jpg", "good")}});
        auto batch = start_batch(controls);
        finish(batch, 30s);
        if (c.by_file_name) {
            EXPECT_FALSE(pin_made_of(bad));
        }
        EXPECT_EQ(controls.statuses(), (Statuses{pin_made_of(bad) ? "√" : "×", "√"}));
        EXPECT_TRUE(pin_made_of(good));
        EXPECT_EQ(controls.finished_boxes(), 1);
    }
}

// An answer of 100 MB (the upload's JSON followed by blanks) is refused once it passes the
// size limit: the service kept the file, but the program never learns its id, so no pin is
// made and the row is "×".
TEST_F(BatchFaultsTest, AnAnswerOf100MegabytesFailsItsRowOnly)
{
    write_faults(Json::array(
        {Json{{"fault", "huge"}, {"path", "/upload/"}, {"file_name", "huge"}, {"bytes", 100'000'000}}}));
    FakeBatchControls controls({{2001, image("huge.jpg", "h")}, {2001, image("after.jpg", "a")}});
    auto batch = start_batch(controls);
    finish(batch, 60s);
    EXPECT_EQ(controls.statuses(), (Statuses{"×", "√"}));
    EXPECT_FALSE(pin_made_of("huge"));
    EXPECT_NE(requests_to("/upload/").at(0)["fault"].get<std::string>().find("huge"), std::string::npos)
        << "the answer was not the huge one";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv); // pauses dispatch events as in the program
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
