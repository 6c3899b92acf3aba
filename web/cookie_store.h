#pragma once
// The process-wide cookie store: cookies by address, in memory for the life of the process,
// nothing on disk. Every request reads the cookies of its domain from here and writes the
// updated cookie text back, so cookies carry from one request to the next even for a caller
// that keeps no cookie text of its own.

#include "platform/components.h"

#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yejian::web {

inline constexpr const char* cookie_store_prog_id = "Yejian.CookieStore";

class CookieStore : public platform::Component {
public:
    struct Cookie {
        std::string name;
        std::string value;
    };

    // The cookies kept for the address as "name=value" entries joined by "; ", in the order
    // of the last save; "" when there are none. The whole text, however long.
    std::string cookies_for(std::string_view address);

    // Makes `cookies` the address's whole set: a name that is not among them is removed.
    // Names and values are kept trimmed, and names compared without regard to ASCII case, so
    // " tok" and "tok" are one cookie; a later cookie of the same name replaces an earlier one in its place.
    // Cookies with an empty name, and empty or "deleted" values (how a server removes a
    // cookie), are not kept.
    void replace_cookies(std::string_view address, const std::vector<Cookie>& cookies);

    // Forgets every cookie of every address.
    void clear();

private:
    std::mutex mutex_;
    std::vector<std::pair<std::string, std::vector<Cookie>>> addresses_;
};

// The store's cookie text for a domain (stored under "http://" + domain), or "".
std::string load_store_cookies(std::string_view domain);

// Makes the store's cookies for a domain those of `cookie_text`: each piece with "=" gives a
// name (before its first "=") and a value (after it). The text was built from the store's own
// cookies for the domain, so a name it no longer holds was deleted, and leaves the store too.
void save_store_cookies(std::string_view domain, std::string_view cookie_text);

} // namespace yejian::web
