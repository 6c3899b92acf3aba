// cookie_domain on a fuzzed address. The domain is a lower-case piece of the address that holds
// no path, query, fragment, user part or port: no "/", "?", "#", "@", and no ":" outside an
// IPv6 literal in brackets. A name (not an IP address) keeps at most its last two labels.

#include "tests/fuzz/fuzz_check.h"
#include "web/cookie_text.h"

#include <algorithm>

using namespace yejian;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view url = fuzz::as_text(data, size);
    const std::string domain = web::cookie_domain(url);

    FUZZ_CHECK(domain == fuzz::lower_ascii(domain));
    FUZZ_CHECK(fuzz::lower_ascii(url).find(domain) != std::string::npos);
    FUZZ_CHECK(domain.find_first_of("/?#@") == std::string::npos);
    const bool bracketed = domain.starts_with('[');
    if (!bracketed)
        FUZZ_CHECK(domain.find(':') == std::string::npos);
    const bool numeric = std::all_of(domain.begin(), domain.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
    if (!bracketed && !numeric)
        FUZZ_CHECK(std::count(domain.begin(), domain.end(), '.') <= 1);
    return 0;
}
