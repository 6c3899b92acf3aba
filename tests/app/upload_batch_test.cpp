// The batch against the real stand-in: every byte the three requests put on the wire, the
// marks, the pauses, and a shutdown in the middle of a batch.

#include "app/upload_batch.h"

#include "app/upload_requests.h"
#include "batch_fixture.h"
#include "fake_batch_controls.h"
#include "platform/shutdown.h"
#include "standin/digest.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <future>
#include <thread>

using namespace yejian;
using app::testing::FakeBatchControls;
using app::testing::FakeRow;
using standin::Json;

namespace {

class UploadBatchTest : public app::testing::BatchFixture {
protected:
    static std::string header(const Json& request, const std::string& name)
    {
        for (const auto& line : request["headers"]) {
            const std::string text = line.get<std::string>();
            if (text.rfind(name + ":", 0) == 0)
                return text.substr(name.size() + 1);
        }
        return "<missing>";
    }

    // The log's time, "2026-12-11T06:04:30.123Z", as seconds.
    static double seconds_of(const Json& request)
    {
        std::tm parts{};
        int millis = 0;
        std::sscanf(request["time"].get<std::string>().c_str(), "%d-%d-%dT%d:%d:%d.%dZ", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &millis);
        parts.tm_year -= 1900;
        parts.tm_mon -= 1;
        return double(timegm(&parts)) + millis / 1000.0;
    }

    static std::vector<std::string> form_of(const Json& request)
    {
        std::vector<std::string> pairs;
        for (const auto& pair : request["form"])
            pairs.push_back(pair[0].get<std::string>() + "=" + pair[1].get<std::string>());
        return pairs;
    }
};

TEST_F(UploadBatchTest, EachRowBecomesAPinOnItsOwnBoard)
{
    const std::string bytes("\xff\xd8\xff\xe0 jpeg \x00 bytes", 16);
    FakeBatchControls controls({{2001, image("原创风景.jpg", bytes)}, {3000000001, image("a b_c.png", "png")}});
    app::run_batch(controls, session_cookies_);

    EXPECT_EQ(controls.statuses(), (std::vector<std::string>{"√", "√"}));
    const auto uploads = requests_to("/upload/");
    const auto pins = requests_to("/pins/");
    ASSERT_EQ(uploads.size(), 2u);
    ASSERT_EQ(pins.size(), 4u);

    // Upload: the body byte for byte, the row's board in the Referer, the session's cookies.
    const std::string body = app::multipart_body("风景", bytes);
    EXPECT_EQ(uploads[0]["body_size"], body.size());
    EXPECT_EQ(uploads[0]["files"][0]["file_name"], "风景");
    EXPECT_EQ(uploads[0]["files"][0]["size"], bytes.size());
    EXPECT_EQ(header(uploads[0], "Referer"), " http://yejian.example/boards/2001/");
    EXPECT_EQ(header(uploads[1], "Referer"), " http://yejian.example/boards/3000000001/");
    EXPECT_EQ(header(uploads[0], "Content-Type"), " multipart/form-data; boundary=---------------------------7e02275259081e");
    EXPECT_NE(header(uploads[0], "Cookie").find("sid="), std::string::npos);

    // Pin creation, then the edit of that pin with the source link.
    const std::string file_id = std::to_string(int64_t(1000001));
    EXPECT_EQ(pins[0]["target"], "/pins/");
    EXPECT_EQ(form_of(pins[0]), (std::vector<std::string>{"board_id=2001", "text=风景", "check=true",
                                                          "file_id=" + file_id, "via=1", "share_button=0"}));
    const std::string pin_target = pins[1]["target"];
    EXPECT_EQ(pin_target, "/pins/5000001/");
    EXPECT_EQ(form_of(pins[1]),
              (std::vector<std::string>{"board_id=2001", "text=风景", "link=https://yejian.example/uploader/"}));
    EXPECT_EQ(header(pins[1], "Referer"), " http://yejian.example/pins/5000001/edit/");
    EXPECT_EQ(form_of(pins[2])[0], "board_id=3000000001");
    EXPECT_EQ(form_of(pins[2])[1], "text=a b_c");

    // Back to Idle, and the box that ends the batch, once.
    EXPECT_TRUE(controls.import_enabled());
    EXPECT_TRUE(controls.start_enabled());
    EXPECT_EQ(controls.caption(), app::idle_start_caption);
    EXPECT_EQ(controls.finished_boxes(), 1);
}

TEST_F(UploadBatchTest, CookiesOfEachAnswerGoWithTheNextRequest)
{
    FakeBatchControls controls({{2001, image("a.jpg", "x")}});
    app::run_batch(controls, session_cookies_);
    const auto uploads = requests_to("/upload/");
    const auto pins = requests_to("/pins/");
    ASSERT_EQ(uploads.size(), 1u);
    ASSERT_EQ(pins.size(), 2u);
    // The upload answer renews _csrf; the pin creation carries the new value.
    const std::string before = header(uploads[0], "Cookie");
    const std::string after = header(pins[0], "Cookie");
    EXPECT_NE(before, after);
    EXPECT_NE(after.find("_csrf="), std::string::npos);
    EXPECT_NE(session_cookies_.find(after.substr(after.find("_csrf="), 20)), std::string::npos);
}

TEST_F(UploadBatchTest, AnEmptyFileIsSentButOneThatCannotBeReadIsAFailedRowWithNoRequest)
{
    FakeBatchControls controls({{2001, image(".jpg", "")},
                                {2001, files_.string() + "/vanished.jpg"},
                                {2001, files_.string()},
                                {2001, ""},
                                {2001, image("after.jpg", "a")}});
    app::run_batch(controls, session_cookies_);
    EXPECT_EQ(controls.statuses(), (std::vector<std::string>{"√", "×", "×", "×", "√"}));
    const auto uploads = requests_to("/upload/");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0]["body_size"], 180); // no name, no bytes: the bare frame
    EXPECT_EQ(uploads[1]["files"][0]["file_name"], "after");
}

// Names as a file system may hold them: each file arrives intact and its pin says what the
// name said, whatever bytes the name has.
TEST_F(UploadBatchTest, AwkwardFileNamesStillGiveIntactFilesAndTheirPins)
{
    struct Case {
        std::string file_name;
        std::string pin_text;     // as the stand-in decodes the pin form
        std::string part_name;    // the file name of the multipart part, as the stand-in parses it
    };
    const std::string long_stem(251, 'n');
    const Case cases[] = {
        {"say \"hi\".jpg", "say \"hi\"", "say %22hi%22"},
        {"two\nlines\r.jpg", "two\nlines\r", "two%0Alines%0D"},
        {"bad\xff\xfe utf8.jpg", "bad\xef\xbf\xbd\xef\xbf\xbd utf8", "bad\xef\xbf\xbd\xef\xbf\xbd utf8"},
        {long_stem + ".jpg", long_stem, long_stem}, // 255 bytes, the longest name a file system takes
    };
    std::vector<FakeRow> rows;
    std::vector<std::string> contents;
    for (const Case& c : cases) {
        contents.push_back("\xff\xd8 bytes of " + c.file_name);
        rows.push_back({2001, image(c.file_name, contents.back())});
    }
    FakeBatchControls controls(rows, "0");
    app::run_batch(controls, session_cookies_);

    EXPECT_EQ(controls.statuses(), std::vector<std::string>(std::size(cases), "√"));
    const auto uploads = requests_to("/upload/");
    const auto creations = requests_to("/pins/");
    ASSERT_EQ(uploads.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(uploads[i]["files"][0]["sha256"], standin::sha256_hex(contents[i]));
        EXPECT_EQ(uploads[i]["files"][0]["file_name"], cases[i].part_name);
        EXPECT_EQ(form_of(creations[2 * i])[1], "text=" + cases[i].pin_text);
    }
}

TEST_F(UploadBatchTest, NoPinWithoutAFileIdAndNoEditWithoutAPinId)
{
    write_faults(Json::array({Json{{"fault", "no_id"}, {"path", "/upload/"}, {"file_name", "noid"}},
                              Json{{"fault", "no_pin_id"}, {"path", "/pins/"}, {"file_name", "nopin"}}}));
    FakeBatchControls controls({{2001, image("noid.jpg", "1")}, {2001, image("nopin.jpg", "2")}, {2001, image("ok.jpg", "3")}});
    app::run_batch(controls, session_cookies_);

    EXPECT_EQ(controls.statuses(), (std::vector<std::string>{"×", "×", "√"}));
    EXPECT_EQ(requests_to("/upload/").size(), 3u);
    const auto pins = requests_to("/pins/");
    ASSERT_EQ(pins.size(), 3u); // nopin's creation, ok's creation and edit: never '/pins//'
    EXPECT_EQ(pins[0]["target"], "/pins/");
    EXPECT_EQ(pins[1]["target"], "/pins/");
    EXPECT_NE(pins[2]["target"], "/pins//");
}

TEST_F(UploadBatchTest, PauseBoxIsReadBeforeEveryPauseAndNoPauseFollowsTheLastRow)
{
    FakeBatchControls controls({{2001, image("1.jpg", "1")}, {2001, image("2.jpg", "2")}, {2001, image("3.jpg", "3")}}, "1");
    app::run_batch(controls, session_cookies_);
    EXPECT_EQ(controls.pause_reads(), 2);
    const auto uploads = requests_to("/upload/");
    const auto edits = requests_to("/pins/5");
    ASSERT_EQ(uploads.size(), 3u);
    ASSERT_EQ(edits.size(), 3u);
    // A whole second lies between the end of one row and the start of the next.
    EXPECT_GE(seconds_of(uploads[1]) - seconds_of(edits[0]), 0.99);
}

TEST_F(UploadBatchTest, ASecondBatchSendsEveryRowAgainAndOverwritesTheMarks)
{
    write_faults(Json::array({Json{{"fault", "error_500"}, {"path", "/upload/"}}}));
    FakeBatchControls controls({{2001, image("a.jpg", "a")}});
    app::run_batch(controls, session_cookies_);
    EXPECT_EQ(controls.statuses(), std::vector<std::string>{"×"});
    write_faults(Json::array());
    app::run_batch(controls, session_cookies_);
    EXPECT_EQ(controls.statuses(), std::vector<std::string>{"√"});
    EXPECT_EQ(controls.finished_boxes(), 2);
}

// A shutdown ends the batch promptly wherever it is, and the window is not touched again.
TEST_F(UploadBatchTest, ShutdownDuringAPauseOrASlowUploadEndsTheBatch)
{
    struct Case {
        const char* where;
        Json faults;
        std::string pause;
    };
    const Case cases[] = {
        {"pause", Json::array(), "3600"},
        {"upload", Json::array({Json{{"fault", "delay"}, {"path", "/upload/"}, {"ms", 600000}}}), "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        write_faults(c.faults);
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the stand-in rereads the file
        const std::size_t uploads_before = requests_to("/upload/").size();
        FakeBatchControls controls({{2001, image("a.jpg", "a")}, {2001, image("b.jpg", "b")}}, c.pause);
        auto batch = std::async(std::launch::async, [&] { app::run_batch(controls, session_cookies_); });
        // Into the pause after the first row, or into the first upload, which the stand-in holds.
        for (int i = 0; i < 100 && controls.statuses()[0] == "－" && c.pause != "0"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        platform::begin_shutdown();
        // Ten seconds is a liveness bound, not a speed check: unstopped, the batch takes an hour.
        ASSERT_EQ(batch.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(controls.finished_boxes(), 0);
        EXPECT_LE(requests_to("/upload/").size(), uploads_before + 1) << "no row after the shutdown";
        platform::reset_shutdown();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv); // pauses dispatch events as in the program
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
