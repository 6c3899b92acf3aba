#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace yejian::platform {

// Memory the system can still give without swapping, in bytes: "MemAvailable" of
// /proc/meminfo. None when the system does not say.
std::optional<std::uint64_t> available_memory();

// The "MemAvailable" figure of a /proc/meminfo text, in bytes.
std::optional<std::uint64_t> available_memory_of(std::string_view meminfo);

} // namespace yejian::platform
