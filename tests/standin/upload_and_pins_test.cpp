// Upload, pin creation and pin edit as the uploader sends them, the session they need, what
// the overview page shows of them, and that all of it survives a restart of the stand-in.

#include "standin_fixture.h"

#include "standin/digest.h"

namespace yejian::standin::testing {
namespace {

namespace fs = std::filesystem;

std::string every_byte_value()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    // Close to the delimiter, but not it: a correct parser keeps it as file content.
    bytes += "\r\n----------------------------7e02275259081e\r\n--\r\n";
    return bytes;
}

std::string sample_image()
{
    return read_file(fs::path(YEJIAN_SOURCE_DIR) / "standin/samples/西湖日落.jpg");
}

class UploadAndPins : public StandinFixture {
protected:
    void SetUp() override
    {
        StandinFixture::SetUp();
        start();
        cookies_ = sign_in_demo();
    }

    std::int64_t upload_id(std::string_view name, std::string_view bytes)
    {
        auto result = upload(cookies_, name, bytes);
        if (!result)
            return 0;
        Json answer = Json::parse(result->body, nullptr, false);
        return answer.contains("id") ? answer["id"].get<std::int64_t>() : 0;
    }

    Json post(const std::string& path, const std::string& form, const std::string& cookies)
    {
        auto result = post_form(path, cookies, form);
        return result ? Json::parse(result->body, nullptr, false) : Json();
    }

    std::string pin_form(std::int64_t board, std::int64_t file_id, const std::string& text = "%E9%A3%8E%E6%99%AF")
    {
        return "board_id=" + std::to_string(board) + "&text=" + text + "&check=true&file_id=" +
               std::to_string(file_id) + "&via=1&share_button=0";
    }

    std::string cookies_;
};

TEST_F(UploadAndPins, UploadStoresTheBytesExactlyUnderTheUtf8Name)
{
    const std::string bytes = every_byte_value();
    auto result = upload(cookies_, "风景 照片", bytes);
    ASSERT_TRUE(result);
    Json answer = Json::parse(result->body);
    ASSERT_TRUE(answer.contains("id"));
    std::int64_t id = answer["id"];
    EXPECT_GE(id, 1);
    EXPECT_EQ(read_file(data_dir_ / "files" / std::to_string(id)), bytes);
    EXPECT_FALSE(set_cookie_headers(*result).empty()) << "an upload renews a cookie";

    Json logged = log_lines().back();
    ASSERT_EQ(logged["files"].size(), 1u);
    EXPECT_EQ(logged["files"][0]["file_name"], "风景 照片");
    EXPECT_EQ(logged["files"][0]["size"], bytes.size());
    EXPECT_EQ(logged["files"][0]["sha256"], sha256_hex(bytes));
    EXPECT_EQ(logged["body_sha256"], sha256_hex(multipart_body("风景 照片", bytes)));
}

TEST_F(UploadAndPins, EmptyNameAndEmptyFileMakeTheSmallestBody)
{
    ASSERT_EQ(multipart_body("", "").size(), 180u);
    std::int64_t id = upload_id("", "");
    ASSERT_GE(id, 1);
    EXPECT_EQ(fs::file_size(data_dir_ / "files" / std::to_string(id)), 0u);
}

TEST_F(UploadAndPins, EverythingButSignInAndPagesNeedsTheSession)
{
    std::int64_t id = upload_id("a", "x");
    ASSERT_GE(id, 1);
    for (const std::string& cookies : {std::string(), std::string("sid=forged"), std::string("uid=100001")}) {
        auto refused = upload(cookies, "b", "y");
        ASSERT_TRUE(refused);
        EXPECT_FALSE(Json::parse(refused->body).contains("id")) << cookies;
        EXPECT_FALSE(post("/pins/", pin_form(2001, id), cookies).contains("pin")) << cookies;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(data_dir_ / "files"), fs::directory_iterator()), 1);

    std::string pin_id = json_text(post("/pins/", pin_form(2001, id), cookies_)["pin"]["pin_id"]);
    EXPECT_FALSE(post("/pins/" + pin_id + "/", "board_id=2001&text=x&link=y&", "").contains("pin"));
}

TEST_F(UploadAndPins, PinNeedsABoardOfTheAccountAndAnUploadedFile)
{
    std::int64_t id = upload_id("风景", sample_image());
    ASSERT_GE(id, 1);
    const std::string refused[] = {
        pin_form(-1294967295, id), // 3000000001 cut to 32 bits
        pin_form(-1, id),
        pin_form(9999, id),
        pin_form(2001, id + 1000),
        "board_id=2001x&text=a&check=true&file_id=" + std::to_string(id) + "&via=1&share_button=0",
        "board_id=2001&text=a",
        "",
    };
    for (const std::string& form : refused)
        EXPECT_FALSE(post("/pins/", form, cookies_).contains("pin")) << form;

    Json made = post("/pins/", pin_form(3000000001, id), cookies_);
    ASSERT_TRUE(made["pin"]["pin_id"].is_number_integer());
    EXPECT_EQ(made["pin"]["board_id"], 3000000001);
    EXPECT_EQ(made["pin"]["raw_text"], "风景");
}

TEST_F(UploadAndPins, EditRecordsTheLinkAndTheOverviewShowsItEscaped)
{
    const std::string image = sample_image();
    std::int64_t id = upload_id("x", image);
    std::string pin_id = json_text(post("/pins/", pin_form(2002, id, "%3Cb%3E%E7%8C%AB%26%E7%8B%97%3C%2Fb%3E"), cookies_)["pin"]["pin_id"]);
    Json edited = post("/pins/" + pin_id + "/",
                       "board_id=2002&text=%3Cb%3E%E7%8C%AB%26%E7%8B%97%3C%2Fb%3E&link=https%3A%2F%2Fyejian.example%2Fuploader%2F&",
                       cookies_);
    EXPECT_EQ(edited["pin"]["link"], "https://yejian.example/uploader/");
    EXPECT_EQ(json_text(edited["pin"]["pin_id"]), pin_id);
    EXPECT_FALSE(post("/pins/987654321/", "board_id=2002&text=a&link=b&", cookies_).contains("pin"));

    std::int64_t other = upload_id("y", image);
    std::string other_pin = json_text(post("/pins/", pin_form(2002, other), cookies_)["pin"]["pin_id"]);
    post("/pins/" + other_pin + "/", "board_id=2002&text=a&link=javascript%3Aalert(1)&", cookies_);

    auto page = http_client()->Get("/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("&lt;b&gt;猫&amp;狗&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(page->body.find("<b>猫"), std::string::npos);
    EXPECT_NE(page->body.find("<a href=\"https://yejian.example/uploader/\">"), std::string::npos);
    EXPECT_EQ(page->body.find("href=\"javascript"), std::string::npos);
    EXPECT_NE(page->body.find("<img src=\"/files/" + std::to_string(id) + "\""), std::string::npos);

    auto thumbnail = http_client()->Get("/files/" + std::to_string(id));
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->body, image);
    EXPECT_EQ(thumbnail->get_header_value("Content-Type"), "image/jpeg");
}

TEST_F(UploadAndPins, SessionFilesAndPinsSurviveARestart)
{
    std::int64_t first = upload_id("一", "1");
    std::string pin_id = json_text(post("/pins/", pin_form(2001, first), cookies_)["pin"]["pin_id"]);
    start(); // the same data folder

    std::int64_t second = upload_id("二", "2");
    EXPECT_GT(second, first) << "ids are never given twice";
    EXPECT_TRUE(post("/pins/" + pin_id + "/", "board_id=2001&text=a&link=b&", cookies_).contains("pin"));
    auto page = http_client()->Get("/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("pin " + pin_id + ","), std::string::npos);
}

TEST_F(UploadAndPins, FirstIdsComeFromTheFlagsAndMayExceed32Bits)
{
    StandinOptions options;
    options.first_file_id = 4294967296 + 5;
    options.first_pin_id = 3000000000;
    fs::remove_all(data_dir_);
    start(options);
    cookies_ = sign_in_demo();
    std::int64_t id = upload_id("a", "b");
    EXPECT_EQ(id, 4294967301);
    EXPECT_EQ(post("/pins/", pin_form(2001, id), cookies_)["pin"]["pin_id"], 3000000000);
}

} // namespace
} // namespace yejian::standin::testing
