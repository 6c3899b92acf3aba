#include "app/upload_batch.h"

#include "app/pacing_wait.h"
#include "app/pin_description.h"
#include "app/service_constants.h"
#include "app/upload_requests.h"
#include "platform/available_memory.h"
#include "platform/shutdown.h"
#include "text/code_pages.h"
#include "text/json_object.h"
#include "web/answer_text.h"

#include <filesystem>

namespace yejian::app {
namespace {

bool upload_row(BatchControls& controls, int row, text::JsonObject& json, std::string& cookies)
{
    const std::string origin = service_origin();

    const std::string path = controls.cell_text(row, path_column);
    const std::string name8 = text::ansi_to_utf8(pin_description(path));
    // The file goes straight into the body, so even a large file is held only once. A file
    // that cannot be read is a failed row, and nothing is sent for it.
    const std::optional<std::string> body =
        multipart_body_from_file(name8, std::filesystem::path(path), platform::available_memory());
    if (!body)
        return false;
    const std::string upload_answer = web::web_access_text(origin + "/upload/", "POST", {}, &cookies, nullptr,
                                                           upload_header_block(controls.row_value(row)),
                                                           /*timeout_seconds=*/-1, *body);
    json.parse(upload_answer);
    const std::int64_t file_id = whole_number_toward_zero(json.get_number("id"));
    if (file_id < 1 || platform::shutdown_begun())
        return false;

    const std::string pin_answer = web::web_access_text(origin + "/pins/", "POST",
                                                        pin_form(controls.row_value(row), name8, file_id), &cookies);
    json.parse(pin_answer);
    const std::string pin_id = json.get_text("pin.pin_id");
    // Without a plain pin id there is no pin to edit, and the id must not shape the address
    // or a header line of the edit.
    if (!is_plain_token(pin_id) || platform::shutdown_begun())
        return false;

    const std::string edit_answer =
        web::web_access_text(origin + "/pins/" + pin_id + "/", "POST",
                             edit_form(controls.row_value(row), name8, service::default_source_link), &cookies,
                             nullptr, edit_header_block(pin_id));
    return !edit_answer.empty();
}

} // namespace

void enter_running_state(BatchControls& controls)
{
    controls.set_import_enabled(false);
    controls.set_start_enabled(false);
    controls.set_start_caption(std::string(running_start_caption));
}

void run_batch(BatchControls& controls, std::string& session_cookies)
{
    text::JsonObject json; // one per batch: its engine starts once, not once per answer
    json.init();

    const int last = controls.row_count() - 1;
    for (int row = 0; row <= last && !platform::shutdown_begun(); ++row) {
        const bool pinned = upload_row(controls, row, json, session_cookies);
        controls.set_status(row, std::string(pinned ? done_mark : failed_mark));
        // The row count is read again: no pause follows the last row.
        if (row == controls.row_count() - 1)
            continue;
        pacing_wait(integer_value_of_text(controls.pause_text()), seconds);
    }

    if (!platform::shutdown_begun()) {
        controls.set_import_enabled(true);
        controls.set_start_enabled(true);
        controls.set_start_caption(std::string(idle_start_caption));
        // The window is Idle before the box shows, so a new batch may start while it is open.
        controls.show_batch_finished();
    }
    json.destroy();
}

} // namespace yejian::app
