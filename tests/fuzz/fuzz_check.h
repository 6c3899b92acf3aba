#pragma once
// What every harness shares: a property check that stops the run with a message, one input
// cut into several texts, and the readers (UTF-8, percent-encoding) the properties are
// stated in. The readers are written here on their own so a harness never checks the code
// under test with that same code.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace yejian::fuzz {

[[noreturn]] inline void property_failed(const char* property, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, property);
    __builtin_trap();
}

// Traps (so libFuzzer keeps the input as a crash) when a property does not hold.
#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::yejian::fuzz::property_failed(#condition, __FILE__, __LINE__))

inline std::string_view as_text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Seeds write the parts of one input separated by the byte 0x1F (the ASCII unit separator),
// which no real text holds. The last part takes the rest of the input; missing parts are empty.
inline constexpr char part_separator = '\x1F';

inline std::vector<std::string_view> split_input(std::string_view input, std::size_t count)
{
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t at = input.find(part_separator);
        if (at == std::string_view::npos)
            break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + 1);
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
inline bool is_valid_utf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if ((byte & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (byte & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

inline bool is_ascii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

inline char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lower_ascii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = lower_ascii(c);
    return lower;
}

inline int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads "%XX" escapes; every other byte stands for itself. False for a "%" not followed by two
// hex digits.
inline bool percent_decode(std::string_view encoded, std::string& decoded)
{
    decoded.clear();
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            decoded += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size())
            return false;
        const int high = hex_value(encoded[i + 1]);
        const int low = hex_value(encoded[i + 2]);
        if (high < 0 || low < 0)
            return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

// Blanks as the program trims them: the ASCII space and the ideographic space U+3000.
inline bool has_outer_blank(std::string_view text)
{
    constexpr std::string_view ideographic_space = "\xE3\x80\x80";
    return text.starts_with(' ') || text.ends_with(' ') || text.starts_with(ideographic_space) ||
           text.ends_with(ideographic_space);
}

} // namespace yejian::fuzz
