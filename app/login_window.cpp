#include "app/login_window.h"

#include "app/service_constants.h"
#include "app/sign_in.h"
#include "app/sign_in_requests.h"
#include "platform/shell.h"

#include <QByteArray>

#include <cstring>

namespace yejian::app {
namespace {

const QColor black(0, 0, 0);
const QColor red(255, 0, 0);
const QColor dark_blue(0, 0, 128);

constexpr const char* greeting_text =
    "感谢使用叶笺素材上传助手！\r\n\r\n账号必须是邮箱账号和密码登陆！QQ/微博等账号不行！\r\n";
constexpr const char* hint_text =
    "若不知道邮箱请先在叶笺账号设置里把\"邮箱\",\"密码\"\r\n\r\n"
    "设置好了再来这里登陆，本工具可以24小时挂机自动\r\n\r\n"
    "上传素材，每天可以稳定传4000+张以上的图片！";
constexpr const char* field_captions_text = "账  号：\r\n\r\n\r\n密  码：";

} // namespace

std::string login_feedback_text()
{
    return std::string("欢迎加入反馈群：") + service::feedback_group_number + "【点此加入】";
}

LoginWindow::LoginWindow()
    : TopLevelWindow({"测试版-请登录叶笺账户：", QSize(311, 268), /*minimize_button=*/false})
{
    using platform::ControlPlace;
    new platform::Label(this, "标签2", ControlPlace{6, 11, 304, 40}, greeting_text, black);
    new platform::Label(this, "标签3", ControlPlace{7, 59, 296, 77}, hint_text, red);
    feedback_label_ = new platform::Label(this, "标签4", ControlPlace{36, 123, 232, 40},
                                          login_feedback_text(), dark_blue);
    feedback_label_->show_hand_cursor();
    new platform::Label(this, "标签1", ControlPlace{14, 172, 51, 53}, field_captions_text,
                        black);
    email_box_ = new platform::EditBox(this, "编辑框1", ControlPlace{72, 167, 146, 24});
    password_box_ = new platform::EditBox(this, "编辑框2", ControlPlace{72, 202, 146, 24});
    password_box_->use_password_echo();
    login_button_ = new platform::PushButton(this, "按钮1", ControlPlace{233, 168, 58, 57}, "登录");

    connect(login_button_, &QPushButton::clicked, this, [this] { sign_in(*this); });
    connect(feedback_label_, &platform::Label::pressed, this,
            [] { platform::shell().open_address(service::join_link); });
}

std::string LoginWindow::password_text() const
{
    std::string text;
    read_password(text);
    return text;
}

void LoginWindow::read_password(std::string& into) const
{
    QByteArray utf8 = password_box_->text().toUtf8();
    wipe_secret(into);
    into.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    // The array is this conversion's own (never shared), so data() writes over the very bytes.
    ::explicit_bzero(utf8.data(), static_cast<std::size_t>(utf8.size()));
}

} // namespace yejian::app
