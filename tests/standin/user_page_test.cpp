// The user page as the uploader reads it: the text between 'app.page["user"] = ' and the first
// "]};", with "]}" put back, must be the user object with its boards, and only with a session.

#include "standin_fixture.h"

#include "standin/digest.h"

namespace yejian::standin::testing {
namespace {

constexpr const char* user_page_target = "/yejian-demo/?j2vonb3l&limit=500&wfl=1";

// The uploader's cut: empty when a marker is missing.
std::string cut_user_json(const std::string& page)
{
    const std::string left = "app.page[\"user\"] = ";
    std::size_t start = page.find(left);
    if (start == std::string::npos)
        return {};
    start += left.size();
    std::size_t end = page.find("]};", start);
    if (end == std::string::npos)
        return {};
    return page.substr(start, end - start) + "]}";
}

class UserPage : public StandinFixture {
protected:
    Json fetch_user(const std::string& target, const std::string& cookies)
    {
        httplib::Headers headers;
        if (!cookies.empty())
            headers.emplace("Cookie", cookies);
        auto result = http_client()->Get(target, headers);
        if (!result || result->status != 200)
            return nullptr;
        EXPECT_NE(result->body.find("<script>"), std::string::npos);
        return Json::parse(cut_user_json(result->body), nullptr, false);
    }
};

TEST_F(UserPage, SessionShowsTheBoardsInOrderWith64BitIds)
{
    start();
    Json user = fetch_user(user_page_target, sign_in_demo());
    ASSERT_TRUE(user.is_object());
    EXPECT_EQ(user["urlname"], "yejian-demo");
    const Json& boards = user["boards"];
    ASSERT_EQ(boards.size(), 5u);
    std::vector<std::int64_t> ids;
    for (const Json& board : boards) {
        ids.push_back(board["board_id"].get<std::int64_t>());
        EXPECT_FALSE(board["title"].get<std::string>().empty());
    }
    EXPECT_EQ(ids, (std::vector<std::int64_t>{2001, 2002, 3000000001, 2004, 2005}));
    EXPECT_EQ(boards[1]["title"], "美食 🍜");
}

TEST_F(UserPage, WithoutSessionTheUserHasNoBoards)
{
    start();
    for (const std::string& cookies : {std::string(), std::string("sid=0123456789abcdef0123456789abcdef"),
                                       std::string("sid=")}) {
        Json user = fetch_user(user_page_target, cookies);
        ASSERT_TRUE(user.is_object()) << cookies;
        EXPECT_EQ(user["urlname"], "yejian-demo");
        EXPECT_TRUE(user["boards"].empty()) << cookies;
    }
}

TEST_F(UserPage, TitlesThatLookLikeTheEndMarkerOrMarkupDoNotBreakTheCut)
{
    const std::string tricky = "a]};b</script><b>\"'&;";
    Json accounts{{"accounts",
                   {{{"email", "t@example.org"}, {"password_sha256", sha256_hex("pw")}, {"urlname", "tricky"},
                     {"username", tricky}, {"boards", {{{"board_id", 11}, {"title", tricky}}, {{"board_id", 12}, {"title", "]}"}}}}}}}};
    write_file(dir_ / "accounts.json", json_text(accounts));
    StandinOptions options;
    options.accounts_file = (dir_ / "accounts.json").string();
    start(options);
    auto signed_in = https_client()->Post("/auth/", "email=t%40example.org&password=pw", "application/x-www-form-urlencoded");
    ASSERT_TRUE(signed_in);

    auto page = http_client()->Get("/tricky/?j2vonb3l&limit=500&wfl=1", {{"Cookie", cookies_of(*signed_in)}});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->body.find("</script><b>"), std::string::npos) << "the title must not end the script";
    Json user = Json::parse(cut_user_json(page->body), nullptr, false);
    ASSERT_TRUE(user.is_object());
    EXPECT_EQ(user["username"], tricky);
    ASSERT_EQ(user["boards"].size(), 2u);
    EXPECT_EQ(user["boards"][0]["title"], tricky);
    EXPECT_EQ(user["boards"][1]["title"], "]}");
    EXPECT_NE(page->body.find("<title>a]};b&lt;/script&gt;&lt;b&gt;&quot;&#39;&amp;;的画板"), std::string::npos);
}

TEST_F(UserPage, UnknownUserIsNotFound)
{
    start();
    auto result = http_client()->Get("/nobody/?j2vonb3l&limit=500&wfl=1");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    EXPECT_TRUE(cut_user_json(result->body).empty());
}

} // namespace
} // namespace yejian::standin::testing
