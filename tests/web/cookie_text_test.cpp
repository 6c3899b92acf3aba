#include "web/cookie_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yejian::web {
namespace {

TEST(CookieDomain, KeepsTheLastTwoLabelsOfTheHost)
{
    struct Case {
        std::string url;
        std::string domain;
    };
    const std::vector<Case> cases = {
        {"https://Img.Example.com:8443/a/b", "example.com"},
        {"http://localhost/x", "localhost"},
        {"example.com/path", "example.com"},
        {"http://a.b.c.d/", "c.d"},
        {"http://yejian.example", "yejian.example"},
        {"http://yejian.example?x=1", "yejian.example"},
        {"", ""},
        // An "http://" later in the address (here in its query) says nothing about the host.
        {"https://a.example.com/r?u=http://x.y/", "example.com"},
        // The scheme is recognised in any letter case.
        {"HTTP://A.B/", "a.b"},
        // A user part is not the host.
        {"http://user:pw@www.example.org:81/", "example.org"},
        // Addresses are kept whole: 10.0.1.20 and 192.168.1.20 must not share cookies.
        {"http://192.168.1.20:8080/", "192.168.1.20"},
        {"http://[::1]:8080/", "[::1]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cookie_domain(c.url), c.domain) << "url: " << c.url;
}

struct MergeCase {
    std::string base;
    std::string additions;
    std::string merged;
    std::string additions_after;
};

TEST(MergeCookies, MergesByWholeNameAndNormalises)
{
    const std::vector<MergeCase> cases = {
        {"", "sid=1; uid=2;", "sid=1; uid=2;", "sid=1; uid=2;"},
        {"sid=1; uid=2;", "uid=3;", "sid=1; uid=3;", "uid=3;"},
        {"sid=1; uid=2;", "sid=deleted;", "uid=2;", "sid=deleted;"},
        {"sid=1; uid=2;", "uid=;", "sid=1;", "uid=;"},
        {"SID=1;", "sid=2;", "sid=2;", "sid=2;"},
        {"sid=1; flag; uid=2", "", "sid=1; flag; uid=2;", ""},
        {"sid=1;", "sid=1; uid=2; ", "sid=1; uid=2;", "sid=1; uid=2;"},
        {"", "sid=1", "sid=1;", "sid=1;"},
        {"  sid=1; uid=2  ", "", "sid=1; uid=2;", ""},
        // A name found inside another name or inside a value is not that name.
        {"xsid=1; sid=2;", "sid=9;", "xsid=1; sid=9;", "sid=9;"},
        {"ref=sid; sid=2;", "sid=3;", "ref=sid; sid=3;", "sid=3;"},
        // The replaced entry keeps its place, a blank before a name does not make it another.
        {"uid=2; sid=1;", "lang=en; uid=5;", "uid=5; sid=1; lang=en;", "lang=en; uid=5;"},
        // A value that merely ends with "=" (base64 padding) is a value.
        {"sid=1;", "tok=QUJD=;", "sid=1; tok=QUJD=;", "tok=QUJD=;"},
        {"tok=a=b;", "", "tok=a=b;", ""},
        // Entries with an empty name are ignored.
        {"sid=1;", "=x;", "sid=1;", "=x;"},
        // Pieces without "=" in the additions are skipped, empty pieces dropped.
        {"sid=1;;uid=2;", "flag;", "sid=1; uid=2;", "flag;"},
        // "deleted" in another letter case is a value.
        {"sid=1;", "sid=Deleted;", "sid=Deleted;", "sid=Deleted;"},
        // The later of two additions of one name wins.
        {"", "sid=1; sid=2;", "sid=2;", "sid=1; sid=2;"},
        {"a=1;\xE3\x80\x80", "\xE3\x80\x80" "b=2", "a=1; b=2;", "b=2;"},
        // A base that repeats a name keeps its first entry only, also after a replacement.
        {"sid=1; uid=2; SID=3;", "", "sid=1; uid=2;", ""},
        {"sid=1; uid=2; sid=3;", "sid=4;", "sid=4; uid=2;", "sid=4;"},
        {"sid=; sid=2; sid=3;", "", "sid=2;", ""},
    };
    for (const MergeCase& c : cases) {
        std::string base = c.base;
        std::string additions = c.additions;
        const std::string result = merge_cookies(base, additions);
        EXPECT_EQ(result, c.merged) << "base: '" << c.base << "' additions: '" << c.additions << "'";
        EXPECT_EQ(base, c.merged);
        EXPECT_EQ(additions, c.additions_after) << "additions: '" << c.additions << "'";
    }
}

TEST(CollectSetCookies, TakesTheCookieOfEverySetCookieLine)
{
    struct Case {
        std::string headers;
        std::string cookies;
    };
    const std::vector<Case> cases = {
        {"Set-Cookie: sid=1; Path=/\r\nSet-Cookie: uid=2; HttpOnly", "sid=1; uid=2; "},
        {"Set-Cookie: tk=9", "tk=9; "},
        {"set-cookie: sid=1; path=/", "sid=1; "},
        {"SET-COOKIE:sid=1", "sid=1; "},
        {"Content-Type: text/html\r\nSet-Cookie: a=1\r\nX-Set-Cookie: b=2\r\nX: Set-Cookie: c=3", "a=1; "},
        {"Set-Cookie: sid=; Max-Age=0", "sid=; "},
        {"Set-Cookie: tok=QUJD=; Secure", "tok=QUJD=; "},
        {"Set-Cookie: \r\nSet-Cookie: ; Path=/\r\nSet-Cookie: flag\r\nSet-Cookie: =x", ""},
        {"Set-Cookie : sid=1", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(collect_set_cookies(c.headers), c.cookies) << "headers: " << c.headers;
}

} // namespace
} // namespace yejian::web
