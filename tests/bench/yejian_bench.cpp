// yejian-bench: how fast files go through the uploader's row steps against the local stand-in,
// next to the same three requests from a bare libcurl loop, the peak memory of one large file,
// and how long the Upload window's import of many files keeps the window busy. Not a test: it
// prints figures.
//
//   yejian-bench [--files N] [--size BYTES] [--large-mb M] [--import-rows N]

#include "app/session_state.h"
#include "app/upload_batch.h"
#include "app/upload_requests.h"
#include "app/upload_window.h"
#include "fake_batch_controls.h"
#include "platform/scripted_shell.h"
#include "web/answer_text.h"

#include <QApplication>
#include <QElapsedTimer>
#include <curl/curl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace yejian;
using Clock = std::chrono::steady_clock;

namespace {

struct Settings {
    int files = 50;
    long size = 100 * 1024;
    long large_mb = 100;
    int import_rows = 10000;
};

long status_kib(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

void write_file(const fs::path& path, long size, char fill)
{
    std::ofstream out(path, std::ios::binary);
    const std::string block(1 << 20, fill);
    for (long left = size; left > 0; left -= long(block.size()))
        out.write(block.data(), std::min<long>(left, long(block.size())));
}

class Standin {
public:
    explicit Standin(const fs::path& work)
    {
        const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
        const fs::path cert = bin.parent_path() / "standin-cert";
        const std::string make_cert = "bash '" YEJIAN_SOURCE_DIR "/scripts/make-cert.sh' '" + cert.string() + "' >/dev/null";
        if (std::system(make_cert.c_str()) != 0)
            throw std::runtime_error("make-cert.sh failed");
        const fs::path ports = work / "ports";
        std::fflush(nullptr); // or the child would print what the parent had buffered
        pid_ = fork();
        if (pid_ == 0) {
            const std::string standin = (bin / "yejian-standin").string();
            const std::string cert_file = (cert / "server.pem").string(), key_file = (cert / "server-key.pem").string();
            const std::string data = (work / "standin-data").string(), ports_file = ports.string();
            freopen("/dev/null", "w", stdout);
            execl(standin.c_str(), standin.c_str(), "--cert", cert_file.c_str(), "--key", key_file.c_str(), "--data-dir",
                  data.c_str(), "--ports-file", ports_file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !fs::exists(ports); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ifstream in(ports);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("https_port=", 0) == 0)
                https_port = std::stoi(line.substr(11));
            if (line.rfind("http_port=", 0) == 0)
                http_port = std::stoi(line.substr(10));
        }
        if (!https_port || !http_port)
            throw std::runtime_error("the stand-in did not start");
        const std::string connect_to = "yejian.example:443:127.0.0.1:" + std::to_string(https_port) +
                                       ",yejian.example:80:127.0.0.1:" + std::to_string(http_port);
        setenv("YEJIAN_CONNECT_TO", connect_to.c_str(), 1);
        setenv("YEJIAN_CA_BUNDLE", (cert / "ca.pem").c_str(), 1);
    }
    ~Standin()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    int https_port = 0;
    int http_port = 0;

private:
    pid_t pid_ = -1;
};

std::string sign_in()
{
    std::string cookies;
    web::web_access_text("https://yejian.example/auth/", "POST", "email=demo%40yejian.example&password=demo-pass&_ref=frame",
                         nullptr, &cookies, "Content-Type: application/x-www-form-urlencoded; charset=utf-8");
    return cookies;
}

std::vector<app::testing::FakeRow> rows_for(const std::vector<fs::path>& files)
{
    std::vector<app::testing::FakeRow> rows;
    for (const auto& file : files)
        rows.push_back({2001, file.string()});
    return rows;
}

// The uploader's own path: the batch with no pause, over in-memory controls.
double uploader_seconds(const std::vector<fs::path>& files, std::string& cookies, int& pinned)
{
    app::testing::FakeBatchControls controls(rows_for(files), "0");
    const auto start = Clock::now();
    app::run_batch(controls, cookies);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    pinned = 0;
    for (const auto& mark : controls.statuses())
        pinned += mark == "√";
    return seconds;
}

size_t collect(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

// The same three requests from one reused libcurl handle: the floor for this work.
std::string bare_post(CURL* curl, const std::string& url, const std::string& body, curl_slist* headers,
                      const std::string& cookies)
{
    std::string answer;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_COOKIE, cookies.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    curl_easy_perform(curl);
    return answer;
}

std::string number_after(const std::string& text, const std::string& key)
{
    const auto at = text.find(key);
    if (at == std::string::npos)
        return {};
    std::size_t i = at + key.size();
    std::string digits;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        digits += text[i++];
    return digits;
}

double bare_curl_seconds(const std::vector<fs::path>& files, const std::string& cookies, int http_port, int& pinned)
{
    CURL* curl = curl_easy_init();
    const std::string origin = "http://127.0.0.1:" + std::to_string(http_port);
    curl_slist* upload_headers = nullptr;
    upload_headers = curl_slist_append(upload_headers, "Content-Type: multipart/form-data; boundary=---------------------------7e02275259081e");
    upload_headers = curl_slist_append(upload_headers, "Expect:");
    curl_slist* form_headers = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
    pinned = 0;
    const auto start = Clock::now();
    for (const auto& file : files) {
        const std::string body = app::multipart_body_from_file("bench", file).value_or(std::string());
        const std::string id = number_after(bare_post(curl, origin + "/upload/", body, upload_headers, cookies), "\"id\":");
        const std::string pin = number_after(
            bare_post(curl, origin + "/pins/", app::pin_form(2001, "bench", std::stoll("0" + id)), form_headers, cookies),
            "\"pin_id\":");
        const std::string edit = bare_post(curl, origin + "/pins/" + pin + "/",
                                           app::edit_form(2001, "bench", "https://yejian.example/uploader/"), form_headers, cookies);
        pinned += !id.empty() && !pin.empty() && !edit.empty();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    curl_slist_free_all(upload_headers);
    curl_slist_free_all(form_headers);
    curl_easy_cleanup(curl);
    return seconds;
}

// One import of `rows` files into a shown Upload window, the way the import button does it:
// how long the GUI thread is busy with it, and how long until the window has painted the rows.
void import_figures(int rows)
{
    app::session().replace_board_table(1);
    app::session().board_table[0] = {2001, "风景"};
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    std::vector<std::string> paths;
    for (int i = 0; i < rows; ++i)
        paths.push_back("/home/user/pictures/原创 picture " + std::to_string(i) + ".jpg");
    desktop.add_dialog_answer(paths);

    app::UploadWindow window;
    window.open();
    QApplication::processEvents();
    QElapsedTimer busy;
    busy.start();
    window.import_files();
    const double import_ms = double(busy.nsecsElapsed()) / 1e6;
    window.file_list().repaint();
    const double painted_ms = double(busy.nsecsElapsed()) / 1e6;
    std::printf("import of %d files: %.0f ms busy, painted after %.0f ms, %d rows listed\n", rows, import_ms,
                painted_ms, window.file_list().row_count());
}

Settings parse(int argc, char** argv)
{
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--files")
            settings.files = std::atoi(argv[i + 1]);
        else if (flag == "--size")
            settings.size = std::atol(argv[i + 1]);
        else if (flag == "--large-mb")
            settings.large_mb = std::atol(argv[i + 1]);
        else if (flag == "--import-rows")
            settings.import_rows = std::atoi(argv[i + 1]);
    }
    return settings;
}

} // namespace

int main(int argc, char** argv)
{
    // The import figure needs a window; with no display it is drawn off screen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Settings settings = parse(argc, argv);
    const fs::path work = fs::temp_directory_path() / ("yejian-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    try {
        Standin standin(work);
        std::string cookies = sign_in();
        if (cookies.find("sid=") == std::string::npos)
            throw std::runtime_error("the sign-in failed");

        // Memory first, while the process is still small: one large file through the row steps.
        const fs::path large = work / "large.jpg";
        write_file(large, settings.large_mb << 20, 'L');
        const long before_kib = status_kib("VmHWM:");
        int pinned = 0;
        uploader_seconds({large}, cookies, pinned);
        const long peak_kib = status_kib("VmHWM:");
        fs::remove(large);
        std::printf("large file: %ld MiB, pinned %d/1, peak resident %.1f MiB (%.1f MiB before it)\n", settings.large_mb,
                    pinned, peak_kib / 1024.0, before_kib / 1024.0);

        import_figures(settings.import_rows);

        std::vector<fs::path> files;
        for (int i = 0; i < settings.files; ++i) {
            files.push_back(work / ("file" + std::to_string(i) + ".jpg"));
            write_file(files.back(), settings.size, char('a' + i % 26));
        }
        int uploader_pinned = 0, bare_pinned = 0;
        const double uploader = uploader_seconds(files, cookies, uploader_pinned);
        const double bare = bare_curl_seconds(files, cookies, standin.http_port, bare_pinned);
        std::printf("%d files of %ld bytes\n", settings.files, settings.size);
        std::printf("uploader:     %7.1f files/s (%d pinned)\n", settings.files / uploader, uploader_pinned);
        std::printf("bare libcurl: %7.1f files/s (%d pinned)\n", settings.files / bare, bare_pinned);
        std::printf("per-file time ratio (uploader / bare libcurl): %.2f\n", uploader / bare);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "yejian-bench: %s\n", error.what());
        fs::remove_all(work);
        return 1;
    }
    fs::remove_all(work);
    return 0;
}
