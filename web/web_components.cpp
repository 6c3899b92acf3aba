#include "web/web_components.h"

#include "web/cookie_store.h"
#include "web/curl_http_request.h"

#include <memory>
#include <mutex>

namespace yejian::web {

void register_web_components()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // One store for the whole process: every creation hands out the same object.
        auto store = std::make_shared<CookieStore>();
        platform::register_component(cookie_store_prog_id, [store] { return store; });
        platform::register_component(request_prog_ids[0], [] {
            return std::make_shared<CurlHttpRequest>(RequestSettings::from_environment());
        });
    });
}

} // namespace yejian::web
