#include "app/sign_in_requests.h"

#include "text/json_object.h"

#include <gtest/gtest.h>

#include <limits>

namespace yejian::app {
namespace {

TEST(SignInRequests, AddressesAndHeaderBlock)
{
    EXPECT_EQ(sign_in_address(), "https://yejian.example/auth/");
    EXPECT_EQ(user_page_address("yejian-demo"),
              "http://yejian.example/yejian-demo/?j2vonb3l&limit=500&wfl=1");
    EXPECT_EQ(sign_in_header_block(),
              "X-Request: JSON\r\n"
              "X-Requested-With: XMLHttpRequest\r\n"
              "Accept: application/json\r\n"
              "Content-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"
              "Referer: http://yejian.example/\r\n"
              "Origin: http://yejian.example\r\n"
              "Accept-Encoding: gzip, deflate");
}

TEST(SignInRequests, FormBodyEncodesBothValuesAsUtf8)
{
    struct Case {
        const char* email;
        const char* password;
        const char* body;
    } cases[] = {
        {"", "", "email=&password=&_ref=frame"},
        {"me@mail.example", "Abc123", "email=me%40mail.example&password=Abc123&_ref=frame"},
        {"a+b@x.example", "p&q+r s", "email=a%2Bb%40x.example&password=p%26q%2Br%20s&_ref=frame"},
        {"x@y.example", "密码", "email=x%40y.example&password=%E5%AF%86%E7%A0%81&_ref=frame"},
        // Only letters, digits, '-' and '.' stay as they are.
        {" u_~*/@z", "=%\r\n", "email=%20u%5F%7E%2A%2F%40z&password=%3D%25%0D%0A&_ref=frame"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sign_in_form_body(c.email, c.password), c.body) << c.password;
}

TEST(SignInRequests, WipedSecretIsEmpty)
{
    std::string secret = "a password long enough to live on the heap";
    wipe_secret(secret);
    EXPECT_TRUE(secret.empty());
}

TEST(SignInRequests, UserJsonIsCutFromThePage)
{
    struct Case {
        const char* page;
        const char* user_json;
    } cases[] = {
        {"<script>app.page[\"user\"] = {\"boards\":[{\"board_id\":1}]};\napp.page[\"pins\"] = [];",
         "{\"boards\":[{\"board_id\":1}]}"},
        {"APP.PAGE[\"USER\"] = {\"boards\":[]};", "{\"boards\":[]}"},
        {"app.page[\"user\"] = {\"a\":[1]};app.page[\"user\"] = {\"b\":[2]};", "{\"a\":[1]}"},
        // A "]};" inside the object ends the cut early.
        {"app.page[\"user\"] = {\"t\":\"x]};y\",\"boards\":[]};", "{\"t\":\"x]}"},
        {"no marker here ]};", "]}"},
        {"app.page[\"user\"] = {\"boards\":[]}", "]}"},
        {"", "]}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(user_json_of_page(c.page), c.user_json) << c.page;
}

class BoardTable : public testing::Test {
protected:
    void SetUp() override { json_.init(); }

    std::vector<BoardRecord> read(const std::string& user_json)
    {
        json_.parse(user_json);
        SessionState state;
        state.replace_board_table(2); // a table that must be replaced
        read_board_table(json_, state);
        return state.board_table;
    }

    text::JsonObject json_;
};

TEST_F(BoardTable, HoldsTheBoardsInOrderWithWholeIds)
{
    const auto boards = read(R"({"boards":[
        {"board_id":12345.9,"title":"风景"},
        {"board_id":-7.5,"title":"b"},
        {"board_id":3000000001,"title":"above 2^31"},
        {"board_id":4294967297},
        {"title":"no id"},
        {"board_id":1e300,"title":"far out"}]})");
    const std::vector<std::pair<std::int64_t, std::string>> expected = {
        {12345, "风景"}, {-7, "b"}, {3000000001, "above 2^31"}, {4294967297, ""}, {0, "no id"},
        {std::numeric_limits<std::int64_t>::max(), "far out"}};
    ASSERT_EQ(boards.size(), expected.size());
    for (std::size_t k = 0; k < boards.size(); ++k) {
        EXPECT_EQ(boards[k].board_id, expected[k].first) << k;
        EXPECT_EQ(boards[k].title, expected[k].second) << k;
    }
}

TEST_F(BoardTable, IsEmptyWhenThereAreNoBoardsToRead)
{
    for (const char* user_json : {R"({"boards":[]})", R"({"boards":null})", R"({"user":1})", "]}",
                                  R"({"boards":{}})", ""})
        EXPECT_TRUE(read(user_json).empty()) << user_json;
}

TEST_F(BoardTable, StopsAtTheLargestCountItKeeps)
{
    std::string user_json = R"({"boards":[)";
    for (int k = 0; k <= max_board_count; ++k)
        user_json += (k ? ",{\"board_id\":" : "{\"board_id\":") + std::to_string(k + 1) + "}";
    user_json += "]}";
    const auto boards = read(user_json);
    ASSERT_EQ(boards.size(), std::size_t(max_board_count));
    EXPECT_EQ(boards.back().board_id, max_board_count);
}

} // namespace
} // namespace yejian::app
