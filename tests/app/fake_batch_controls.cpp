#include "fake_batch_controls.h"

#include "platform/shutdown.h"

namespace yejian::app::testing {

FakeBatchControls::FakeBatchControls(std::vector<FakeRow> rows, std::string pause)
    : rows_(std::move(rows)), pause_(std::move(pause))
{
}

int FakeBatchControls::row_count()
{
    std::lock_guard lock(mutex_);
    return platform::shutdown_begun() ? 0 : int(rows_.size());
}

std::int64_t FakeBatchControls::row_value(int row)
{
    std::lock_guard lock(mutex_);
    return platform::shutdown_begun() ? 0 : rows_.at(row).board_id;
}

std::string FakeBatchControls::cell_text(int row, int column)
{
    std::lock_guard lock(mutex_);
    if (platform::shutdown_begun() || column != 2)
        return {};
    return rows_.at(row).path;
}

void FakeBatchControls::set_status(int row, const std::string& mark)
{
    std::lock_guard lock(mutex_);
    if (!platform::shutdown_begun())
        rows_.at(row).status = mark;
}

std::string FakeBatchControls::pause_text()
{
    std::lock_guard lock(mutex_);
    if (platform::shutdown_begun())
        return {};
    ++pause_reads_;
    return pause_;
}

void FakeBatchControls::set_import_enabled(bool enabled)
{
    std::lock_guard lock(mutex_);
    if (!platform::shutdown_begun())
        import_enabled_ = enabled;
}

void FakeBatchControls::set_start_enabled(bool enabled)
{
    std::lock_guard lock(mutex_);
    if (!platform::shutdown_begun())
        start_enabled_ = enabled;
}

void FakeBatchControls::set_start_caption(const std::string& caption)
{
    std::lock_guard lock(mutex_);
    if (!platform::shutdown_begun())
        caption_ = caption;
}

void FakeBatchControls::show_batch_finished()
{
    std::lock_guard lock(mutex_);
    if (!platform::shutdown_begun())
        ++finished_boxes_;
}

std::vector<std::string> FakeBatchControls::statuses() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& row : rows_)
        result.push_back(row.status);
    return result;
}

int FakeBatchControls::pause_reads() const
{
    std::lock_guard lock(mutex_);
    return pause_reads_;
}

int FakeBatchControls::finished_boxes() const
{
    std::lock_guard lock(mutex_);
    return finished_boxes_;
}

bool FakeBatchControls::import_enabled() const
{
    std::lock_guard lock(mutex_);
    return import_enabled_;
}

bool FakeBatchControls::start_enabled() const
{
    std::lock_guard lock(mutex_);
    return start_enabled_;
}

std::string FakeBatchControls::caption() const
{
    std::lock_guard lock(mutex_);
    return caption_;
}

} // namespace yejian::app::testing
