#include "standin_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace yejian::standin::testing {

namespace fs = std::filesystem;

fs::path make_temp_dir(const std::string& label)
{
    std::string pattern = (fs::temp_directory_path() / ("yejian-" + label + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

const fs::path& certificate_dir()
{
    // Removed when the process ends: every test runs as a process of its own, and each would
    // otherwise leave a folder with a key behind.
    struct MadeCertificates {
        fs::path dir = make_temp_dir("cert");
        MadeCertificates()
        {
            std::string command = std::string("bash '") + YEJIAN_SOURCE_DIR + "/scripts/make-cert.sh' '" +
                                  dir.string() + "' yejian.example " + other_host + " >/dev/null";
            if (std::system(command.c_str()) != 0) {
                remove();
                throw std::runtime_error("make-cert.sh failed");
            }
        }
        ~MadeCertificates() { remove(); }
        void remove() const
        {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    };
    static const MadeCertificates made;
    return made.dir;
}

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void write_file(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string multipart_body(std::string_view file_name, std::string_view file_bytes)
{
    std::string body = "-----------------------------7e02275259081e\r\n"
                       "Content-Disposition: form-data; name=\"file\"; filename=\"";
    body += file_name;
    body += "\"\r\nContent-Type: image/jpeg\r\n\r\n";
    body += file_bytes;
    body += "\r\n-----------------------------7e02275259081e--\r\n";
    return body;
}

void StandinFixture::SetUp()
{
    dir_ = make_temp_dir("standin");
    data_dir_ = dir_ / "data";
    faults_file_ = dir_ / "faults.json";
    log_file_ = dir_ / "requests.jsonl";
    write_faults(Json::array());
}

void StandinFixture::TearDown()
{
    stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

void StandinFixture::start(StandinOptions options)
{
    stop();
    options.cert_file = (certificate_dir() / "server.pem").string();
    options.key_file = (certificate_dir() / "server-key.pem").string();
    options.data_dir = data_dir_.string();
    options.faults_file = faults_file_.string();
    options.log_file = log_file_.string();
    server_ = std::make_unique<StandinServer>(options);
    server_->start();
}

void StandinFixture::stop()
{
    if (server_)
        server_->stop();
    server_.reset();
}

std::unique_ptr<httplib::SSLClient> StandinFixture::https_client() const
{
    auto client = std::make_unique<httplib::SSLClient>("yejian.example", server_->https_port());
    client->set_hostname_addr_map({{"yejian.example", "127.0.0.1"}});
    client->set_ca_cert_path((certificate_dir() / "ca.pem").string());
    client->enable_server_certificate_verification(true);
    return client;
}

std::unique_ptr<httplib::Client> StandinFixture::http_client() const
{
    auto client = std::make_unique<httplib::Client>("127.0.0.1", server_->http_port());
    client->set_read_timeout(20, 0);
    return client;
}

std::vector<std::string> set_cookie_headers(const httplib::Response& response)
{
    std::vector<std::string> lines;
    auto [begin, end] = response.headers.equal_range("Set-Cookie");
    for (auto it = begin; it != end; ++it)
        lines.push_back(it->second);
    return lines;
}

std::string cookies_of(const httplib::Response& response)
{
    std::string cookies;
    for (const std::string& line : set_cookie_headers(response))
        cookies += (cookies.empty() ? "" : "; ") + line.substr(0, line.find(';'));
    return cookies;
}

std::string StandinFixture::sign_in_demo() const
{
    auto result = https_client()->Post("/auth/", "email=demo%40yejian.example&password=demo-pass&_ref=frame",
                                       "application/x-www-form-urlencoded; charset=utf-8");
    if (!result)
        throw std::runtime_error("sign-in request failed");
    return cookies_of(*result);
}

httplib::Result StandinFixture::upload(const std::string& cookies, std::string_view file_name,
                                       std::string_view bytes) const
{
    httplib::Headers headers{{"Accept", "application/json"}, {"X-Requested-With", "XMLHttpRequest"}};
    if (!cookies.empty())
        headers.emplace("Cookie", cookies);
    return http_client()->Post("/upload/", headers, multipart_body(file_name, bytes), multipart_type);
}

httplib::Result StandinFixture::post_form(const std::string& path, const std::string& cookies,
                                          const std::string& form) const
{
    httplib::Headers headers;
    if (!cookies.empty())
        headers.emplace("Cookie", cookies);
    return http_client()->Post(path, headers, form, "application/x-www-form-urlencoded");
}

void StandinFixture::write_faults(const Json& rules) const
{
    // Written aside and renamed, so the stand-in never reads half a file.
    fs::path temporary = faults_file_.string() + ".tmp";
    write_file(temporary, json_text(Json{{"faults", rules}}));
    fs::rename(temporary, faults_file_);
}

std::vector<Json> StandinFixture::log_lines() const
{
    std::vector<Json> lines;
    std::istringstream in(read_file(log_file_));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(Json::parse(line));
    return lines;
}

} // namespace yejian::standin::testing
