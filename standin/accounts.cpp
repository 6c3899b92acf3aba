#include "standin/accounts.h"

#include "standin/digest.h"
#include "standin/json_text.h"

#include <algorithm>
#include <stdexcept>

namespace yejian::standin {

namespace {

bool same_email(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

bool is_urlname(std::string_view name)
{
    return !name.empty() && name.size() <= 64 &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

bool is_sha256_hex(std::string_view text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](unsigned char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

Account account_from_json(const Json& entry, const std::string& where)
{
    auto fail = [&](const std::string& what) { throw std::runtime_error(where + ": " + what); };
    if (!entry.is_object())
        fail("an account must be a JSON object");
    Account account;
    try {
        account.email = entry.at("email").get<std::string>();
        account.password_sha256 = entry.at("password_sha256").get<std::string>();
        account.urlname = entry.at("urlname").get<std::string>();
        account.username = entry.value("username", account.urlname);
        account.user_id = entry.value("user_id", std::int64_t{0});
        for (const auto& board_entry : entry.value("boards", Json::array())) {
            Board board;
            board.board_id = board_entry.at("board_id").get<std::int64_t>();
            board.title = board_entry.at("title").get<std::string>();
            board.description = board_entry.value("description", std::string());
            account.boards.push_back(std::move(board));
        }
    } catch (const nlohmann::json::exception& error) {
        fail(std::string("missing or wrong member (") + error.what() + ")");
    }
    if (entry.contains("password"))
        fail("\"password\" is not accepted: give \"password_sha256\", the hex SHA-256 of the password");
    if (account.email.empty() || account.email.find('@') == std::string::npos)
        fail("\"email\" must be an e-mail address");
    if (!is_sha256_hex(account.password_sha256))
        fail("\"password_sha256\" must be 64 lower-case hex digits");
    if (!is_urlname(account.urlname))
        fail("\"urlname\" must be 1 to 64 letters, digits, '-' or '_'");
    for (std::size_t i = 0; i < account.boards.size(); ++i) {
        if (account.boards[i].board_id < 1)
            fail("board ids must be 1 or more");
        for (std::size_t j = 0; j < i; ++j)
            if (account.boards[j].board_id == account.boards[i].board_id)
                fail("board id " + std::to_string(account.boards[i].board_id) + " appears twice");
    }
    return account;
}

} // namespace

bool Account::password_matches(std::string_view password) const
{
    return equal_in_constant_time(sha256_hex(password), password_sha256);
}

const Board* Account::find_board(std::int64_t board_id) const
{
    auto it = std::find_if(boards.begin(), boards.end(),
                           [&](const Board& board) { return board.board_id == board_id; });
    return it == boards.end() ? nullptr : &*it;
}

Account demo_account()
{
    Account demo;
    demo.email = demo_email;
    // SHA-256 of "demo-pass".
    demo.password_sha256 = "02ccf27105554b9a7fc512ba9f40b863ff974c35487512a7ea8b0e661f831b12";
    demo.urlname = "yejian-demo";
    demo.username = "叶笺演示";
    demo.user_id = 100001;
    // One id above 2^31, so a client that keeps ids in 32 bits reaches the wrong board.
    demo.boards = {
        {2001, "风景摄影", "山川湖海"},
        {2002, "美食 🍜", "好吃的都在这里"},
        {3000000001, "旅行日记", "走过的地方"},
        {2004, "插画与手绘", ""},
        {2005, "猫 & 狗", "毛茸茸"},
    };
    return demo;
}

AccountBook::AccountBook()
{
    add(demo_account(), "built-in demo account");
}

AccountBook AccountBook::with_file(const std::string& path)
{
    AccountBook book;
    Json document = read_json_file(path);
    if (!document.is_object() || !document.contains("accounts") || !document["accounts"].is_array())
        throw std::runtime_error(path + ": expected {\"accounts\": [...]}");
    std::size_t index = 0;
    for (const auto& entry : document["accounts"]) {
        std::string where = path + ": accounts[" + std::to_string(index++) + "]";
        book.add(account_from_json(entry, where), where);
    }
    return book;
}

void AccountBook::add(Account account, const std::string& origin)
{
    for (const Account& known : accounts_) {
        if (same_email(known.email, account.email))
            throw std::runtime_error(origin + ": e-mail " + account.email + " is already taken");
        if (known.urlname == account.urlname)
            throw std::runtime_error(origin + ": urlname " + account.urlname + " is already taken");
        for (const Board& board : account.boards)
            if (known.find_board(board.board_id) != nullptr)
                throw std::runtime_error(origin + ": board id " + std::to_string(board.board_id) +
                                         " is already taken");
    }
    accounts_.push_back(std::move(account));
}

const Account* AccountBook::find_by_email(std::string_view email) const
{
    for (const Account& account : accounts_)
        if (same_email(account.email, email))
            return &account;
    return nullptr;
}

const Account* AccountBook::find_by_urlname(std::string_view urlname) const
{
    for (const Account& account : accounts_)
        if (account.urlname == urlname)
            return &account;
    return nullptr;
}

} // namespace yejian::standin
