#include "app/login_window.h"
#include "app/service_constants.h"
#include "app/sign_in.h"
#include "platform/program_font.h"
#include "platform/scripted_shell.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

using namespace yejian;
using platform::Label;

namespace {

std::unique_ptr<app::LoginWindow> open_login_window()
{
    auto window = std::make_unique<app::LoginWindow>();
    window->open();
    return window;
}

// Where a label's text is drawn, in client coordinates.
QRect drawn_text_rect(const Label& label)
{
    return {label.geometry().topLeft(), label.text_extent()};
}

// A loopback port that was free a moment ago and that nobody listens on.
int closed_loopback_port()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(socket);
    return port;
}

} // namespace

class LoginWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::apply_program_font(); }
    void windowCaptionAndSize();
    void controlsSitWhereTheTableSays_data();
    void controlsSitWhereTheTableSays();
    void labelTextsAndColours();
    void everyTextFitsItsPlaceWithoutOverlap();
    void passwordBoxShowsStarsWhileTheTypedTextIsRead();
    void feedbackLabelOpensTheJoinLinkOncePerPress();
    void failedSignInShowsTheFailureBoxAndKeepsTheWindow();
};

void LoginWindowTest::windowCaptionAndSize()
{
    auto window = open_login_window();
    QCOMPARE(window->windowTitle(), QStringLiteral("测试版-请登录叶笺账户："));
    QCOMPARE(window->outer_size(), QSize(311, 268));
    QCOMPARE(window->size(), QSize(305, 240));
    QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
}

void LoginWindowTest::controlsSitWhereTheTableSays_data()
{
    QTest::addColumn<QString>("form_name");
    QTest::addColumn<QString>("class_name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("greeting") << "标签2" << "yejian::platform::Label" << QRect(6, 11, 304, 40);
    QTest::newRow("hint") << "标签3" << "yejian::platform::Label" << QRect(7, 59, 296, 77);
    QTest::newRow("feedback") << "标签4" << "yejian::platform::Label" << QRect(36, 123, 232, 40);
    QTest::newRow("captions") << "标签1" << "yejian::platform::Label" << QRect(14, 172, 51, 53);
    QTest::newRow("e-mail") << "编辑框1" << "yejian::platform::EditBox" << QRect(72, 167, 146, 24);
    QTest::newRow("password") << "编辑框2" << "yejian::platform::EditBox" << QRect(72, 202, 146, 24);
    QTest::newRow("login") << "按钮1" << "yejian::platform::PushButton" << QRect(233, 168, 58, 57);
}

void LoginWindowTest::controlsSitWhereTheTableSays()
{
    QFETCH(QString, form_name);
    QFETCH(QString, class_name);
    QFETCH(QRect, place);
    auto window = open_login_window();
    auto* control = window->findChild<QWidget*>(form_name);
    QVERIFY(control);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), class_name);
    QCOMPARE(control->geometry(), place);
    QVERIFY(control->isVisible());
}

void LoginWindowTest::labelTextsAndColours()
{
    auto window = open_login_window();
    struct Expected {
        const char* form_name;
        std::string text;
        QColor colour;
        bool hand_cursor;
    };
    const Expected labels[] = {
        {"标签2",
         "感谢使用叶笺素材上传助手！\r\n\r\n账号必须是邮箱账号和密码登陆！QQ/微博等账号不行！\r\n",
         QColor(0, 0, 0), false},
        {"标签3",
         "若不知道邮箱请先在叶笺账号设置里把\"邮箱\",\"密码\"\r\n\r\n设置好了再来这里登陆，本工具可以"
         "24小时挂机自动\r\n\r\n上传素材，每天可以稳定传4000+张以上的图片！",
         QColor(255, 0, 0), false},
        {"标签4", app::login_feedback_text(), QColor(0, 0, 128), true},
        {"标签1", "账  号：\r\n\r\n\r\n密  码：", QColor(0, 0, 0), false},
    };
    for (const Expected& expected : labels) {
        auto* label = window->findChild<Label*>(QString::fromUtf8(expected.form_name));
        QVERIFY(label);
        QCOMPARE(label->get_text(), expected.text);
        QCOMPARE(label->text_colour(), expected.colour);
        QCOMPARE(label->cursor().shape() == Qt::PointingHandCursor, expected.hand_cursor);
    }
    // The feedback line names the group and ends in a click-here mark, on one line.
    const std::string feedback = app::login_feedback_text();
    QVERIFY(feedback.find(service::feedback_group_number) != std::string::npos);
    QVERIFY(feedback.ends_with("【点此加入】"));
    QVERIFY(feedback.find('\n') == std::string::npos);

    QCOMPARE(window->login_button().get_caption(), std::string("登录"));
    QCOMPARE(window->email_text(), std::string());
    QCOMPARE(window->password_text(), std::string());
}

void LoginWindowTest::everyTextFitsItsPlaceWithoutOverlap()
{
    auto window = open_login_window();
    QCOMPARE(QFontInfo(window->font()).family(), QString::fromLatin1(platform::program_font_family));
    const QRect client = window->rect();
    const QList<Label*> labels = window->findChildren<Label*>();
    QCOMPARE(labels.size(), 4);
    QList<QRect> texts;
    for (Label* label : labels) {
        const QRect text = drawn_text_rect(*label);
        QVERIFY2(label->text_extent().width() <= label->width()
                     && label->text_extent().height() <= label->height(),
                 qPrintable(label->objectName()));
        QVERIFY2(client.contains(text), qPrintable(label->objectName()));
        texts.append(text);
    }
    for (const char* name : {"编辑框1", "编辑框2", "按钮1"})
        texts.append(window->findChild<QWidget*>(QString::fromUtf8(name))->geometry());
    for (int i = 0; i < texts.size(); ++i) {
        for (int j = i + 1; j < texts.size(); ++j)
            QVERIFY2(!texts[i].intersects(texts[j]), qPrintable(QString("%1 %2").arg(i).arg(j)));
    }
    QPushButton& button = window->login_button();
    QVERIFY(button.fontMetrics().horizontalAdvance(button.text()) < button.width());
    // Each field caption sits level with its box.
    auto* captions = window->findChild<Label*>(QStringLiteral("标签1"));
    for (auto [line, box_name] : {std::pair{0, "编辑框1"}, std::pair{3, "编辑框2"}}) {
        const int line_middle = captions->y() + line * captions->line_pitch()
            + captions->fontMetrics().height() / 2;
        const QRect box = window->findChild<QWidget*>(QString::fromUtf8(box_name))->geometry();
        QVERIFY2(qAbs(line_middle - box.center().y()) <= 3, box_name);
    }
}

void LoginWindowTest::passwordBoxShowsStarsWhileTheTypedTextIsRead()
{
    auto window = open_login_window();
    auto* email = window->findChild<QLineEdit*>(QStringLiteral("编辑框1"));
    auto* password = window->findChild<QLineEdit*>(QStringLiteral("编辑框2"));
    QTest::keyClicks(email, QStringLiteral(" me@mail.example "));
    QTest::keyClicks(password, QStringLiteral("s3cret &+"));
    QCOMPARE(password->displayText(), QStringLiteral("*********"));
    QCOMPARE(window->password_text(), std::string("s3cret &+"));
    QCOMPARE(window->email_text(), std::string(" me@mail.example "));
    QCOMPARE(email->echoMode(), QLineEdit::Normal);
}

void LoginWindowTest::feedbackLabelOpensTheJoinLinkOncePerPress()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    auto window = open_login_window();
    auto* feedback = window->findChild<Label*>(QStringLiteral("标签4"));
    QTest::mousePress(feedback, Qt::LeftButton);
    QTest::mouseRelease(feedback, Qt::LeftButton);
    QCOMPARE(desktop.opened_addresses(), std::vector<std::string>{service::join_link});
    QTest::mousePress(feedback, Qt::LeftButton);
    QTest::mousePress(feedback, Qt::RightButton);
    QTest::mousePress(window->findChild<Label*>(QStringLiteral("标签3")), Qt::LeftButton);
    QCOMPARE(desktop.opened_addresses(),
             (std::vector<std::string>{service::join_link, service::join_link}));
    QVERIFY(desktop.messages().empty());
}

void LoginWindowTest::failedSignInShowsTheFailureBoxAndKeepsTheWindow()
{
    // The service cannot be reached at all: its port on this machine is closed.
    const int port = closed_loopback_port();
    QVERIFY(port > 0);
    qputenv("YEJIAN_CONNECT_TO", "yejian.example:443:127.0.0.1:" + QByteArray::number(port));

    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    QPointer<app::LoginWindow> window = new app::LoginWindow;
    window->open();
    QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("编辑框1")), "a@b.example");
    QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("编辑框2")), "wrong");
    QTest::mouseClick(&window->login_button(), Qt::LeftButton);
    // No second attempt while the first one runs.
    QVERIFY(!window->login_button().isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(window->login_button().isEnabled(), 30000);
    app::join_sign_in();
    const auto messages = desktop.messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].title, std::string("失败"));
    QCOMPARE(messages[0].text, std::string("登录失败, 请重试!"));
    QVERIFY(messages[0].icon == platform::MessageIcon::stop);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window);
    QCOMPARE(window->email_text(), std::string("a@b.example"));
    QCOMPARE(window->password_text(), std::string("wrong"));
    delete window;
    qunsetenv("YEJIAN_CONNECT_TO");
}

QTEST_MAIN(LoginWindowTest)
#include "login_window_test.moc"
