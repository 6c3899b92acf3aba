#pragma once
// Percent-encoding of form values.

#include <string>
#include <string_view>

namespace yejian::text {

// Every byte of `text` (up to its first zero byte) as "%" and two upper-case hex digits; with
// `keep_unreserved`, ASCII letters, digits, '-' and '.' stay as they are (and nothing else: '_',
// '~', '*' and '/' are encoded too). With `as_utf8` the text is first converted from the local
// code page to UTF-8. A space becomes "%20", never "+".
std::string url_encode(std::string_view text, bool keep_unreserved = false, bool as_utf8 = false);

} // namespace yejian::text
