#pragma once
// What a batch needs of the Upload window. The batch calls these from its own thread; the
// window serves each call on the GUI thread. Once the program shuts down every call returns
// at once with its empty result (0 rows, empty texts) and changes nothing.

#include <cstdint>
#include <string>

namespace yejian::app {

class BatchControls {
public:
    virtual ~BatchControls() = default;

    virtual int row_count() = 0;
    virtual std::int64_t row_value(int row) = 0;
    virtual std::string cell_text(int row, int column) = 0;
    virtual void set_status(int row, const std::string& mark) = 0;
    virtual std::string pause_text() = 0;
    virtual void set_import_enabled(bool enabled) = 0;
    virtual void set_start_enabled(bool enabled) = 0;
    virtual void set_start_caption(const std::string& caption) = 0;
    // Shows the box that ends a batch and returns once the user has closed it; the Upload
    // window stays usable meanwhile.
    virtual void show_batch_finished() = 0;
};

} // namespace yejian::app
