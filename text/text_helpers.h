#pragma once
// Small text operations shared by every library: searching between markers, trimming,
// cutting at a separator and ASCII-only case folding.
//
// Texts are UTF-8. Searches go character by character: a match may begin on any byte that
// is not a UTF-8 continuation byte (0x80..0xBF), so no match ever starts inside a character.
// Bytes that are not valid UTF-8 are still searched, never rejected.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yejian::text {

// The text between the first `left` at or after `start_position` and the first `right` after
// it; both searches ignore the case of ASCII letters. Positions count bytes from 1: 0 or less
// means the first byte, a position past the end finds nothing. Empty when `left` is missing,
// when no `right` follows it, or when `right` follows at once.
std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         long start_position = 0);

// Index of the first occurrence of `needle` at or after byte index `from`, comparing ASCII
// letters without regard to case and starting only on character boundaries; npos when absent.
// An empty needle is found at the first boundary at or after `from`.
std::size_t find_ignoring_case(std::string_view text, std::string_view needle,
                               std::size_t from = 0);

// Removes leading and trailing blanks: the ASCII space and the ideographic space U+3000.
// Tabs, CR and LF are not blanks.
std::string trim_blanks(std::string_view text);

// The pieces of `text` between separators, in order. An empty part between two adjacent
// separators, or before a leading separator, is a piece; the part after the last separator is
// a piece only when it is not empty; an empty text gives no pieces. Pieces are not trimmed.
// An empty separator leaves a non-empty text whole.
std::vector<std::string> cut_at(std::string_view text, std::string_view separator);

// Case folding of the ASCII letters only; every other byte stays as it is.
char ascii_lower(char c);
std::string ascii_lower(std::string_view text);
std::string ascii_upper(std::string_view text);
bool equals_ignoring_case(std::string_view a, std::string_view b);
bool starts_with_ignoring_case(std::string_view text, std::string_view prefix);

// The text a byte string holds: everything before its first zero byte.
std::string_view text_before_zero(std::string_view bytes);

} // namespace yejian::text
