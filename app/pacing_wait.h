#pragma once
#include <cstdint>

namespace yejian::app {

// Unit codes of pacing_wait: milliseconds, seconds, minutes, hours; any other code is itself
// the number of milliseconds per unit.
enum PacingUnit : std::int32_t { milliseconds = 0, seconds = 1, minutes = 2, hours = 3 };

// Blocks the calling thread for `interval` units and returns true. A thread with a Qt event
// loop available keeps dispatching its events meanwhile; nothing polls. An interval of 0 or
// less returns at once, and the wait ends early when the program shuts down.
bool pacing_wait(std::int32_t interval, std::int32_t unit = milliseconds);

// The due time in steps of 100 ns, negative for a time relative to now (0 or more means a
// moment already past), saturated at the 64-bit range.
std::int64_t pacing_due_time(std::int32_t interval, std::int32_t unit);

} // namespace yejian::app
