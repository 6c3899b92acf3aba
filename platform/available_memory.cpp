#include "platform/available_memory.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace yejian::platform {

std::optional<std::uint64_t> available_memory_of(std::string_view meminfo)
{
    constexpr std::string_view field = "MemAvailable:";
    std::size_t at = meminfo.find(field);
    // The field starts a line.
    while (at != std::string_view::npos && at != 0 && meminfo[at - 1] != '\n')
        at = meminfo.find(field, at + 1);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = meminfo.substr(at + field.size());
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    std::uint64_t kib = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), kib);
    if (error != std::errc() || end == rest.data() || kib > UINT64_MAX / 1024)
        return std::nullopt;
    return kib * 1024;
}

std::optional<std::uint64_t> available_memory()
{
    std::ifstream file("/proc/meminfo");
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return available_memory_of(text.str());
}

} // namespace yejian::platform
