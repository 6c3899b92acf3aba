#pragma once
// The start routine.

#include "app/session_state.h"

#include <functional>

namespace yejian::app {

// The program: makes the QApplication with the program font and runs one session.
// Returns 0 once the last window is gone.
int run_program(int argc, char** argv);

// One session on the existing QApplication: empty session state, the exit clean-up
// registered, the Login window shown, the event loop until the last program window has been
// destroyed, then shutdown of worker requests and the clean-up, exactly once. Returns 0.
int run_session(const std::function<void()>& exit_cleanup = release_session_state);

} // namespace yejian::app
