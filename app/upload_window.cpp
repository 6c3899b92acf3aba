#include "app/upload_window.h"

#include "app/batch_runner.h"
#include "app/service_constants.h"
#include "app/session_state.h"
#include "app/upload_batch.h"
#include "app/upload_window_controls.h"
#include "platform/program_folder.h"
#include "platform/shell.h"

#include <QColor>

namespace yejian::app {
namespace {

const QColor black(0, 0, 0);
const QColor red(255, 0, 0);
const QColor dark_blue(0, 0, 128);

constexpr const char* board_prompt_text = "第一步：选择要上传素材的画板：";
// The six blanks at the end are part of the caption.
constexpr const char* import_caption = "第二步：选择导入需要上传的图片      ";
constexpr const char* initial_pause_text = "20";
constexpr const char* description_hint_text =
    "上传图片描述默认为图片文件名！所以要改描述\r\n\r\n"
    "的，上传前直接修改图片文件名即可！\r\n\r\n"
    "本软件仅仅作学习交流，请勿以此做违法行为！\r\n\r\n"
    "否则后果自负！";

// The board id of rows imported while no board is selected.
constexpr std::int64_t no_board = -1;

std::vector<platform::ReportColumn> file_list_columns()
{
    // The paths are listed but take no room until the user widens their column.
    return {{"序号", 50}, {"分类", 120}, {"文件名", 0}, {"状态", 50}};
}

} // namespace

std::string upload_feedback_text()
{
    return std::string("有问题请加用户群") + service::feedback_group_number + "，点此加入"
        + "\r\n\r\n新版本在群内发布，来源地址可批量修改！";
}

UploadWindow::UploadWindow()
    : TopLevelWindow({"澜岫叶笺上传-测试版", QSize(277, 454), /*minimize_button=*/true})
{
    using platform::ControlPlace;
    new platform::Label(this, "标签1", ControlPlace{16, 12, 240, 24}, board_prompt_text, black);
    board_list_ = new platform::DropDownList(this, "组合框1", ControlPlace{14, 36, 240, 25});
    import_button_ =
        new platform::PushButton(this, "按钮1", ControlPlace{13, 66, 240, 27}, import_caption);
    start_button_ = new platform::PushButton(this, "按钮2", ControlPlace{13, 103, 240, 27},
                                             idle_start_caption);
    file_list_ = new platform::ReportList(this, "超级列表框1", ControlPlace{14, 144, 242, 136},
                                          file_list_columns());
    // The pause between two files, in seconds; hidden, so it stays "20".
    pause_box_ = new platform::EditBox(this, "编辑框1", ControlPlace{168, 188, 48, 24},
                                       initial_pause_text);
    pause_box_->hide();
    feedback_label_ = new platform::Label(this, "标签2", ControlPlace{16, 285, 240, 40},
                                          upload_feedback_text(), dark_blue);
    feedback_label_->show_hand_cursor();
    new platform::Label(this, "标签3", ControlPlace{5, 334, 259, 88}, description_hint_text, red);

    fill_board_list();

    connect(import_button_, &QPushButton::clicked, this, [this] { import_files(); });
    connect(start_button_, &QPushButton::clicked, this, [this] { start_batch(); });
    connect(feedback_label_, &platform::Label::pressed, this,
            [] { platform::shell().open_address(service::join_link); });
}

void UploadWindow::fill_board_list()
{
    for (const BoardRecord& board : session().board_table)
        board_list_->add_item(board.title, board.board_id);
    // Item 0, or no selection at all when the table is empty.
    board_list_->select_item(0);
}

void UploadWindow::import_files()
{
    const std::vector<std::string> paths = platform::shell().choose_files(
        std::string(import_dialog_title), platform::program_folder(), this);
    append_files(paths);
}

void UploadWindow::append_files(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    // Thousands of files in one import are normal: the list is drawn once, after the fill.
    file_list_->setUpdatesEnabled(false);
    long long number = 0;
    for (const std::string& path : paths) {
        // Read for every file, as the user sees it when the button was clicked.
        const int selected = board_list_->selected_index();
        const std::int64_t board_id =
            selected < 0 ? no_board : board_list_->item_value(selected);
        const int row = file_list_->append_row(std::to_string(++number), board_id);
        file_list_->set_cell_text(row, 1, board_list_->item_text(selected));
        file_list_->set_cell_text(row, path_column, path);
        file_list_->set_cell_text(row, status_column, imported_mark);
    }
    file_list_->setUpdatesEnabled(true);
}

void UploadWindow::start_batch()
{
    batch_runner().start(std::make_shared<UploadWindowControls>(*this),
                         session().session_cookie_text);
}

UploadWindow* load_upload_window()
{
    auto* window = new UploadWindow;
    window->open();
    return window;
}

} // namespace yejian::app
