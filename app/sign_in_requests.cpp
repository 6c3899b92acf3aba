#include "app/sign_in_requests.h"

#include "app/service_constants.h"
#include "app/upload_requests.h"
#include "text/json_object.h"
#include "text/text_helpers.h"
#include "text/url_encoding.h"

#include <algorithm>
#include <cstring>

namespace yejian::app {
namespace {

std::string encoded_form_value(std::string_view text)
{
    return text::url_encode(text, /*keep_unreserved=*/true, /*as_utf8=*/true);
}

} // namespace

std::string sign_in_address() { return std::string("https://") + service::host + "/auth/"; }

std::string user_page_address(std::string_view user_url_name)
{
    return service_origin() + "/" + std::string(user_url_name) + "/?j2vonb3l&limit=500&wfl=1";
}

std::string sign_in_header_block()
{
    return "X-Request: JSON\r\n"
           "X-Requested-With: XMLHttpRequest\r\n"
           "Accept: application/json\r\n"
           "Content-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"
           "Referer: " + service_origin() + "/\r\n"
           "Origin: " + service_origin() + "\r\n"
           "Accept-Encoding: gzip, deflate";
}

std::string sign_in_form_body(std::string_view email, std::string_view password)
{
    const std::string encoded_email = encoded_form_value(email);
    std::string encoded_password = encoded_form_value(password);
    constexpr std::string_view email_field = "email=";
    constexpr std::string_view password_field = "&password=";
    constexpr std::string_view ref_field = "&_ref=frame";
    // Reserved once, so no reallocation leaves a copy of the password behind.
    std::string body;
    body.reserve(email_field.size() + encoded_email.size() + password_field.size()
                 + encoded_password.size() + ref_field.size());
    body.append(email_field).append(encoded_email);
    body.append(password_field).append(encoded_password);
    body.append(ref_field);
    wipe_secret(encoded_password);
    return body;
}

void wipe_secret(std::string& secret)
{
    // explicit_bzero is not optimised away even though the text is not read again.
    ::explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

std::string user_json_of_page(std::string_view page)
{
    return text::text_between(page, "app.page[\"user\"] = ", "]};") + "]}";
}

void read_board_table(text::JsonObject& user_json, SessionState& state)
{
    // -2 when "boards" is missing or null: an empty table.
    const int count = std::clamp(user_json.member_count("boards"), 0, max_board_count);
    state.replace_board_table(count);
    for (int k = 0; k < count; ++k) {
        const std::string board = "boards[" + std::to_string(k) + "]";
        BoardRecord& record = state.board_table[static_cast<std::size_t>(k)];
        record.board_id = whole_number_toward_zero(user_json.get_number(board + ".board_id"));
        record.title = user_json.get_text(board + ".title");
    }
}

} // namespace yejian::app
