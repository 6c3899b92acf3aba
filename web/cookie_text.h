#pragma once
// Cookie texts: entries "name=value" each followed by ";", one blank between entries, such as
// "sid=1; uid=2;". The empty text means no cookies. Texts from outside may deviate from that
// form ("sid=1; uid=2" without the last ";"); every operation here accepts them.

#include <string>
#include <string_view>

namespace yejian::web {

// The domain under which the cookies of an address are kept: the lower-case host without
// scheme, user part or port, cut to its last two dot-separated labels ("example.com").
// An IP address is kept whole, so two hosts that share their last two numbers never share
// cookies.
std::string cookie_domain(std::string_view url);

// Merges `additions` into `base` and returns the new base; both arguments come back trimmed,
// and the additions end with ";" unless empty. An addition replaces every base entry of the
// same name (names compared after trimming, ASCII letters without regard to case) in its
// place; other additions follow at the end in their order; an addition with an empty name is
// ignored. The base comes back normalised: entries whose value is empty or "deleted" are
// dropped, of several entries of one name only the first stays, pieces without "=" stay, every
// piece is trimmed and followed by "; ", and the whole is trimmed, so it ends with ";" unless
// it is empty.
std::string merge_cookies(std::string& base, std::string& additions);

// The cookies that an answer's header lines set, as "name=value; " entries in the order of
// the lines. A line counts when the text before its first ":" is "Set-Cookie" in any letter
// case; its cookie is the value up to the first ";" (or the end), trimmed. Values without
// "=" or with an empty name are not cookies and are left out.
std::string collect_set_cookies(std::string_view answer_headers);

} // namespace yejian::web
