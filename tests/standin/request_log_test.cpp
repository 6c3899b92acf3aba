// The request log shows what arrived as it arrived (header lines in order, body hash, form
// fields in order) and never the password.

#include "standin_fixture.h"

#include "standin/digest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace yejian::standin::testing {
namespace {

namespace fs = std::filesystem;

// Sends raw bytes over plain TCP and returns everything the server answers.
std::string raw_exchange(int port, const std::string& request)
{
    int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(sock, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        for (ssize_t n; (n = ::recv(sock, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(sock);
    return answer;
}

class RequestLogTest : public StandinFixture {
protected:
    void SetUp() override
    {
        StandinFixture::SetUp();
        start();
    }
};

TEST_F(RequestLogTest, HeaderLinesBodyAndFormAreLoggedAsSent)
{
    const std::string body = "email=demo%40yejian.example&password=demo-pass&_ref=frame";
    const std::vector<std::string> headers = {
        "X-Request: JSON",
        "X-Requested-With: XMLHttpRequest",
        "Accept: application/json",
        "Content-Type: application/x-www-form-urlencoded; charset=utf-8",
        "Referer: http://yejian.example/",
        "Origin: http://yejian.example",
        "Accept-Encoding: gzip, deflate",
        "host: yejian.example",
        "X-Time:  12:30",
        "Content-Length: " + std::to_string(body.size()),
        "Connection: close",
    };
    std::string request = "POST /auth/ HTTP/1.1\r\n";
    for (const std::string& line : headers)
        request += line + "\r\n";
    request += "\r\n" + body;
    std::string answer = raw_exchange(server_->http_port(), request);
    EXPECT_NE(answer.find("Set-Cookie: sid="), std::string::npos);

    std::vector<Json> lines = log_lines();
    ASSERT_EQ(lines.size(), 1u);
    const Json& logged = lines[0];
    EXPECT_EQ(logged["scheme"], "http");
    EXPECT_EQ(logged["method"], "POST");
    EXPECT_EQ(logged["target"], "/auth/");
    EXPECT_EQ(logged["headers"].get<std::vector<std::string>>(), headers);
    EXPECT_EQ(logged["body_size"], body.size());
    EXPECT_EQ(logged["body_sha256"], sha256_hex(body));
    EXPECT_EQ(logged["form"], Json::parse(R"([["email","demo@yejian.example"],["password","<redacted>"],["_ref","frame"]])"));
    EXPECT_EQ(logged["account"], "demo@yejian.example");
    EXPECT_EQ(logged["status"], 200);
}

TEST_F(RequestLogTest, KeptAliveRequestsAreLoggedOneLineEach)
{
    std::string request = "GET /yejian-demo/?j2vonb3l&limit=500&wfl=1 HTTP/1.1\r\nHost: a\r\nAccept: */*\r\n\r\n"
                          "GET /nobody/ HTTP/1.1\r\nHost: b\r\nConnection: close\r\n\r\n";
    raw_exchange(server_->http_port(), request);
    std::vector<Json> lines = log_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["target"], "/yejian-demo/?j2vonb3l&limit=500&wfl=1");
    EXPECT_EQ(lines[0]["headers"], Json::parse(R"(["Host: a","Accept: */*"])"));
    EXPECT_EQ(lines[1]["target"], "/nobody/");
    EXPECT_EQ(lines[1]["status"], 404);
}

TEST_F(RequestLogTest, InterimContinueAnswerDoesNotCutTheRecordShort)
{
    // libcurl asks for "100 Continue" before large bodies; the record waits for the real answer.
    const std::string body = multipart_body("大", std::string(3000, 'x'));
    std::string request = "POST /upload/ HTTP/1.1\r\nHost: a\r\nContent-Type: " + std::string(multipart_type) +
                          "\r\nExpect: 100-continue\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body;
    std::string answer = raw_exchange(server_->http_port(), request);
    EXPECT_EQ(answer.rfind("HTTP/1.1 100 Continue", 0), 0u) << answer;
    std::vector<Json> lines = log_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["body_size"], body.size());
    EXPECT_EQ(lines[0]["body_sha256"], sha256_hex(body));
    EXPECT_EQ(lines[0]["status"], 401) << "no session";
}

TEST_F(RequestLogTest, NoPasswordIsWrittenAnywhere)
{
    const std::string secret = "Pa55-秘密&x";
    const std::string encoded = "Pa55-%E7%A7%98%E5%AF%86%26x";
    https_client()->Post("/auth/", "email=demo%40yejian.example&password=" + encoded + "&_ref=frame",
                         "application/x-www-form-urlencoded");
    https_client()->Post("/auth/", "email=demo%40yejian.example&password=demo-pass&_ref=frame",
                         "application/x-www-form-urlencoded");
    http_client()->Get("/yejian-demo/?password=" + encoded + "&x=1");
    http_client()->Get("/", {{"Authorization", "Basic " + encoded}});
    auto multipart = http_client()->Post("/auth/", "--b\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\n" +
                                                       secret + "\r\n--b--\r\n",
                                         "multipart/form-data; boundary=b");
    ASSERT_TRUE(multipart);
    stop();

    std::size_t files_searched = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
        if (!entry.is_regular_file() || entry.path() == faults_file_)
            continue;
        ++files_searched;
        std::string bytes = read_file(entry.path());
        for (const std::string& needle : {secret, encoded, std::string("demo-pass"), std::string("Pa55")})
            EXPECT_EQ(bytes.find(needle), std::string::npos) << needle << " in " << entry.path();
    }
    EXPECT_GE(files_searched, 2u) << "the log and the journal";
    EXPECT_EQ(log_lines().size(), 5u);
}

} // namespace
} // namespace yejian::standin::testing
