#include "web/web_access.h"

#include "platform/components.h"
#include "text/text_helpers.h"
#include "web/cookie_store.h"
#include "web/cookie_text.h"
#include "web/http_request.h"
#include "web/web_components.h"

#include <memory>

namespace yejian::web {
namespace {

std::shared_ptr<HttpRequest> create_request_object()
{
    register_web_components();
    for (const char* prog_id : request_prog_ids)
        if (auto request = platform::create_component_as<HttpRequest>(prog_id))
            return request;
    return nullptr;
}

int timeout_ms(int timeout_seconds)
{
    if (timeout_seconds < 1)
        return 15000;
    // Beyond what fits in milliseconds the longest time-out stands in.
    constexpr int longest_seconds = 2147483647 / 1000;
    return (timeout_seconds > longest_seconds ? longest_seconds : timeout_seconds) * 1000;
}

void send_header_block(HttpRequest& request, std::string_view header_block)
{
    for (const std::string& line : text::cut_at(header_block, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        request.SetRequestHeader(std::string_view(line).substr(0, colon),
                                 std::string_view(line).substr(colon + 1));
    }
}

} // namespace

std::string default_header_block(std::string_view url)
{
    return "Referer: " + std::string(url) +
           "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
           "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
           "Content-Type: application/x-www-form-urlencoded";
}

std::string web_access(std::string_view url, std::string_view method, std::string_view body_text,
                       std::string* cookie_text, std::string* new_cookies,
                       std::string_view header_block, int timeout_seconds, std::string_view body_bytes)
{
    // Texts end at their first zero byte; only body_bytes may hold zeros.
    url = text::text_before_zero(url);
    method = text::text_before_zero(method);
    body_text = text::text_before_zero(body_text);
    header_block = text::text_before_zero(header_block);

    platform::ComponentScope components;
    std::shared_ptr<HttpRequest> request = create_request_object();
    if (!request)
        return {};

    const std::string verb = method.empty() ? std::string("GET") : text::ascii_upper(method);
    if (timeout_seconds != -1) {
        const int ms = timeout_ms(timeout_seconds);
        request->SetTimeouts(ms, ms, ms, ms);
    }
    request->Open(verb, url, false);
    const std::string block = header_block.empty() ? default_header_block(url) : std::string(header_block);

    std::string caller_cookies = cookie_text ? *cookie_text : std::string();
    const std::string domain = cookie_domain(url);
    std::string cookies = load_store_cookies(domain);
    merge_cookies(cookies, caller_cookies);
    if (!cookies.empty())
        request->SetRequestHeader("Cookie", cookies);
    send_header_block(*request, block);

    request->Send(body_bytes.empty() ? body_text : body_bytes);
    std::string answer = request->ResponseBody();
    const std::string answer_headers = request->GetallResponseHeaders();

    std::string set_cookies = collect_set_cookies(answer_headers);
    merge_cookies(cookies, set_cookies);
    save_store_cookies(domain, cookies);
    if (cookie_text)
        *cookie_text = cookies;
    if (new_cookies)
        *new_cookies = set_cookies;

    request.reset();
    return answer;
}

} // namespace yejian::web
