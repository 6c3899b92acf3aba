#pragma once
// Runs the real stand-in in-process on free loopback ports, with a certificate made by
// scripts/make-cert.sh, a fresh data folder and a faults file the test can rewrite.

#include "standin/json_text.h"
#include "standin/standin_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace yejian::standin::testing {

// Folder with ca.pem, server.pem and server-key.pem for yejian.example, made once per process.
// The same CA signed other-server.pem and other-server-key.pem for other_host: a certificate
// that is trusted but names the wrong host.
const std::filesystem::path& certificate_dir();
inline constexpr const char* other_host = "elsewhere.example";
std::filesystem::path make_temp_dir(const std::string& label);
std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view bytes);

// The multipart body exactly as the uploader builds it.
std::string multipart_body(std::string_view file_name, std::string_view file_bytes);
inline constexpr const char* multipart_type =
    "multipart/form-data; boundary=---------------------------7e02275259081e";

class StandinFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts (or restarts) the stand-in on the fixture's data folder.
    void start(StandinOptions extra = {});
    void stop();

    std::unique_ptr<httplib::SSLClient> https_client() const;
    std::unique_ptr<httplib::Client> http_client() const;
    // Signs the demo account in over HTTPS; the session's cookies as a Cookie header value.
    std::string sign_in_demo() const;
    // A multipart upload as the uploader sends it; the answer's JSON (null when none came).
    httplib::Result upload(const std::string& cookies, std::string_view file_name, std::string_view bytes) const;
    httplib::Result post_form(const std::string& path, const std::string& cookies, const std::string& form) const;
    void write_faults(const Json& rules) const;
    std::vector<Json> log_lines() const;

    std::filesystem::path dir_;
    std::filesystem::path data_dir_;
    std::filesystem::path faults_file_;
    std::filesystem::path log_file_;
    std::unique_ptr<StandinServer> server_;
};

// "name=value" of each Set-Cookie header of the answer, joined as a Cookie header value.
std::string cookies_of(const httplib::Response& response);
std::vector<std::string> set_cookie_headers(const httplib::Response& response);

} // namespace yejian::standin::testing
