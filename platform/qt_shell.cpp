#include "platform/qt_shell.h"

#include "platform/gui_requests.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <memory>

namespace yejian::platform {
namespace {

QMessageBox* new_message_box(const std::string& text, const std::string& title,
                             MessageIcon icon)
{
    const auto qt_icon =
        icon == MessageIcon::stop ? QMessageBox::Critical : QMessageBox::Information;
    return new QMessageBox(qt_icon, QString::fromStdString(title),
                           QString::fromStdString(text), QMessageBox::Ok);
}

} // namespace

std::vector<std::string> QtShell::choose_files(const std::string& title,
                                               const std::string& initial_folder,
                                               QWidget* owner)
{
    return request_on_gui_thread([&] {
        // QFileDialog keeps every chosen name, however many: no buffer to overflow.
        const QStringList chosen = QFileDialog::getOpenFileNames(
            owner, QString::fromStdString(title), QString::fromStdString(initial_folder));
        std::vector<std::string> paths;
        paths.reserve(static_cast<std::size_t>(chosen.size()));
        for (const QString& path : chosen)
            paths.push_back(path.toStdString());
        return paths;
    });
}

void QtShell::show_message(const std::string& text, const std::string& title, MessageIcon icon)
{
    if (on_gui_thread()) {
        std::unique_ptr<QMessageBox> box(new_message_box(text, title, icon));
        box->exec();
        return;
    }
    // From a worker: the GUI thread shows the box without a modal loop of its own, so every
    // window stays usable, and the worker alone waits until the box is gone.
    auto closed = GuiEvent::create();
    const bool shown = run_on_gui_thread([&] {
        QMessageBox* box = new_message_box(text, title, icon);
        box->setWindowModality(Qt::NonModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QDialog::finished, [closed] { closed->set(); });
        QObject::connect(box, &QObject::destroyed, [closed] { closed->set(); });
        box->show();
    });
    if (shown)
        closed->wait();
}

void QtShell::open_address(const std::string& address)
{
    run_on_gui_thread(
        [&] { QDesktopServices::openUrl(QUrl(QString::fromStdString(address))); });
}

} // namespace yejian::platform
