#pragma once
// Character-set conversion on iconv, with the substitution rules every conversion of the
// program shares:
// - decoding replaces each byte that does not start a valid sequence (and an incomplete
//   sequence at the end) by U+FFFD, so a damaged answer still converts as a whole;
// - encoding replaces a character the target cannot represent by U+FFFD when the target can
//   hold that, otherwise by "?" (so an emoji becomes "?" in GBK).
// Characters travel between the two steps as UTF-16 in host byte order.

#include <optional>
#include <string>
#include <string_view>

namespace yejian::text {

// The charset of local texts: file names, Qt strings and the service's answers are UTF-8 here.
inline constexpr std::string_view local_charset = "UTF-8";

// True when iconv can convert between `charset` and UTF-16.
bool is_known_charset(std::string_view charset);

// The characters of `bytes` read in `charset`; none when the charset is unknown.
std::optional<std::u16string> decode_charset(std::string_view bytes, std::string_view charset);

// `characters` written in `charset`; none when the charset is unknown.
std::optional<std::string> encode_charset(std::u16string_view characters, std::string_view charset);

} // namespace yejian::text
