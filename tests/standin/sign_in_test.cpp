// Sign-in over real TLS: the certificate made by make-cert.sh is trusted for yejian.example,
// the right password starts a session with several cookies, anything else gets no user.

#include "standin_fixture.h"

#include "standin/digest.h"

namespace yejian::standin::testing {
namespace {

class SignIn : public StandinFixture {
protected:
    void SetUp() override
    {
        StandinFixture::SetUp();
        start();
    }
};

TEST_F(SignIn, RightPasswordGivesUrlnameAndSessionCookies)
{
    auto result = https_client()->Post("/auth/", "email=demo%40yejian.example&password=demo-pass&_ref=frame",
                                       "application/x-www-form-urlencoded; charset=utf-8");
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    Json answer = Json::parse(result->body);
    EXPECT_EQ(answer["user"]["urlname"], "yejian-demo");

    // Several cookies, each with attributes after its name=value (so each line has a ";").
    std::vector<std::string> cookies = set_cookie_headers(*result);
    ASSERT_GE(cookies.size(), 3u);
    for (const std::string& line : cookies)
        EXPECT_NE(line.find("; Path=/"), std::string::npos) << line;
    EXPECT_NE(cookies_of(*result).find("sid="), std::string::npos);
}

TEST_F(SignIn, AnythingElseGivesJsonWithoutUser)
{
    const char* forms[] = {
        "email=demo%40yejian.example&password=wrong&_ref=frame",
        "email=demo%40yejian.example&password=demo-pass%20&_ref=frame",
        "email=nobody%40yejian.example&password=demo-pass&_ref=frame",
        "email=&password=&_ref=frame",
        "email=demo%40yejian.example&_ref=frame",
        "%zz&&&==&password",
    };
    for (const char* form : forms) {
        auto result = https_client()->Post("/auth/", form, "application/x-www-form-urlencoded; charset=utf-8");
        ASSERT_TRUE(result) << form;
        Json answer = Json::parse(result->body, nullptr, false);
        ASSERT_TRUE(answer.is_object()) << form;
        EXPECT_FALSE(answer.contains("user")) << form;
        EXPECT_EQ(cookies_of(*result).find("sid="), std::string::npos) << form;
    }
}

TEST_F(SignIn, EmailIsMatchedWithoutRegardToCase)
{
    auto result = https_client()->Post("/auth/", "email=Demo%40YEJIAN.example&password=demo-pass&_ref=frame",
                                       "application/x-www-form-urlencoded; charset=utf-8");
    ASSERT_TRUE(result);
    EXPECT_EQ(Json::parse(result->body)["user"]["urlname"], "yejian-demo");
}

TEST_F(SignIn, ClientThatExpectsAnotherHostRefusesTheCertificate)
{
    httplib::SSLClient client("other.example", server_->https_port());
    client.set_hostname_addr_map({{"other.example", "127.0.0.1"}});
    client.set_ca_cert_path((certificate_dir() / "ca.pem").string());
    client.enable_server_certificate_verification(true);
    auto result = client.Post("/auth/", "email=demo%40yejian.example&password=demo-pass&_ref=frame",
                              "application/x-www-form-urlencoded");
    EXPECT_FALSE(result);
    for (const Json& line : log_lines())
        EXPECT_NE(line["target"], "/auth/") << "the request must not have reached the server";
}

TEST_F(SignIn, AccountsFileAddsAccountsAndBadFilesAreRefusedClearly)
{
    // SHA-256 of "s3cret & more".
    std::string hash = sha256_hex("s3cret & more");
    Json accounts{{"accounts", {{{"email", "li@example.org"}, {"password_sha256", hash}, {"urlname", "li"},
                                 {"boards", {{{"board_id", 7}, {"title", "林"}}}}}}}};
    write_file(dir_ / "accounts.json", json_text(accounts));
    StandinOptions options;
    options.accounts_file = (dir_ / "accounts.json").string();
    start(options);
    auto result = https_client()->Post("/auth/", "email=li%40example.org&password=s3cret%20%26%20more&_ref=frame",
                                       "application/x-www-form-urlencoded");
    ASSERT_TRUE(result);
    EXPECT_EQ(Json::parse(result->body)["user"]["urlname"], "li");
    EXPECT_NE(sign_in_demo().find("sid="), std::string::npos) << "the demo account stays";

    struct BadFile {
        const char* json;
        const char* says;
    } bad_files[] = {
        {R"({"accounts":[{"email":"a@b","password":"x","urlname":"a"}]})", "password_sha256"},
        {R"({"accounts":[{"email":"demo@yejian.example","password_sha256":"HASH","urlname":"z"}]})", "already taken"},
        {R"({"accounts":[{"email":"a@b","password_sha256":"HASH","urlname":"a b"}]})", "urlname"},
        {R"({"accounts":[{"email":"a@b","password_sha256":"HASH","urlname":"a","boards":[{"board_id":2001,"title":"x"}]}]})",
         "board id 2001"},
        {R"({"accounts":[{"email":"a@b","password_sha256":"HASH","urlname":"a","boards":[{"board_id":0,"title":"x"}]}]})",
         "1 or more"},
        {R"({"accounts": [)", "not valid JSON"},
    };
    for (const BadFile& bad : bad_files) {
        std::string text = bad.json;
        if (auto at = text.find("HASH"); at != std::string::npos)
            text.replace(at, 4, hash);
        write_file(dir_ / "accounts.json", text);
        try {
            start(options);
            ADD_FAILURE() << "accepted " << text;
        } catch (const StartError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.says), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("accounts.json"), std::string::npos) << error.what();
        }
    }
}

} // namespace
} // namespace yejian::standin::testing
