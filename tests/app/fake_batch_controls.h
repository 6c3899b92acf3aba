#pragma once
// The Upload window as the batch sees it, in memory: rows, the pause box, the buttons and
// the caption, with every call the batch makes recorded. Like the real window it ignores
// every call once the program shuts down.

#include "app/batch_controls.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace yejian::app::testing {

struct FakeRow {
    std::int64_t board_id;
    std::string path;
    std::string status = "－";
};

class FakeBatchControls : public BatchControls {
public:
    explicit FakeBatchControls(std::vector<FakeRow> rows, std::string pause = "0");

    int row_count() override;
    std::int64_t row_value(int row) override;
    std::string cell_text(int row, int column) override;
    void set_status(int row, const std::string& mark) override;
    std::string pause_text() override;
    void set_import_enabled(bool enabled) override;
    void set_start_enabled(bool enabled) override;
    void set_start_caption(const std::string& caption) override;
    void show_batch_finished() override;

    std::vector<std::string> statuses() const;
    int pause_reads() const;
    int finished_boxes() const;
    bool import_enabled() const;
    bool start_enabled() const;
    std::string caption() const;

private:
    mutable std::mutex mutex_;
    std::vector<FakeRow> rows_;
    std::string pause_;
    int pause_reads_ = 0;
    int finished_boxes_ = 0;
    bool import_enabled_ = true;
    bool start_enabled_ = true;
    std::string caption_;
};

} // namespace yejian::app::testing
