#include "web/cookie_store.h"

#include "text/text_helpers.h"
#include "web/web_components.h"

#include <algorithm>
#include <memory>

namespace yejian::web {
namespace {

std::string store_address(std::string_view domain) { return "http://" + std::string(domain); }

std::shared_ptr<CookieStore> open_store()
{
    register_web_components();
    return platform::create_component_as<CookieStore>(cookie_store_prog_id);
}

} // namespace

std::string CookieStore::cookies_for(std::string_view address)
{
    check_thread();
    std::lock_guard lock(mutex_);
    std::string text;
    for (const auto& [stored_address, cookies] : addresses_) {
        if (stored_address != address)
            continue;
        for (const Cookie& cookie : cookies) {
            if (!text.empty())
                text += "; ";
            text += cookie.name + "=" + cookie.value;
        }
    }
    return text;
}

void CookieStore::replace_cookies(std::string_view address, const std::vector<Cookie>& cookies)
{
    check_thread();
    std::vector<Cookie> kept;
    for (const Cookie& cookie : cookies) {
        std::string name = text::trim_blanks(cookie.name);
        std::string value = text::trim_blanks(cookie.value);
        if (name.empty())
            continue;
        auto same = std::find_if(kept.begin(), kept.end(), [&](const Cookie& k) {
            return text::equals_ignoring_case(k.name, name);
        });
        if (same != kept.end())
            *same = Cookie{std::move(name), std::move(value)};
        else
            kept.push_back(Cookie{std::move(name), std::move(value)});
    }
    std::erase_if(kept, [](const Cookie& c) { return c.value.empty() || c.value == "deleted"; });

    std::lock_guard lock(mutex_);
    auto entry = std::find_if(addresses_.begin(), addresses_.end(),
                              [&](const auto& a) { return a.first == address; });
    if (entry == addresses_.end())
        addresses_.emplace_back(std::string(address), std::move(kept));
    else
        entry->second = std::move(kept);
}

void CookieStore::clear()
{
    check_thread();
    std::lock_guard lock(mutex_);
    addresses_.clear();
}

std::string load_store_cookies(std::string_view domain)
{
    platform::ComponentScope scope;
    const auto store = open_store();
    return store ? store->cookies_for(store_address(domain)) : std::string();
}

void save_store_cookies(std::string_view domain, std::string_view cookie_text)
{
    platform::ComponentScope scope;
    const auto store = open_store();
    if (!store)
        return;
    std::vector<CookieStore::Cookie> cookies;
    for (const std::string& piece : text::cut_at(cookie_text, ";")) {
        const std::size_t equals = piece.find('=');
        if (equals != std::string::npos)
            cookies.push_back({piece.substr(0, equals), piece.substr(equals + 1)});
    }
    store->replace_cookies(store_address(domain), cookies);
}

} // namespace yejian::web
