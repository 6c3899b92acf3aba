#include "batch_fixture.h"

#include "platform/shutdown.h"
#include "web/answer_text.h"

#include <cstdlib>

namespace yejian::app::testing {

namespace fs = std::filesystem;

void BatchFixture::SetUp()
{
    StandinFixture::SetUp();
    start();
    route_service_to(server_->https_port(), server_->http_port());
    setenv("YEJIAN_CA_BUNDLE", (standin::testing::certificate_dir() / "ca.pem").c_str(), 1);
    files_ = dir_ / "files";
    fs::create_directories(files_);
    session_cookies_ = sign_in();
    ASSERT_NE(session_cookies_.find("sid="), std::string::npos) << session_cookies_;
}

void BatchFixture::TearDown()
{
    platform::reset_shutdown();
    StandinFixture::TearDown();
}

void BatchFixture::route_service_to(int https_port, int http_port)
{
    const std::string connect_to = "yejian.example:443:127.0.0.1:" + std::to_string(https_port) +
                                   ",yejian.example:80:127.0.0.1:" + std::to_string(http_port);
    setenv("YEJIAN_CONNECT_TO", connect_to.c_str(), 1);
}

std::string BatchFixture::sign_in()
{
    std::string new_cookies;
    web::web_access_text("https://yejian.example/auth/", "POST",
                         "email=demo%40yejian.example&password=demo-pass&_ref=frame", nullptr, &new_cookies,
                         "Content-Type: application/x-www-form-urlencoded; charset=utf-8");
    return new_cookies;
}

std::string BatchFixture::image(const std::string& name, const std::string& bytes)
{
    const fs::path path = files_ / name;
    standin::testing::write_file(path, bytes);
    return path.string();
}

std::vector<standin::Json> BatchFixture::requests_to(const std::string& prefix) const
{
    std::vector<standin::Json> found;
    for (const standin::Json& line : log_lines())
        if (line["target"].get<std::string>().rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace yejian::app::testing
