#include "web/answer_text.h"

#include "text/code_pages.h"
#include "text/text_helpers.h"
#include "web/web_access.h"

namespace yejian::web {

std::string web_access_text(std::string_view url, std::string_view method, std::string_view body_text,
                            std::string* cookie_text, std::string* new_cookies, std::string_view header_block,
                            int timeout_seconds, std::string_view body_bytes)
{
    const std::string bytes =
        web_access(url, method, body_text, cookie_text, new_cookies, header_block, timeout_seconds, body_bytes);
    const std::string converted = text::convert_code_page(bytes);
    return std::string(text::text_before_zero(converted));
}

} // namespace yejian::web
