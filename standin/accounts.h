#pragma once
// The stand-in's accounts and their boards: a built-in demo account, plus those of an
// accounts file. Passwords are only ever held as SHA-256 digests and compared in constant time.
//
// Accounts file (UTF-8 JSON):
//   {"accounts": [{"email": "a@example.org", "password_sha256": "<64 hex digits>",
//                  "urlname": "a-space", "username": "阿", "user_id": 7,
//                  "boards": [{"board_id": 3000000001, "title": "风景"}]}]}
// "urlname" is letters, digits, "-" and "_" only; board ids are whole numbers of 1 or more,
// unique over all accounts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yejian::standin {

struct Board {
    std::int64_t board_id = 0;
    std::string title;
    std::string description;
};

struct Account {
    std::string email;
    std::string password_sha256; // lower-case hex
    std::string urlname;
    std::string username;
    std::int64_t user_id = 0;
    std::vector<Board> boards;

    bool password_matches(std::string_view password) const;
    const Board* find_board(std::int64_t board_id) const;
};

inline constexpr const char* demo_email = "demo@yejian.example";
inline constexpr const char* demo_password = "demo-pass";

Account demo_account();

class AccountBook {
public:
    // The demo account alone.
    AccountBook();
    // The demo account and those of the file; throws std::runtime_error with a message that
    // names the file and what is wrong.
    static AccountBook with_file(const std::string& path);

    const Account* find_by_email(std::string_view email) const;
    const Account* find_by_urlname(std::string_view urlname) const;
    const std::vector<Account>& accounts() const { return accounts_; }

private:
    void add(Account account, const std::string& origin);

    std::vector<Account> accounts_;
};

} // namespace yejian::standin
