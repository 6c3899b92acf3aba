#pragma once
// Conversions between character sets and code pages.
//
// Texts end at their first zero byte (UTF-16 texts at their first zero unit); byte strings may
// hold any byte. Conversions always convert the whole text: a sequence that is not valid in the
// source becomes U+FFFD, a character the target cannot hold becomes U+FFFD or, where the target
// cannot hold that either, "?".

#include <optional>
#include <string>
#include <string_view>

namespace yejian::text {

inline constexpr int code_page_gbk = 936;
inline constexpr int code_page_utf8 = 65001;
// The system's code page, the one local texts are written in: UTF-8 on this platform.
inline constexpr int code_page_system = code_page_utf8;

// The bytes decoded in `from_charset` (default "UTF-8") and encoded in `to_charset` (default:
// the local charset, "UTF-8"), read from `start_position` (a byte offset into the converted
// bytes) when given. The characters pass through a local text on the way, so the result ends
// where the input's first zero character was. Empty when the input is empty, a charset is
// unknown, or the stream component is unavailable.
std::string convert_code_page(std::string_view bytes, std::string_view from_charset = {},
                              std::string_view to_charset = {},
                              std::optional<long> start_position = {});

// `text` decoded in `code_page`; empty for an unknown code page.
std::u16string multibyte_to_utf16(std::string_view text, int code_page = code_page_utf8);

// `text` encoded in `code_page`; empty for an unknown code page.
std::string utf16_to_multibyte(std::u16string_view text, int code_page = code_page_system);

// `text`, written in `code_page` (the local one unless given), as UTF-8. Valid UTF-8 comes
// back unchanged when the code page is the local one.
std::string ansi_to_utf8(std::string_view text, int code_page = code_page_system);

} // namespace yejian::text
