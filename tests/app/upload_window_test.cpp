#include "app/batch_runner.h"
#include "app/service_constants.h"
#include "app/session_state.h"
#include "app/upload_batch.h"
#include "app/upload_window.h"
#include "app/upload_window_controls.h"
#include "platform/program_folder.h"
#include "platform/program_font.h"
#include "platform/scripted_shell.h"

#include <QHeaderView>
#include <QtTest>

#include <memory>
#include <thread>

using namespace yejian;
using platform::Label;

namespace {

constexpr std::int64_t big_board_id = 3000000001; // above 2^31: must not wrap

void install_boards(const std::vector<app::BoardRecord>& boards)
{
    app::session().replace_board_table(static_cast<std::int64_t>(boards.size()));
    for (std::size_t k = 0; k < boards.size(); ++k)
        app::session().board_table[k] = boards[k];
}

const std::vector<app::BoardRecord> three_boards = {
    {big_board_id, "风景"}, {27182818, "插画参考"}, {-7, "旧画板"}};

std::unique_ptr<app::UploadWindow> open_upload_window()
{
    auto window = std::make_unique<app::UploadWindow>();
    window->open();
    return window;
}

struct Row {
    std::string number;
    std::string board_title;
    std::string path;
    std::string status;
    std::int64_t board_id;
    bool operator==(const Row&) const = default;
};

std::vector<Row> rows_of(app::UploadWindow& window)
{
    platform::ReportList& list = window.file_list();
    std::vector<Row> rows;
    for (int r = 0; r < list.row_count(); ++r)
        rows.push_back({list.cell_text(r, 0), list.cell_text(r, 1), list.cell_text(r, 2),
                        list.cell_text(r, 3), list.row_value(r)});
    return rows;
}

// Runs `work` on a thread of its own while the GUI thread serves its control requests.
void run_on_worker(const std::function<void()>& work)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
}

} // namespace

class UploadWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { platform::apply_program_font(); }
    void init() { app::reset_session_state(); }
    void windowCaptionSizeAndFrame();
    void controlsSitWhereTheTableSays_data();
    void controlsSitWhereTheTableSays();
    void textsColoursAndColumns();
    void everyTextFitsItsPlaceWithoutOverlap();
    void boardListFollowsTheBoardTable();
    void emptyBoardTableGivesAnEmptyList();
    void importsAreNumberedFromOneEachWithTheBoardSelectedThen();
    void importWithoutBoardsGivesRowValueMinusOne();
    void cancelledDialogChangesNothing();
    void thousandsOfFilesInOneImportAreAllListed();
    void feedbackLabelOpensTheJoinLinkOncePerPress();
    void batchControlsServeAWorkerThread();
    void batchControlsGiveEmptyResultsOnceTheWindowIsGone();
    void startButtonRunsABatchAndReturnsToIdle();
};

void UploadWindowTest::windowCaptionSizeAndFrame()
{
    auto window = open_upload_window();
    QCOMPARE(window->windowTitle(), QStringLiteral("澜岫叶笺上传-测试版"));
    QCOMPARE(window->outer_size(), QSize(277, 454));
    QCOMPARE(window->size(), QSize(271, 426));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window->parentWidget());
    QVERIFY(!window->isModal());
}

void UploadWindowTest::controlsSitWhereTheTableSays_data()
{
    QTest::addColumn<QString>("form_name");
    QTest::addColumn<QString>("class_name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("visible");
    const QString label = "yejian::platform::Label";
    const QString button = "yejian::platform::PushButton";
    QTest::newRow("board prompt") << "标签1" << label << QRect(16, 12, 240, 24) << true;
    QTest::newRow("board list") << "组合框1" << "yejian::platform::DropDownList"
                                << QRect(14, 36, 240, 25) << true;
    QTest::newRow("import") << "按钮1" << button << QRect(13, 66, 240, 27) << true;
    QTest::newRow("start") << "按钮2" << button << QRect(13, 103, 240, 27) << true;
    QTest::newRow("file list") << "超级列表框1" << "yejian::platform::ReportList"
                               << QRect(14, 144, 242, 136) << true;
    QTest::newRow("pause box") << "编辑框1" << "yejian::platform::EditBox"
                               << QRect(168, 188, 48, 24) << false;
    QTest::newRow("feedback") << "标签2" << label << QRect(16, 285, 240, 40) << true;
    QTest::newRow("description hint") << "标签3" << label << QRect(5, 334, 259, 88) << true;
}

void UploadWindowTest::controlsSitWhereTheTableSays()
{
    QFETCH(QString, form_name);
    QFETCH(QString, class_name);
    QFETCH(QRect, place);
    QFETCH(bool, visible);
    auto window = open_upload_window();
    auto* control = window->findChild<QWidget*>(form_name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), window.get());
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), class_name);
    QCOMPARE(control->geometry(), place);
    QCOMPARE(control->isVisible(), visible);
}

void UploadWindowTest::textsColoursAndColumns()
{
    auto window = open_upload_window();
    struct Expected {
        const char* form_name;
        std::string text;
        QColor colour;
        bool hand_cursor;
    };
    const Expected labels[] = {
        {"标签1", "第一步：选择要上传素材的画板：", QColor(0, 0, 0), false},
        {"标签2", app::upload_feedback_text(), QColor(0, 0, 128), true},
        {"标签3",
         "上传图片描述默认为图片文件名！所以要改描述\r\n\r\n的，上传前直接修改图片文件名即可！\r\n\r\n"
         "本软件仅仅作学习交流，请勿以此做违法行为！\r\n\r\n否则后果自负！",
         QColor(255, 0, 0), false},
    };
    for (const Expected& expected : labels) {
        auto* label = window->findChild<Label*>(QString::fromUtf8(expected.form_name));
        QVERIFY(label);
        QCOMPARE(label->get_text(), expected.text);
        QCOMPARE(label->text_colour(), expected.colour);
        QCOMPARE(label->cursor().shape() == Qt::PointingHandCursor, expected.hand_cursor);
    }
    // Two paragraphs and an empty line between them; the first names the group and says a
    // click joins it.
    const QStringList paragraphs = window->feedback_label().lines();
    QCOMPARE(paragraphs.size(), 3);
    QVERIFY(paragraphs[1].isEmpty());
    QVERIFY(paragraphs[0].contains(QString::fromLatin1(service::feedback_group_number)));
    QVERIFY(paragraphs[0].contains(QStringLiteral("点此加入")));

    QCOMPARE(window->import_button().get_caption(),
             std::string("第二步：选择导入需要上传的图片      "));
    QCOMPARE(window->start_button().get_caption(), std::string(app::idle_start_caption));
    QVERIFY(window->import_button().isEnabled());
    QVERIFY(window->start_button().isEnabled());
    QCOMPARE(window->pause_box().get_text(), std::string("20"));
    QVERIFY(!window->board_list().isEditable());

    platform::ReportList& list = window->file_list();
    const std::pair<const char*, int> columns[] = {{"序号", 50}, {"分类", 120}, {"文件名", 0}, {"状态", 50}};
    QCOMPARE(list.columnCount(), 4);
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(list.horizontalHeaderItem(c)->text(), QString::fromUtf8(columns[c].first));
        QCOMPARE(list.columnWidth(c), columns[c].second);
    }
    QCOMPARE(list.row_count(), 0);
}

void UploadWindowTest::everyTextFitsItsPlaceWithoutOverlap()
{
    auto window = open_upload_window();
    const QRect client = window->rect();
    QList<QRect> drawn;
    for (Label* label : window->findChildren<Label*>()) {
        QVERIFY2(label->text_extent().width() <= label->width()
                     && label->text_extent().height() <= label->height(),
                 qPrintable(label->objectName()));
        drawn.append({label->geometry().topLeft(), label->text_extent()});
    }
    for (QPushButton* button : {static_cast<QPushButton*>(&window->import_button()),
                                static_cast<QPushButton*>(&window->start_button())}) {
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                 qPrintable(button->text()));
        drawn.append(button->geometry());
    }
    drawn.append(window->board_list().geometry());
    drawn.append(window->file_list().geometry());
    for (int i = 0; i < drawn.size(); ++i) {
        QVERIFY(client.contains(drawn[i]));
        for (int j = i + 1; j < drawn.size(); ++j)
            QVERIFY2(!drawn[i].intersects(drawn[j]), qPrintable(QString("%1 %2").arg(i).arg(j)));
    }
}

void UploadWindowTest::boardListFollowsTheBoardTable()
{
    install_boards(three_boards);
    auto window = open_upload_window();
    platform::DropDownList& boards = window->board_list();
    QCOMPARE(boards.count(), 3);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(boards.item_text(k), three_boards[std::size_t(k)].title);
        QCOMPARE(boards.item_value(k), three_boards[std::size_t(k)].board_id);
    }
    QCOMPARE(boards.selected_index(), 0);
    // The list was filled when the window was made; a later table does not change it.
    install_boards({{1, "later"}});
    QCOMPARE(boards.count(), 3);
}

void UploadWindowTest::emptyBoardTableGivesAnEmptyList()
{
    auto window = open_upload_window();
    QCOMPARE(window->board_list().count(), 0);
    QCOMPARE(window->board_list().selected_index(), -1);
}

void UploadWindowTest::importsAreNumberedFromOneEachWithTheBoardSelectedThen()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    install_boards(three_boards);
    auto window = open_upload_window();
    desktop.add_dialog_answer({"/p/a.jpg", "/p/b.png"});
    desktop.add_dialog_answer({"/q/猫 1.jpg", "/p/a.jpg", "/q/c"});

    QTest::mouseClick(&window->import_button(), Qt::LeftButton);
    window->board_list().select_item(1);
    QTest::mouseClick(&window->import_button(), Qt::LeftButton);

    const std::vector<Row> expected = {
        {"1", "风景", "/p/a.jpg", "－", big_board_id},
        {"2", "风景", "/p/b.png", "－", big_board_id},
        {"1", "插画参考", "/q/猫 1.jpg", "－", 27182818},
        {"2", "插画参考", "/p/a.jpg", "－", 27182818},
        {"3", "插画参考", "/q/c", "－", 27182818},
    };
    QCOMPARE(rows_of(*window), expected);

    const auto dialogs = desktop.dialogs();
    QCOMPARE(dialogs.size(), std::size_t{2});
    for (const auto& dialog : dialogs) {
        QCOMPARE(dialog.title, std::string("选择欲上传的文件："));
        QCOMPARE(dialog.initial_folder, platform::program_folder());
        QCOMPARE(dialog.owner, window.get());
    }
    QVERIFY(!platform::program_folder().empty());
}

void UploadWindowTest::importWithoutBoardsGivesRowValueMinusOne()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    auto window = open_upload_window();
    desktop.add_dialog_answer({"/p/a.jpg"});
    window->import_files();
    QCOMPARE(rows_of(*window), (std::vector<Row>{{"1", "", "/p/a.jpg", "－", -1}}));
}

void UploadWindowTest::cancelledDialogChangesNothing()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    install_boards(three_boards);
    auto window = open_upload_window();
    desktop.add_dialog_answer({"/p/a.jpg"});
    window->import_files();
    const std::vector<Row> before = rows_of(*window);
    window->import_files(); // beyond the script: cancelled
    QCOMPARE(desktop.dialogs().size(), std::size_t{2});
    QCOMPARE(rows_of(*window), before);
    QCOMPARE(before.size(), std::size_t{1});
}

void UploadWindowTest::thousandsOfFilesInOneImportAreAllListed()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    install_boards(three_boards);
    auto window = open_upload_window();
    std::vector<std::string> paths;
    for (int i = 0; i < 5000; ++i)
        paths.push_back("/photos/" + std::to_string(i) + "-一张很长的图片文件名字.jpg");
    desktop.add_dialog_answer(paths);
    window->import_files();

    platform::ReportList& list = window->file_list();
    QCOMPARE(list.row_count(), 5000);
    for (int r : {0, 2500, 4999}) {
        QCOMPARE(list.cell_text(r, 0), std::to_string(r + 1));
        QCOMPARE(list.cell_text(r, 2), paths[std::size_t(r)]);
        QCOMPARE(list.row_value(r), big_board_id);
    }
    // The list draws again once it is filled.
    QVERIFY(list.updatesEnabled());
}

void UploadWindowTest::feedbackLabelOpensTheJoinLinkOncePerPress()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    auto window = open_upload_window();
    Label& feedback = window->feedback_label();
    QTest::mousePress(&feedback, Qt::LeftButton);
    QTest::mouseRelease(&feedback, Qt::LeftButton);
    QTest::mousePress(&feedback, Qt::RightButton);
    QCOMPARE(desktop.opened_addresses(), std::vector<std::string>{service::join_link});
    QTest::mousePress(&feedback, Qt::LeftButton);
    QCOMPARE(desktop.opened_addresses(),
             (std::vector<std::string>{service::join_link, service::join_link}));
}

void UploadWindowTest::batchControlsServeAWorkerThread()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    install_boards(three_boards);
    auto window = open_upload_window();
    window->append_files({"/p/a.jpg", "/p/b.jpg"});
    auto controls = std::make_shared<app::UploadWindowControls>(*window);

    struct Seen {
        int rows = 0;
        std::int64_t value = 0;
        std::string path, pause, outside;
    } seen;
    run_on_worker([&] {
        seen.rows = controls->row_count();
        seen.value = controls->row_value(1);
        seen.path = controls->cell_text(1, app::path_column);
        seen.pause = controls->pause_text();
        seen.outside = controls->cell_text(7, 0);
        controls->set_status(1, std::string(app::done_mark));
        controls->set_status(9, std::string(app::done_mark)); // no such row: nothing happens
        controls->set_import_enabled(false);
        controls->set_start_enabled(false);
        controls->set_start_caption(std::string(app::running_start_caption));
        controls->show_batch_finished();
    });
    QCOMPARE(seen.rows, 2);
    QCOMPARE(seen.value, big_board_id);
    QCOMPARE(seen.path, std::string("/p/b.jpg"));
    QCOMPARE(seen.pause, std::string("20"));
    QCOMPARE(seen.outside, std::string());
    QCOMPARE(window->file_list().cell_text(0, app::status_column), std::string(app::imported_mark));
    QCOMPARE(window->file_list().cell_text(1, app::status_column), std::string(app::done_mark));
    QCOMPARE(window->file_list().row_count(), 2);
    QVERIFY(!window->import_button().isEnabled());
    QVERIFY(!window->start_button().isEnabled());
    QCOMPARE(window->start_button().get_caption(), std::string(app::running_start_caption));

    const auto messages = desktop.messages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].text, std::string("全部处理完毕！"));
    QCOMPARE(messages[0].title, std::string("提示"));
    QVERIFY(messages[0].icon == platform::MessageIcon::information);
}

void UploadWindowTest::batchControlsGiveEmptyResultsOnceTheWindowIsGone()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    install_boards(three_boards);
    auto window = open_upload_window();
    window->append_files({"/p/a.jpg"});
    auto controls = std::make_shared<app::UploadWindowControls>(*window);
    window.reset();

    struct Seen {
        int rows = -1;
        std::int64_t value = -1;
        std::string path = "unset", pause = "unset";
    } seen;
    run_on_worker([&] {
        seen.rows = controls->row_count();
        seen.value = controls->row_value(0);
        seen.path = controls->cell_text(0, app::path_column);
        seen.pause = controls->pause_text();
        controls->set_status(0, std::string(app::done_mark));
        controls->set_import_enabled(true);
        controls->set_start_enabled(true);
        controls->set_start_caption(std::string(app::idle_start_caption));
    });
    QCOMPARE(seen.rows, 0);
    QCOMPARE(seen.value, std::int64_t{0});
    QCOMPARE(seen.path, std::string());
    QCOMPARE(seen.pause, std::string());
    // The worker may hold the adapter longer than the window lived; dropping it there is safe.
    run_on_worker([&] { controls.reset(); });
}

void UploadWindowTest::startButtonRunsABatchAndReturnsToIdle()
{
    platform::ScriptedShell desktop;
    platform::ShellOverride in_place(desktop);
    auto window = open_upload_window();
    QTest::mouseClick(&window->start_button(), Qt::LeftButton);
    // Running at once: both buttons off and the running caption, before the worker is heard from.
    QVERIFY(!window->import_button().isEnabled());
    QVERIFY(!window->start_button().isEnabled());
    QCOMPARE(window->start_button().get_caption(), std::string(app::running_start_caption));
    // An empty list: no request, straight back to Idle and the closing box.
    QTRY_COMPARE(desktop.messages().size(), std::size_t{1});
    app::batch_runner().join_all();
    QVERIFY(window->import_button().isEnabled());
    QVERIFY(window->start_button().isEnabled());
    QCOMPARE(window->start_button().get_caption(), std::string(app::idle_start_caption));
    QCOMPARE(desktop.messages()[0].text, std::string("全部处理完毕！"));
}

QTEST_MAIN(UploadWindowTest)
#include "upload_window_test.moc"
