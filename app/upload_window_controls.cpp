#include "app/upload_window_controls.h"

#include "app/upload_batch.h"
#include "app/upload_window.h"
#include "platform/gui_requests.h"
#include "platform/shell.h"

namespace yejian::app {

using platform::request_on_gui_thread;

UploadWindowControls::UploadWindowControls(UploadWindow& window)
    : file_list_(&window.file_list()),
      pause_box_(&window.pause_box()),
      import_button_(&window.import_button()),
      start_button_(&window.start_button())
{
}

int UploadWindowControls::row_count()
{
    return request_on_gui_thread([this] { return file_list_ ? file_list_->row_count() : 0; });
}

std::int64_t UploadWindowControls::row_value(int row)
{
    return request_on_gui_thread(
        [this, row] { return file_list_ ? file_list_->row_value(row) : std::int64_t{0}; });
}

std::string UploadWindowControls::cell_text(int row, int column)
{
    return request_on_gui_thread(
        [&] { return file_list_ ? file_list_->cell_text(row, column) : std::string(); });
}

void UploadWindowControls::set_status(int row, const std::string& mark)
{
    request_on_gui_thread([&] {
        if (file_list_)
            file_list_->set_cell_text(row, status_column, mark);
    });
}

std::string UploadWindowControls::pause_text()
{
    return request_on_gui_thread(
        [this] { return pause_box_ ? pause_box_->get_text() : std::string(); });
}

void UploadWindowControls::set_import_enabled(bool enabled)
{
    request_on_gui_thread([this, enabled] {
        if (import_button_)
            import_button_->setEnabled(enabled);
    });
}

void UploadWindowControls::set_start_enabled(bool enabled)
{
    request_on_gui_thread([this, enabled] {
        if (start_button_)
            start_button_->setEnabled(enabled);
    });
}

void UploadWindowControls::set_start_caption(const std::string& caption)
{
    request_on_gui_thread([&] {
        if (start_button_)
            start_button_->set_caption(caption);
    });
}

void UploadWindowControls::show_batch_finished()
{
    // Not a control: the shell shows the box without blocking the GUI thread, and only this
    // thread waits for it to be closed.
    platform::shell().show_message("全部处理完毕！", "提示", platform::MessageIcon::information);
}

} // namespace yejian::app
