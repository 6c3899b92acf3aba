// The yejian-standin program itself: clear errors for what cannot work, the ports file for
// callers that let it pick free ports, and a clean stop on SIGTERM.

#include "standin_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace yejian::standin::testing {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exit_code = -1;
    std::string out;
    std::string err;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override { dir_ = make_temp_dir("program"); }
    void TearDown() override
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        fs::remove_all(dir_);
    }

    std::vector<std::string> usual_flags() const
    {
        return {"--cert", (certificate_dir() / "server.pem").string(), "--key",
                (certificate_dir() / "server-key.pem").string(), "--data-dir", (dir_ / "data").string()};
    }

    void spawn(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), YEJIAN_STANDIN_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (dir_ / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (dir_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }

    // Waits for the program to end (killing it after a minute, which fails the test).
    Outcome finish()
    {
        Outcome outcome;
        int status = 0;
        for (int i = 0; i < 1200 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::waitpid(pid_, &status, WNOHANG) == 0) {
            ADD_FAILURE() << "the program did not end";
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = 0;
        outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = read_file(dir_ / "out");
        outcome.err = read_file(dir_ / "err");
        return outcome;
    }

    Outcome run(std::vector<std::string> arguments)
    {
        spawn(std::move(arguments));
        return finish();
    }

    fs::path dir_;
    pid_t pid_ = 0;
};

TEST_F(Program, BadCommandLinesAreRefusedWithTheReason)
{
    std::vector<std::string> usual = usual_flags();
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> all = usual;
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    };
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    } cases[] = {
        {with({"--bogus"}), "unknown argument \"--bogus\""},
        {with({"--https-port", "70000"}), "--https-port wants a whole number from 0 to 65535"},
        {with({"--http-port", "12ab"}), "--http-port wants a whole number"},
        {with({"--log"}), "--log needs a value"},
        {with({"--fault", "{nope"}), "--fault wants a JSON object"},
        {with({"--fault", R"({"fault":"explode"})"}), "unknown fault"},
        {with({"--https-port=4000", "--http-port=4000"}), "must differ"},
        {{"--data-dir", "x"}, "--cert and --key are required"},
    };
    for (const Case& c : cases) {
        Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.exit_code, 2) << c.says;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    }
    Outcome help = run({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--ports-file"), std::string::npos);
}

TEST_F(Program, MissingCertificateOrUnusableFilesAreNamed)
{
    std::vector<std::string> arguments = usual_flags();
    arguments[1] = (dir_ / "none.pem").string();
    Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_NE(outcome.err.find("none.pem not found"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("make-cert.sh"), std::string::npos) << outcome.err;

    write_file(dir_ / "garbage.pem", "not a certificate");
    arguments[1] = (dir_ / "garbage.pem").string();
    outcome = run(arguments);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_NE(outcome.err.find("cannot use certificate"), std::string::npos) << outcome.err;

    arguments = usual_flags();
    arguments.insert(arguments.end(), {"--faults", (dir_ / "missing-faults.json").string()});
    outcome = run(arguments);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_NE(outcome.err.find("missing-faults.json"), std::string::npos) << outcome.err;
}

TEST_F(Program, BusyPortIsReportedAsSuch)
{
    int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(sock, 1), 0);
    socklen_t length = sizeof address;
    ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    std::string port = std::to_string(ntohs(address.sin_port));

    std::vector<std::string> arguments = usual_flags();
    arguments.insert(arguments.end(), {"--http-port", port});
    Outcome outcome = run(arguments);
    ::close(sock);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_NE(outcome.err.find("cannot listen for HTTP on 127.0.0.1:" + port + ": the port is in use"),
              std::string::npos)
        << outcome.err;
}

TEST_F(Program, PicksFreePortsWritesThemAndStopsCleanlyOnSigterm)
{
    fs::path ports_file = dir_ / "ports";
    std::vector<std::string> arguments = usual_flags();
    arguments.insert(arguments.end(), {"--ports-file", ports_file.string()});
    spawn(arguments);
    for (int i = 0; i < 600 && !fs::exists(ports_file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string ports = read_file(ports_file);
    ASSERT_NE(ports.find("https_port="), std::string::npos) << read_file(dir_ / "err");
    int http_port = std::stoi(ports.substr(ports.find("http_port=") + 10));
    EXPECT_NE(ports.find("pid=" + std::to_string(pid_) + "\n"), std::string::npos);

    httplib::Client client("127.0.0.1", http_port);
    auto page = client.Get("/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("旅行日记"), std::string::npos);

    ::kill(pid_, SIGTERM);
    Outcome outcome = finish();
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_NE(outcome.out.find("http_port=" + std::to_string(http_port)), std::string::npos);
    EXPECT_NE(outcome.out.find("yejian-standin: stopped"), std::string::npos) << outcome.out;
    EXPECT_TRUE(fs::exists(dir_ / "data" / "requests.jsonl"));
}

} // namespace
} // namespace yejian::standin::testing
