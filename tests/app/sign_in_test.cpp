// The sign-in against the real stand-in of the service: HTTPS with the throwaway certificate,
// the user page over HTTP, both on free loopback ports that YEJIAN_CONNECT_TO routes
// yejian.example to. What went on the wire is read back from the stand-in's request log.
// Servers that must not be trusted with the password are a stand-in whose certificate names
// another host and a small test site that sends the sign-in on to plain http.

#include "app/login_window.h"
#include "app/session_state.h"
#include "app/sign_in.h"
#include "app/sign_in_requests.h"
#include "app/start_up.h"
#include "app/upload_window.h"
#include "platform/components.h"
#include "platform/gui_requests.h"
#include "platform/program_font.h"
#include "platform/scripted_shell.h"
#include "platform/top_level_window.h"
#include "standin/digest.h"
#include "standin/json_text.h"
#include "standin/standin_server.h"
#include "standin_fixture.h"
#include "support/loopback_sites.h"
#include "web/cookie_store.h"
#include "web/web_access.h"
#include "web/web_components.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <sstream>

using namespace yejian;
using standin::Json;
namespace fs = std::filesystem;

namespace {

// An account with no boards, and one whose e-mail and password need encoding.
constexpr const char* empty_email = "empty@yejian.example";
constexpr const char* empty_password = "nothing-here";
constexpr const char* symbols_email = "li.ming-1@yejian.example";
constexpr const char* symbols_password = "p@ss&w+rd 密码";

struct DemoBoard {
    std::int64_t id;
    const char* title;
};
// The demo account's boards, in the order the service lists them.
const DemoBoard demo_boards[] = {
    {2001, "风景摄影"}, {2002, "美食 🍜"}, {3000000001, "旅行日记"}, {2004, "插画与手绘"}, {2005, "猫 & 狗"}};

std::vector<std::string> lines_of(const std::string& block)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= block.size()) {
        const std::size_t end = std::min(block.find("\r\n", start), block.size());
        lines.push_back(block.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> header_lines(const Json& logged)
{
    std::vector<std::string> lines;
    for (const Json& line : logged["headers"])
        lines.push_back(line.get<std::string>());
    return lines;
}

// "scheme METHOD target" of a logged request.
std::string request_line(const Json& logged)
{
    return logged["scheme"].get<std::string>() + " " + logged["method"].get<std::string>() + " "
        + logged["target"].get<std::string>();
}

// Points yejian.example at servers on the given loopback ports.
void route_service_to(int https_port, int http_port)
{
    const std::string connect_to = "yejian.example:443:127.0.0.1:" + std::to_string(https_port)
        + ",yejian.example:80:127.0.0.1:" + std::to_string(http_port);
    qputenv("YEJIAN_CONNECT_TO", QByteArray::fromStdString(connect_to));
}

QLineEdit* box(app::LoginWindow& window, const char* form_name)
{
    return window.findChild<QLineEdit*>(QString::fromUtf8(form_name));
}

QPointer<app::LoginWindow> open_login_window(const QString& email, const QString& password)
{
    QPointer<app::LoginWindow> window = new app::LoginWindow;
    window->open();
    box(*window, "编辑框1")->setText(email);
    box(*window, "编辑框2")->setText(password);
    return window;
}

app::UploadWindow* upload_window()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* upload = qobject_cast<app::UploadWindow*>(window))
            return upload;
    }
    return nullptr;
}

std::vector<app::BoardRecord> listed_boards(app::UploadWindow& window)
{
    std::vector<app::BoardRecord> boards;
    for (int k = 0; k < window.board_list().count(); ++k)
        boards.push_back({window.board_list().item_value(k), window.board_list().item_text(k)});
    return boards;
}

bool same_boards(const std::vector<app::BoardRecord>& a, const std::vector<app::BoardRecord>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.board_id == y.board_id && x.title == y.title;
    });
}

} // namespace

class SignInTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void signInOpensTheUploadWindowWithTheBoards();
    void requestsGoOutAsTheServiceExpects();
    void exchangesWipeThePasswordTheyAreGiven();
    void formBodyIsEncodedAsUtf8WithReservedCharactersEscaped_data();
    void formBodyIsEncodedAsUtf8WithReservedCharactersEscaped();
    void wrongPasswordShowsTheFailureBoxOnceThenANewAttemptSendsTheNewBody();
    void unsafeServerFailsTheSignInAndNeverGetsThePassword_data();
    void unsafeServerFailsTheSignInAndNeverGetsThePassword();
    void boardDiscoveryThatFindsNothingStillOpensTheUploadWindow_data();
    void boardDiscoveryThatFindsNothingStillOpensTheUploadWindow();
    void wholeProgramSignsInAndEndsWithTheUploadWindow();
    void closingTheLoginWindowMidSignInEndsTheProgram();

private:
    // The log lines written since the test began, for one path.
    std::vector<Json> logged(const std::string& path) const;
    void set_faults(const Json& rules) const;
    // Clicks the login button and waits until the attempt is over: the Upload window is open,
    // or the failure box has been shown and the login button is back.
    void attempt_sign_in(app::LoginWindow& window);

    fs::path dir_;
    fs::path log_file_;
    fs::path faults_file_;
    std::unique_ptr<standin::StandinServer> server_;
    std::size_t log_lines_at_start_ = 0;
    std::unique_ptr<platform::ScriptedShell> desktop_;
    std::unique_ptr<platform::ShellOverride> desktop_in_place_;
};

void SignInTest::initTestCase()
{
    platform::apply_program_font();
    dir_ = standin::testing::make_temp_dir("sign-in");
    log_file_ = dir_ / "requests.jsonl";
    faults_file_ = dir_ / "faults.json";
    set_faults(Json::array());
    const Json accounts = {{"accounts",
                            {{{"email", empty_email},
                              {"password_sha256", standin::sha256_hex(empty_password)},
                              {"urlname", "no-boards"},
                              {"boards", Json::array()}},
                             {{"email", symbols_email},
                              {"password_sha256", standin::sha256_hex(symbols_password)},
                              {"urlname", "li-ming"},
                              {"boards", {{{"board_id", 4294967297}, {"title", "第一"}}}}}}}};
    standin::testing::write_file(dir_ / "accounts.json", standin::json_text(accounts));

    standin::StandinOptions options;
    options.cert_file = (standin::testing::certificate_dir() / "server.pem").string();
    options.key_file = (standin::testing::certificate_dir() / "server-key.pem").string();
    options.data_dir = (dir_ / "data").string();
    options.accounts_file = (dir_ / "accounts.json").string();
    options.faults_file = faults_file_.string();
    options.log_file = log_file_.string();
    server_ = std::make_unique<standin::StandinServer>(options);
    server_->start();

    qputenv("YEJIAN_CA_BUNDLE",
            QByteArray::fromStdString((standin::testing::certificate_dir() / "ca.pem").string()));
}

void SignInTest::init()
{
    platform::reset_gui_shutdown();
    app::reset_session_state();
    set_faults(Json::array());
    route_service_to(server_->https_port(), server_->http_port());
    // Every test starts without the cookies of earlier sign-ins.
    web::register_web_components();
    platform::ComponentScope components;
    platform::create_component_as<web::CookieStore>(web::cookie_store_prog_id)->clear();
    std::istringstream log(standin::testing::read_file(log_file_));
    log_lines_at_start_ = 0;
    for (std::string line; std::getline(log, line);)
        ++log_lines_at_start_;
    desktop_ = std::make_unique<platform::ScriptedShell>();
    desktop_in_place_ = std::make_unique<platform::ShellOverride>(*desktop_);
}

void SignInTest::cleanup()
{
    app::join_sign_in();
    qDeleteAll(QApplication::topLevelWidgets());
    desktop_in_place_.reset();
    desktop_.reset();
}

void SignInTest::cleanupTestCase()
{
    server_->stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::vector<Json> SignInTest::logged(const std::string& path) const
{
    std::istringstream log(standin::testing::read_file(log_file_));
    std::vector<Json> lines;
    std::size_t number = 0;
    for (std::string line; std::getline(log, line);) {
        if (number++ < log_lines_at_start_)
            continue;
        Json parsed = Json::parse(line);
        const std::string target = parsed["target"];
        if (target.substr(0, target.find('?')) == path)
            lines.push_back(std::move(parsed));
    }
    return lines;
}

void SignInTest::set_faults(const Json& rules) const
{
    // Written aside and renamed, so the stand-in never reads half a file.
    const fs::path aside = faults_file_.string() + ".new";
    standin::testing::write_file(aside, standin::json_text(Json{{"faults", rules}}));
    fs::rename(aside, faults_file_);
}

void SignInTest::attempt_sign_in(app::LoginWindow& window)
{
    const std::size_t messages_before = desktop_->messages().size();
    QTest::mouseClick(&window.login_button(), Qt::LeftButton);
    // The exchanges run elsewhere: the window is still there, its button off until they end.
    QVERIFY(!window.login_button().isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(upload_window() || desktop_->messages().size() > messages_before,
                             40000);
    if (!upload_window())
        QTRY_VERIFY(window.login_button().isEnabled());
    app::join_sign_in();
    // The Login window goes once the handler that destroys it has returned.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SignInTest::signInOpensTheUploadWindowWithTheBoards()
{
    QPointer<app::LoginWindow> login = open_login_window("demo@yejian.example", "demo-pass");
    attempt_sign_in(*login);

    QVERIFY(!login);
    app::UploadWindow* upload = upload_window();
    QVERIFY(upload);
    QVERIFY(upload->isVisible());
    QCOMPARE(platform::ProgramWindows::instance().count(), 1);
    QVERIFY(desktop_->messages().empty());

    std::vector<app::BoardRecord> expected;
    for (const DemoBoard& board : demo_boards)
        expected.push_back({board.id, board.title});
    QVERIFY(same_boards(app::session().board_table, expected));
    QVERIFY(same_boards(listed_boards(*upload), expected));
    // The id above 2^31 reaches its item whole.
    QCOMPARE(upload->board_list().item_value(2), std::int64_t{3000000001});
    QCOMPARE(upload->board_list().selected_index(), 0);
    QCOMPARE(app::session().user_url_name, std::string("yejian-demo"));
    QVERIFY(app::session().session_cookie_text.find("sid=") != std::string::npos);
}

void SignInTest::requestsGoOutAsTheServiceExpects()
{
    QPointer<app::LoginWindow> login = open_login_window("demo@yejian.example", "demo-pass");
    attempt_sign_in(*login);
    QVERIFY(upload_window());

    const std::vector<Json> sign_ins = logged("/auth/");
    QCOMPARE(sign_ins.size(), std::size_t{1});
    const Json& sign_in = sign_ins[0];
    QCOMPARE(request_line(sign_in), std::string("https POST /auth/"));
    const std::string body = "email=demo%40yejian.example&password=demo-pass&_ref=frame";
    QCOMPARE(sign_in["body_size"].get<std::size_t>(), body.size());
    QCOMPARE(sign_in["body_sha256"].get<std::string>(), standin::sha256_hex(body));
    // The host, the seven lines of the block in order, and the length: no cookie of ours yet.
    const std::vector<std::string> block = lines_of(app::sign_in_header_block());
    QCOMPARE(block.size(), std::size_t{7});
    std::vector<std::string> expected_lines = {"Host: yejian.example"};
    expected_lines.insert(expected_lines.end(), block.begin(), block.end());
    expected_lines.push_back("Content-Length: " + std::to_string(body.size()));
    QCOMPARE(header_lines(sign_in), expected_lines);

    const std::vector<Json> pages = logged("/yejian-demo/");
    QCOMPARE(pages.size(), std::size_t{1});
    const Json& page = pages[0];
    QCOMPARE(request_line(page), std::string("http GET /yejian-demo/?j2vonb3l&limit=500&wfl=1"));
    QCOMPARE(page["body_size"].get<std::size_t>(), std::size_t{0});
    // The session's cookies from the store, and the default block.
    expected_lines = {"Host: yejian.example", "Cookie: " + app::session().session_cookie_text};
    const std::vector<std::string> defaults =
        lines_of(web::default_header_block(app::user_page_address("yejian-demo")));
    expected_lines.insert(expected_lines.end(), defaults.begin(), defaults.end());
    QCOMPARE(header_lines(page), expected_lines);
    QCOMPARE(page["account"].get<std::string>(), std::string("demo@yejian.example"));
}

void SignInTest::exchangesWipeThePasswordTheyAreGiven()
{
    std::string password = "demo-pass";
    QVERIFY(app::sign_in_exchanges("demo@yejian.example", password));
    QVERIFY(password.empty());
    QCOMPARE(app::session().board_table.size(), std::size(demo_boards));
}

void SignInTest::formBodyIsEncodedAsUtf8WithReservedCharactersEscaped_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("url_name");
    QTest::newRow("letters and digits unchanged, @ escaped")
        << "demo@yejian.example" << "demo-pass"
        << "email=demo%40yejian.example&password=demo-pass&_ref=frame" << "yejian-demo";
    QTest::newRow("& + blank and Chinese in the password")
        << QString::fromUtf8(symbols_email) << QString::fromUtf8(symbols_password)
        << "email=li.ming-1%40yejian.example&password=p%40ss%26w%2Brd%20%E5%AF%86%E7%A0%81&_ref=frame"
        << "li-ming";
    QTest::newRow("both boxes empty") << "" << "" << "email=&password=&_ref=frame" << "";
}

void SignInTest::formBodyIsEncodedAsUtf8WithReservedCharactersEscaped()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QString, body);
    QFETCH(QString, url_name);
    QPointer<app::LoginWindow> login = open_login_window(email, password);
    attempt_sign_in(*login);

    const std::vector<Json> sign_ins = logged("/auth/");
    QCOMPARE(sign_ins.size(), std::size_t{1});
    QCOMPARE(sign_ins[0]["body_sha256"].get<std::string>(), standin::sha256_hex(body.toStdString()));
    QCOMPARE(sign_ins[0]["body_size"].get<int>(), body.size());
    // The service read back exactly what was typed.
    QCOMPARE(sign_ins[0]["form"][0][1].get<std::string>(), email.toStdString());
    QCOMPARE(app::session().user_url_name, url_name.toStdString());
    QCOMPARE(upload_window() != nullptr, !url_name.isEmpty());
    QCOMPARE(desktop_->messages().size(), std::size_t{url_name.isEmpty() ? 1u : 0u});
}

void SignInTest::wrongPasswordShowsTheFailureBoxOnceThenANewAttemptSendsTheNewBody()
{
    QPointer<app::LoginWindow> login = open_login_window("demo@yejian.example", "wrong pass");
    attempt_sign_in(*login);

    const auto messages = desktop_->messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].title, std::string("失败"));
    QCOMPARE(messages[0].text, std::string("登录失败, 请重试!"));
    QVERIFY(messages[0].icon == platform::MessageIcon::stop);
    QVERIFY(login);
    QVERIFY(login->isVisible());
    QVERIFY(!upload_window());
    QCOMPARE(login->email_text(), std::string("demo@yejian.example"));
    QCOMPARE(login->password_text(), std::string("wrong pass"));
    QCOMPARE(app::session().user_url_name, std::string());
    QVERIFY(app::session().board_table.empty());
    // The session cookie text holds exactly what the refusal set: no session.
    QVERIFY(!app::session().session_cookie_text.empty());
    QVERIFY(app::session().session_cookie_text.find("sid=") == std::string::npos);
    QVERIFY(logged("/yejian-demo/").empty());

    box(*login, "编辑框2")->setText("demo-pass");
    attempt_sign_in(*login);
    QCOMPARE(desktop_->messages().size(), std::size_t{1});
    QVERIFY(upload_window());
    QVERIFY(!login);
    const std::vector<Json> sign_ins = logged("/auth/");
    QCOMPARE(sign_ins.size(), std::size_t{2});
    QCOMPARE(sign_ins[0]["body_sha256"].get<std::string>(),
             standin::sha256_hex("email=demo%40yejian.example&password=wrong%20pass&_ref=frame"));
    QCOMPARE(sign_ins[1]["body_sha256"].get<std::string>(),
             standin::sha256_hex("email=demo%40yejian.example&password=demo-pass&_ref=frame"));
    QCOMPARE(app::session().user_url_name, std::string("yejian-demo"));
    QVERIFY(app::session().session_cookie_text.find("sid=") != std::string::npos);
}

void SignInTest::unsafeServerFailsTheSignInAndNeverGetsThePassword_data()
{
    // 0: the server's certificate comes from the trusted CA but names another host. Otherwise
    // the sign-in over https is answered with a redirect of this status, which keeps the method
    // and the body, to plain http.
    QTest::addColumn<int>("redirect_status");
    QTest::newRow("certificate for another host") << 0;
    QTest::newRow("307 from https to http") << 307;
    QTest::newRow("308 from https to http") << 308;
}

void SignInTest::unsafeServerFailsTheSignInAndNeverGetsThePassword()
{
    QFETCH(int, redirect_status);
    // The password as typed and as it travels in the form.
    const std::string password = "s3cret&pass";
    const std::string encoded_password = "s3cret%26pass";
    const auto holds_password = [&](std::string_view bytes) {
        return bytes.find(password) != std::string_view::npos
            || bytes.find(encoded_password) != std::string_view::npos;
    };

    const fs::path certificates = standin::testing::certificate_dir();
    const fs::path other_log = dir_ / "other-host-requests.jsonl";
    std::unique_ptr<standin::StandinServer> other_host;
    std::unique_ptr<web::testing_support::TestSite> https_site;
    std::unique_ptr<web::testing_support::TestSite> http_site;
    if (redirect_status == 0) {
        standin::StandinOptions options;
        options.cert_file = (certificates / "other-server.pem").string();
        options.key_file = (certificates / "other-server-key.pem").string();
        options.data_dir = (dir_ / "other-host-data").string();
        options.log_file = other_log.string();
        other_host = std::make_unique<standin::StandinServer>(options);
        other_host->start();
        route_service_to(other_host->https_port(), other_host->http_port());
    } else {
        https_site = std::make_unique<web::testing_support::TestSite>(
            (certificates / "server.pem").string(), (certificates / "server-key.pem").string());
        http_site = std::make_unique<web::testing_support::TestSite>();
        https_site->redirect("/auth/", "http://yejian.example/auth/", redirect_status);
        route_service_to(https_site->port(), http_site->port());
    }

    QPointer<app::LoginWindow> login =
        open_login_window("demo@yejian.example", QString::fromStdString(password));
    attempt_sign_in(*login);

    const auto messages = desktop_->messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].title, std::string("失败"));
    QCOMPARE(messages[0].text, std::string("登录失败, 请重试!"));
    QVERIFY(login);
    QVERIFY(login->isVisible());
    QVERIFY(!upload_window());
    QVERIFY(app::session().user_url_name.empty());

    if (other_host) {
        other_host->stop();
        // The handshake failed before any request was written.
        const std::string log = standin::testing::read_file(other_log);
        std::istringstream lines(log);
        for (std::string line; std::getline(lines, line);)
            QVERIFY2(Json::parse(line)["target"] != "/auth/", line.c_str());
        QVERIFY(!holds_password(log));
    } else {
        // The sign-in went out over https and met the redirect...
        const auto over_https = https_site->take_requests();
        QCOMPARE(over_https.size(), std::size_t{1});
        QCOMPARE(over_https[0].method, std::string("POST"));
        QCOMPARE(over_https[0].path, std::string("/auth/"));
        QVERIFY(holds_password(over_https[0].body));
        // ...which was not followed: nothing at all arrived over plain http.
        QVERIFY(http_site->take_requests().empty());
    }
}

void SignInTest::boardDiscoveryThatFindsNothingStillOpensTheUploadWindow_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("page_fault");
    QTest::newRow("a user with no boards") << empty_email << empty_password << "";
    QTest::newRow("a page without the user") << "demo@yejian.example" << "demo-pass" << "not_json";
    QTest::newRow("an error page") << "demo@yejian.example" << "demo-pass" << "error_500";
    QTest::newRow("no page at all") << "demo@yejian.example" << "demo-pass" << "drop";
}

void SignInTest::boardDiscoveryThatFindsNothingStillOpensTheUploadWindow()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QString, page_fault);
    if (!page_fault.isEmpty())
        set_faults(Json::array({{{"fault", page_fault.toStdString()}, {"path", "/yejian-demo/"}}}));
    QPointer<app::LoginWindow> login = open_login_window(email, password);
    attempt_sign_in(*login);

    QVERIFY(!login);
    app::UploadWindow* upload = upload_window();
    QVERIFY(upload);
    QCOMPARE(upload->board_list().count(), 0);
    QCOMPARE(upload->board_list().selected_index(), -1);
    QVERIFY(app::session().board_table.empty());
    QVERIFY(!app::session().user_url_name.empty());
    QVERIFY(desktop_->messages().empty());
}

void SignInTest::wholeProgramSignsInAndEndsWithTheUploadWindow()
{
    app::LoginWindow* first_window = nullptr;
    QTimer::singleShot(0, [&] {
        first_window = qobject_cast<app::LoginWindow*>(QApplication::topLevelWidgets().value(0));
        if (!first_window)
            return;
        box(*first_window, "编辑框1")->setText("demo@yejian.example");
        box(*first_window, "编辑框2")->setText("demo-pass");
        QTest::mouseClick(&first_window->login_button(), Qt::LeftButton);
    });
    // Once the Login window is gone the Upload window is the program's only window; closing
    // it ends the program. A sign-in that never ends the Login window fails the test instead
    // of hanging it.
    std::vector<app::BoardRecord> listed;
    int windows_while_uploading = 0;
    QTimer watch;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const bool login_left = std::none_of(windows.begin(), windows.end(), [](QWidget* w) {
            return qobject_cast<app::LoginWindow*>(w) != nullptr;
        });
        if (app::UploadWindow* upload = upload_window(); upload && login_left) {
            listed = listed_boards(*upload);
            windows_while_uploading = platform::ProgramWindows::instance().count();
            upload->close();
        } else if (waited.elapsed() > 40000) {
            for (QWidget* window : QApplication::topLevelWidgets())
                window->close();
        }
    });
    watch.start(20);
    QCOMPARE(app::run_session(), 0);
    watch.stop();

    QVERIFY(first_window);
    QCOMPARE(windows_while_uploading, 1);
    QCOMPARE(listed.size(), std::size(demo_boards));
    QCOMPARE(listed[2].board_id, std::int64_t{3000000001});
    QVERIFY(desktop_->messages().empty());
    QCOMPARE(platform::ProgramWindows::instance().count(), 0);
    // The exit clean-up has released what the sign-in filled.
    QVERIFY(app::session().board_table.empty());
}

void SignInTest::closingTheLoginWindowMidSignInEndsTheProgram()
{
    // The sign-in answer would come only after the user has long given up.
    set_faults(Json::array({{{"fault", "delay"}, {"path", "/auth/"}, {"ms", 20000}}}));
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* login = qobject_cast<app::LoginWindow*>(window)) {
                box(*login, "编辑框1")->setText("demo@yejian.example");
                box(*login, "编辑框2")->setText("demo-pass");
                QTest::mouseClick(&login->login_button(), Qt::LeftButton);
                clicked = !login->login_button().isEnabled();
                // Closed while the exchange is under way.
                QTimer::singleShot(300, login, [login] { login->close(); });
            }
        }
    });
    int cleanups = 0;
    QCOMPARE(app::run_session([&] {
                 ++cleanups;
                 app::release_session_state();
             }),
             0);
    QVERIFY(clicked);
    // The attempt ended before the session state was released.
    QVERIFY(!app::sign_in_under_way());
    QCOMPARE(cleanups, 1);
    // Nothing came of the attempt: no window, no box.
    QVERIFY(!upload_window());
    QCOMPARE(platform::ProgramWindows::instance().count(), 0);
    QVERIFY(desktop_->messages().empty());
}

QTEST_MAIN(SignInTest)
#include "sign_in_test.moc"
