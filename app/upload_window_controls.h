#pragma once
// The Upload window's controls as a batch uses them from its own thread. Every call is served
// on the GUI thread; the adapter holds guarded pointers to the controls, so a batch that
// outlives the window (the user closed it) gets empty results and changes nothing.

#include "app/batch_controls.h"

#include <QPointer>

namespace yejian::platform {
class EditBox;
class PushButton;
class ReportList;
} // namespace yejian::platform

namespace yejian::app {

class UploadWindow;

class UploadWindowControls : public BatchControls {
public:
    // Made on the GUI thread.
    explicit UploadWindowControls(UploadWindow& window);

    int row_count() override;
    std::int64_t row_value(int row) override;
    std::string cell_text(int row, int column) override;
    void set_status(int row, const std::string& mark) override;
    std::string pause_text() override;
    void set_import_enabled(bool enabled) override;
    void set_start_enabled(bool enabled) override;
    void set_start_caption(const std::string& caption) override;
    void show_batch_finished() override;

private:
    // Read on the GUI thread only.
    QPointer<platform::ReportList> file_list_;
    QPointer<platform::EditBox> pause_box_;
    QPointer<platform::PushButton> import_button_;
    QPointer<platform::PushButton> start_button_;
};

} // namespace yejian::app
