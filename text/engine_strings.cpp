#include "text/engine_strings.h"

namespace yejian::text {
namespace {

constexpr char32_t replacement_character = 0xFFFD;

struct Decoded {
    char32_t code_point = 0;
    std::size_t length = 0; // 0: no valid sequence starts here
};

bool in_range(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

// One UTF-8 sequence at `at` by the well-formedness table of Unicode; with
// `allow_surrogates`, ED A0..BF xx (a surrogate written as three bytes) counts as well.
Decoded decode_one(std::string_view text, std::size_t at, bool allow_surrogates)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t left = text.size() - at;
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    unsigned char second_low = 0x80, second_high = 0xBF;
    if (in_range(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (in_range(lead, 0xE0, 0xEF)) {
        length = 3;
        if (lead == 0xE0)
            second_low = 0xA0;
        if (lead == 0xED && !allow_surrogates)
            second_high = 0x9F;
    } else if (in_range(lead, 0xF0, 0xF4)) {
        length = 4;
        if (lead == 0xF0)
            second_low = 0x90;
        if (lead == 0xF4)
            second_high = 0x8F;
    } else {
        return {};
    }
    if (left < length || !in_range(byte(1), second_low, second_high))
        return {};
    for (std::size_t i = 2; i < length; ++i)
        if (!in_range(byte(i), 0x80, 0xBF))
            return {};
    char32_t code_point = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i)
        code_point = (code_point << 6) | (byte(i) & 0x3F);
    return {code_point, length};
}

void append_utf8(std::string& out, char32_t code_point)
{
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code_point >> 18));
        out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace

std::string utf8_to_engine(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        Decoded d = decode_one(utf8, at, false);
        if (d.length == 0) {
            append_utf8(out, replacement_character);
            ++at;
            continue;
        }
        if (d.code_point >= 0x10000) {
            const char32_t offset = d.code_point - 0x10000;
            append_utf8(out, 0xD800 + (offset >> 10));
            append_utf8(out, 0xDC00 + (offset & 0x3FF));
        } else {
            append_utf8(out, d.code_point);
        }
        at += d.length;
    }
    return out;
}

std::string engine_to_utf8(std::string_view engine_text)
{
    std::string out;
    out.reserve(engine_text.size());
    for (std::size_t at = 0; at < engine_text.size();) {
        Decoded d = decode_one(engine_text, at, true);
        if (d.length == 0) {
            append_utf8(out, replacement_character);
            ++at;
            continue;
        }
        at += d.length;
        if (is_high_surrogate(d.code_point) && at < engine_text.size()) {
            Decoded low = decode_one(engine_text, at, true);
            if (low.length != 0 && is_low_surrogate(low.code_point)) {
                append_utf8(out, 0x10000 + ((d.code_point - 0xD800) << 10) + (low.code_point - 0xDC00));
                at += low.length;
                continue;
            }
        }
        append_utf8(out, is_high_surrogate(d.code_point) || is_low_surrogate(d.code_point)
                             ? replacement_character
                             : d.code_point);
    }
    return out;
}

} // namespace yejian::text
