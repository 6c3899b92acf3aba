#pragma once
// The batch: every row of the file list becomes a pin, one row after the other and one pause
// apart, on a thread of its own.

#include "app/batch_controls.h"

#include <string>
#include <string_view>

namespace yejian::app {

inline constexpr std::string_view idle_start_caption = "第三步：点此开始上传（20秒完成一张）";
inline constexpr std::string_view running_start_caption = "正在为您上传  20秒/张  请勿再次点击";
inline constexpr std::string_view imported_mark = "－";
inline constexpr std::string_view done_mark = "√";
inline constexpr std::string_view failed_mark = "×";
inline constexpr int path_column = 2;
inline constexpr int status_column = 3;

// Runs the batch on the calling thread (the worker thread): each row's upload and its mark
// ("√" only when the pin exists: the upload gave a file id of 1 or more, the pin creation a
// plain pin id, and the pin edit an answer; "×" otherwise),
// the pause after it (none after the last row), then the window back to Idle and the box that
// ends the batch. Stops after the current step once the program shuts down, without touching
// the window again. `session_cookies` is the session cookie text; the batch is its only user
// while it runs.
void run_batch(BatchControls& controls, std::string& session_cookies);

// Puts the window into Running: the import button, then the start button disabled, and the
// running caption. The start handler calls it on the GUI thread before it starts the worker.
void enter_running_state(BatchControls& controls);

} // namespace yejian::app
