// Each fault switch does what it says, for the requests it names and no others.

#include "standin_fixture.h"

namespace yejian::standin::testing {
namespace {

namespace fs = std::filesystem;

class FaultSwitchesTest : public StandinFixture {
protected:
    void SetUp() override
    {
        StandinFixture::SetUp();
        start();
        cookies_ = sign_in_demo();
    }

    Json upload_answer(std::string_view name, std::string_view bytes = "image")
    {
        auto result = upload(cookies_, name, bytes);
        return result ? Json::parse(result->body, nullptr, false) : Json();
    }

    Json make_pin(const Json& upload)
    {
        auto result = post_form("/pins/", cookies_,
                                "board_id=2001&text=t&check=true&file_id=" + json_text(upload["id"]) +
                                    "&via=1&share_button=0");
        return result ? Json::parse(result->body, nullptr, false) : Json();
    }

    std::size_t stored_files() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(data_dir_ / "files"), fs::directory_iterator()));
    }

    std::string cookies_;
};

TEST_F(FaultSwitchesTest, MissingIdAndPinIdHitOnlyTheChosenFileNames)
{
    write_faults(Json::array({{{"fault", "no_id"}, {"file_name", "坏图"}},
                              {{"fault", "no_pin_id"}, {"file_name", "半张"}}}));
    EXPECT_FALSE(upload_answer("坏图").contains("id"));
    EXPECT_EQ(stored_files(), 0u);
    EXPECT_EQ(log_lines().back()["fault"], "no_id");

    Json good = upload_answer("好图");
    Json half = upload_answer("半张");
    ASSERT_TRUE(good.contains("id"));
    ASSERT_TRUE(half.contains("id"));
    EXPECT_TRUE(make_pin(good)["pin"].contains("pin_id"));
    EXPECT_FALSE(make_pin(half).contains("pin"));
}

TEST_F(FaultSwitchesTest, ErrorAnswersReplaceTheWorkUntilSpent)
{
    struct Case {
        const char* fault;
        int status;
    } cases[] = {{"error_500", 500}, {"not_json", 200}};
    for (const Case& c : cases) {
        write_faults(Json::array({{{"fault", c.fault}, {"path", "/upload/"}, {"times", 1}}}));
        auto result = upload(cookies_, "x", "y");
        ASSERT_TRUE(result) << c.fault;
        EXPECT_EQ(result->status, c.status) << c.fault;
        EXPECT_NE(result->body.find("<html"), std::string::npos) << c.fault;
        EXPECT_TRUE(Json::parse(result->body, nullptr, false).is_discarded()) << c.fault;
        EXPECT_EQ(stored_files(), 0u) << c.fault;
        EXPECT_TRUE(upload_answer("x").contains("id")) << c.fault << ": spent after one time";
        fs::remove_all(data_dir_ / "files");
        fs::create_directories(data_dir_ / "files");
    }
}

TEST_F(FaultSwitchesTest, DropClosesTheConnectionWithoutAnAnswer)
{
    Json upload = upload_answer("a");
    write_faults(Json::array({{{"fault", "drop"}, {"path", "/pins/*"}}}));
    auto result = post_form("/pins/", cookies_, "board_id=2001&text=t&check=true&file_id=" + json_text(upload["id"]));
    EXPECT_FALSE(result);
    Json logged = log_lines().back();
    EXPECT_EQ(logged["target"], "/pins/");
    EXPECT_TRUE(logged["dropped"].get<bool>());
    EXPECT_EQ(logged["status"], 0);
    EXPECT_TRUE(upload_answer("b").contains("id")) << "other paths are untouched";
}

TEST_F(FaultSwitchesTest, DropMidRequestCutsAnUploadShortAndStoresNothing)
{
    write_faults(Json::array({{{"fault", "drop_mid_request"}, {"path", "/upload/"}}}));
    auto result = upload(cookies_, "big", std::string(8 << 20, 'z'));
    EXPECT_FALSE(result);
    EXPECT_EQ(stored_files(), 0u);
    EXPECT_TRUE(log_lines().back()["dropped"].get<bool>());
}

TEST_F(FaultSwitchesTest, DelayHoldsTheAnswerBackLongerThanAPatientClientWaits)
{
    write_faults(Json::array({{{"fault", "delay"}, {"path", "/auth/"}, {"ms", 60000}, {"times", 1}}}));
    auto client = https_client();
    client->set_read_timeout(1, 0);
    auto result = client->Post("/auth/", "email=demo%40yejian.example&password=demo-pass", "application/x-www-form-urlencoded");
    EXPECT_FALSE(result);
    EXPECT_NE(sign_in_demo().find("sid="), std::string::npos) << "the delay is spent";
    // Stopping the stand-in ends the held request at once (TearDown would hang otherwise).
}

TEST_F(FaultSwitchesTest, HugeAnswerIsTheNormalAnswerPaddedToTheSize)
{
    write_faults(Json::array({{{"fault", "huge"}, {"path", "/upload/"}, {"bytes", 5000000}}}));
    auto result = upload(cookies_, "x", "y");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body.size(), 5000000u);
    EXPECT_TRUE(Json::parse(result->body).contains("id"));
}

TEST_F(FaultSwitchesTest, RulesComeFromFlagsAndFromAFileReadAgainWhenItChanges)
{
    StandinOptions options;
    options.fault_rules.push_back(parse_fault_rule(Json{{"fault", "error_500"}, {"path", "/nobody/"}}));
    start(options);
    EXPECT_EQ(http_client()->Get("/nobody/")->status, 500) << "flag rule";
    EXPECT_EQ(http_client()->Get("/")->status, 200);

    write_faults(Json::array({{{"fault", "error_500"}, {"path", "/"}}}));
    EXPECT_EQ(http_client()->Get("/")->status, 500) << "file rule picked up";
    write_file(faults_file_, "{\"faults\": [ {\"fault\": ");
    EXPECT_EQ(http_client()->Get("/")->status, 500) << "a broken file keeps the rules before it";
    fs::remove(faults_file_);
    EXPECT_EQ(http_client()->Get("/")->status, 200) << "a removed file turns its rules off";
}

TEST(FaultRule, BadRulesAreRefusedWithTheReason)
{
    struct Case {
        const char* rule;
        const char* says;
    } cases[] = {
        {R"({"fault":"explode"})", "unknown fault"},
        {R"({"path":"/"})", "needs \"fault\""},
        {R"({"fault":"delay"})", "needs \"ms\""},
        {R"({"fault":"huge"})", "needs \"bytes\""},
        {R"({"fault":"drop_mid_request","file_name":"a"})", "file_name"},
        {R"({"fault":"drop","times":0})", "\"times\""},
        {R"({"fault":"delay","ms":-5})", "\"ms\""},
        {R"({"fault":"drop","colour":"red"})", "\"colour\""},
        {R"([1,2])", "needs \"fault\""},
    };
    for (const Case& c : cases) {
        try {
            parse_fault_rule(Json::parse(c.rule));
            ADD_FAILURE() << "accepted " << c.rule;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
}

} // namespace
} // namespace yejian::standin::testing
