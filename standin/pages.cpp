#include "standin/pages.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace yejian::standin {

namespace {

std::string local_time_text(std::int64_t seconds)
{
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    localtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

bool is_web_link(std::string_view link)
{
    return link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0;
}

constexpr std::size_t pins_shown_per_board = 200;

constexpr const char* overview_style = R"(<style>
body{font-family:"WenQuanYi Micro Hei","Noto Sans CJK SC",sans-serif;margin:2em;color:#222}
h2{border-bottom:1px solid #ccc}
.pin{display:flex;gap:1em;align-items:flex-start;margin:.6em 0}
.pin img{width:120px;max-height:120px;object-fit:contain;background:#eee}
.meta{color:#666;font-size:90%}
</style>)";

} // namespace

std::string html_escape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string script_safe_json(const Json& value)
{
    std::string text = json_text(value);
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        if (c == ';')
            safe += "\\u003b";
        else if (c == '<')
            safe += "\\u003c";
        else
            safe += c;
    }
    return safe;
}

Json user_object(const Account& account, const ServiceState& state, bool with_boards)
{
    std::map<std::int64_t, int> pin_counts;
    int account_pins = 0;
    for (const Pin& pin : state.pins())
        if (pin.account_email == account.email) {
            ++pin_counts[pin.board_id];
            ++account_pins;
        }
    Json boards = Json::array();
    if (with_boards)
        for (const Board& board : account.boards)
            boards.push_back(Json{{"board_id", board.board_id},
                                  {"user_id", account.user_id},
                                  {"title", board.title},
                                  {"description", board.description},
                                  {"category_id", nullptr},
                                  {"seq", boards.size() + 1},
                                  {"pin_count", pin_counts[board.board_id]},
                                  {"follow_count", 0},
                                  {"like_count", 0},
                                  {"is_private", 0}});
    // "boards" stays the last member: readers cut the object at its closing "]}".
    return Json{{"user_id", account.user_id},
                {"username", account.username},
                {"urlname", account.urlname},
                {"avatar", nullptr},
                {"pin_count", account_pins},
                {"board_count", account.boards.size()},
                {"follower_count", 0},
                {"following_count", 0},
                {"boards", std::move(boards)}};
}

std::string user_page_html(const Account& account, const Json& user)
{
    std::string name = html_escape(account.username);
    std::string page;
    page += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<title>" + name + "的画板 - 叶笺</title>\n";
    page += "<meta name=\"viewport\" content=\"width=device-width\">\n</head>\n<body>\n";
    page += "<div id=\"page\"><h1>" + name + "</h1><div id=\"boards\"></div></div>\n";
    page += "<script>\nvar app = window.app || {};\napp.page = app.page || {};\n";
    page += "app.page[\"$url\"] = \"/" + account.urlname + "/\";\n";
    page += "app.page[\"user\"] = " + script_safe_json(user) + ";\n";
    page += "app.page[\"pins\"] = [];\napp.page[\"$ready\"] = true;\n";
    page += "app.settings = {\"limit\": 500, \"wfl\": 1};\n</script>\n";
    page += "<script>\n(function () {\n  var list = document.getElementById(\"boards\");\n"
            "  (app.page[\"user\"].boards || []).forEach(function (b) {\n"
            "    var item = document.createElement(\"div\");\n"
            "    item.textContent = b.title + \" (\" + b.pin_count + \")\";\n"
            "    list.appendChild(item);\n  });\n})();\n</script>\n";
    page += "</body>\n</html>\n";
    return page;
}

std::string overview_html(const AccountBook& accounts, const ServiceState& state)
{
    std::map<std::int64_t, std::vector<Pin>> pins_by_board;
    for (const Pin& pin : state.pins())
        pins_by_board[pin.board_id].push_back(pin);

    std::string page;
    page += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<meta http-equiv=\"refresh\" content=\"10\">\n";
    page += "<title>叶笺 (local stand-in)</title>\n";
    page += overview_style;
    page += "\n</head>\n<body>\n<h1>叶笺 local stand-in</h1>\n";
    page += "<p class=\"meta\">Boards and their pins, newest first. The page reloads every 10 seconds.</p>\n";
    for (const Account& account : accounts.accounts()) {
        page += "<section>\n<h2>" + html_escape(account.username) + " &lt;" + html_escape(account.email) +
                "&gt;</h2>\n";
        for (const Board& board : account.boards) {
            const std::vector<Pin>& pins = pins_by_board[board.board_id];
            page += "<h3>" + html_escape(board.title) + " <span class=\"meta\">board " +
                    std::to_string(board.board_id) + ", " + std::to_string(pins.size()) + " pins</span></h3>\n";
            std::size_t shown = 0;
            for (auto it = pins.rbegin(); it != pins.rend() && shown < pins_shown_per_board; ++it, ++shown) {
                const Pin& pin = *it;
                std::string id = std::to_string(pin.file_id);
                page += "<div class=\"pin\"><a href=\"/files/" + id + "\"><img src=\"/files/" + id +
                        "\" alt=\"\" loading=\"lazy\"></a><div>";
                page += "<div>" + (pin.text.empty() ? std::string("<i>(no description)</i>") : html_escape(pin.text)) + "</div>";
                if (pin.link.empty())
                    page += "<div class=\"meta\">no source link</div>";
                else if (is_web_link(pin.link))
                    page += "<div>source: <a href=\"" + html_escape(pin.link) + "\">" + html_escape(pin.link) + "</a></div>";
                else
                    page += "<div>source: " + html_escape(pin.link) + "</div>";
                page += "<div class=\"meta\">pin " + std::to_string(pin.pin_id) + ", file " + id + ", " +
                        local_time_text(pin.created_at) + "</div></div></div>\n";
            }
            if (pins.size() > shown)
                page += "<p class=\"meta\">and " + std::to_string(pins.size() - shown) + " older pins</p>\n";
        }
        page += "</section>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

std::string error_page_html(int status, std::string_view title, std::string_view message)
{
    std::string code = std::to_string(status);
    return "<!DOCTYPE html>\n<html>\n<head><meta charset=\"utf-8\"><title>" + code + " " +
           html_escape(title) + "</title></head>\n<body>\n<h1>" + code + " " + html_escape(title) +
           "</h1>\n<p>" + html_escape(message) + "</p>\n<hr><address>yejian</address>\n</body>\n</html>\n";
}

std::string sniff_image_type(std::string_view first_bytes)
{
    auto starts = [&](std::string_view magic) { return first_bytes.substr(0, magic.size()) == magic; };
    if (starts("\x89PNG\r\n\x1a\n"))
        return "image/png";
    if (starts("\xff\xd8\xff"))
        return "image/jpeg";
    if (starts("GIF87a") || starts("GIF89a"))
        return "image/gif";
    if (starts("BM"))
        return "image/bmp";
    if (first_bytes.size() >= 12 && starts("RIFF") && first_bytes.substr(8, 4) == "WEBP")
        return "image/webp";
    return "application/octet-stream";
}

} // namespace yejian::standin
