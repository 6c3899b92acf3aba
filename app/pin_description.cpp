#include "app/pin_description.h"

namespace yejian::app {
namespace {

constexpr std::string_view original_mark = "原创";

bool is_continuation_byte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Removes every occurrence of `mark` that starts on a character boundary, scanning on from
// right after each match so marks that follow one another all go.
std::string remove_all(std::string_view text, std::string_view mark)
{
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (!is_continuation_byte(static_cast<unsigned char>(text[i])) && text.substr(i, mark.size()) == mark) {
            i += mark.size();
            continue;
        }
        result.push_back(text[i]);
        ++i;
    }
    return result;
}

} // namespace

std::string last_path_component(std::string_view path)
{
    const auto separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string pin_description(std::string_view path)
{
    const std::string name = remove_all(last_path_component(path), original_mark);
    // "." is ASCII and never a byte inside a UTF-8 sequence, so the last one is a whole character.
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    return name.substr(0, dot);
}

} // namespace yejian::app
