#pragma once
// The Upload window: the board drop-down filled from the board table when the window is
// made, the import button that lists chosen files, the start button that starts a batch, the
// file list the batch works through, the hidden pause box, and the feedback label that opens
// the join link of the users' group.

#include "platform/drop_down_list.h"
#include "platform/edit_box.h"
#include "platform/label.h"
#include "platform/push_button.h"
#include "platform/report_list.h"
#include "platform/top_level_window.h"

#include <string>
#include <string_view>
#include <vector>

namespace yejian::app {

// The feedback label's two paragraphs: the group's number and how to join it, then what the
// group is for.
std::string upload_feedback_text();

inline constexpr std::string_view import_dialog_title = "选择欲上传的文件：";

class UploadWindow : public platform::TopLevelWindow {
    Q_OBJECT
public:
    // Lists the boards of the session's board table, the first one selected.
    UploadWindow();

    // The import button's handler: asks the shell for files and appends one row per file.
    void import_files();
    // Appends one row per path, numbered from "1", all for the board selected now.
    void append_files(const std::vector<std::string>& paths);
    // The start button's handler: the window goes Running and a batch starts on its rows.
    void start_batch();

    platform::DropDownList& board_list() { return *board_list_; }
    platform::PushButton& import_button() { return *import_button_; }
    platform::PushButton& start_button() { return *start_button_; }
    platform::ReportList& file_list() { return *file_list_; }
    platform::EditBox& pause_box() { return *pause_box_; }
    platform::Label& feedback_label() { return *feedback_label_; }

private:
    void fill_board_list();

    platform::DropDownList* board_list_;
    platform::PushButton* import_button_;
    platform::PushButton* start_button_;
    platform::ReportList* file_list_;
    platform::EditBox* pause_box_;
    platform::Label* feedback_label_;
};

// Makes and shows the Upload window, not modal and with no owner, and returns at once.
UploadWindow* load_upload_window();

} // namespace yejian::app
