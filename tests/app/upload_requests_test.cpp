#include "app/upload_requests.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <limits>

using namespace yejian::app;

namespace {

const std::string delimiter = "-----------------------------7e02275259081e";

std::string expected_body(const std::string& name, const std::string& file)
{
    return delimiter + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + name +
           "\"\r\nContent-Type: image/jpeg\r\n\r\n" + file + "\r\n" + delimiter + "--\r\n";
}

} // namespace

TEST(MultipartBody, FrameIs180BytesAroundNameAndFile)
{
    EXPECT_EQ(multipart_body("", "").size(), 180u);
    const std::string file("\x00\xff\r\n--x", 7);
    EXPECT_EQ(multipart_body("风景", file), expected_body("风景", file));
    EXPECT_EQ(multipart_body("风景", file).size(), 180u + 6 + 7);
}

TEST(MultipartBody, QuotesAndLineBreaksInTheNameCannotBreakThePart)
{
    EXPECT_EQ(multipart_body("a\"b\r\nc", "x"), expected_body("a%22b%0D%0Ac", "x"));
}

TEST(MultipartBody, FromFileHoldsTheFileBytesOrNoneWhenUnreadable)
{
    const auto dir = std::filesystem::temp_directory_path() / "yejian_multipart_test";
    std::filesystem::create_directories(dir);
    const auto file = dir / "图.jpg";
    const std::string bytes("\x89PNG\r\n\x1a\n\x00\x01", 10);
    std::ofstream(file, std::ios::binary) << bytes;

    const std::filesystem::path empty = dir / "empty.jpg";
    std::ofstream(empty, std::ios::binary).flush();
    const std::filesystem::path pipe = dir / "pipe.jpg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);

    EXPECT_EQ(multipart_body_from_file("图", file), expected_body("图", bytes));
    EXPECT_EQ(multipart_body_from_file("图", empty), expected_body("图", ""));
    // A body that would not fit in the memory the system has left is refused; one that fits
    // exactly is not.
    const std::uint64_t body_size = expected_body("图", bytes).size();
    EXPECT_EQ(multipart_body_from_file("图", file, body_size), expected_body("图", bytes));
    EXPECT_EQ(multipart_body_from_file("图", file, body_size - 1), std::nullopt);
    EXPECT_EQ(multipart_body_from_file("图", file, 0), std::nullopt);
    // What cannot be read whole gives no body at all; a named pipe must not wait for a writer.
    for (const std::filesystem::path& unreadable : {dir / "gone.jpg", std::filesystem::path(), dir, pipe,
                                                    std::filesystem::path("/dev/zero")})
        EXPECT_EQ(multipart_body_from_file("图", unreadable), std::nullopt) << unreadable;
    std::filesystem::remove_all(dir);
}

TEST(RequestTexts, HeaderBlocksAndFormsAreExact)
{
    EXPECT_EQ(upload_header_block(3000000001),
              "Accept: application/json\r\nX-Requested-With: XMLHttpRequest\r\n"
              "Content-Type: multipart/form-data; boundary=---------------------------7e02275259081e\r\n"
              "Referer: http://yejian.example/boards/3000000001/");
    EXPECT_EQ(edit_header_block("98765"),
              "X-Request: JSON\r\nX-Requested-With: XMLHttpRequest\r\nAccept: application/json\r\n"
              "Content-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"
              "Referer: http://yejian.example/pins/98765/edit/");
    EXPECT_EQ(pin_form(-1, "风景", 123456),
              "board_id=-1&text=%E9%A3%8E%E6%99%AF&check=true&file_id=123456&via=1&share_button=0");
    EXPECT_EQ(pin_form(7, "a b_c", 4294967296), "board_id=7&text=a%20b%5Fc&check=true&file_id=4294967296&via=1&share_button=0");
    EXPECT_EQ(edit_form(7, "风景", "https://yejian.example/uploader/"),
              "board_id=7&text=%E9%A3%8E%E6%99%AF&link=https%3A%2F%2Fyejian.example%2Fuploader%2F&");
}

TEST(RequestTexts, PinIdMustBeAPlainToken)
{
    for (const char* good : {"98765", "a-B_9"})
        EXPECT_TRUE(is_plain_token(good)) << good;
    for (const char* bad : {"", "1/2", "9\r\nX-Evil: 1", "1 2", "%41", "é"})
        EXPECT_FALSE(is_plain_token(bad)) << bad;
}

TEST(RequestTexts, FileIdIsTruncatedTowardZeroIn64Bits)
{
    EXPECT_EQ(whole_number_toward_zero(12.9), 12);
    EXPECT_EQ(whole_number_toward_zero(-7.5), -7);
    EXPECT_EQ(whole_number_toward_zero(3000000001.0), 3000000001);
    EXPECT_EQ(whole_number_toward_zero(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(whole_number_toward_zero(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(whole_number_toward_zero(-1e300), std::numeric_limits<std::int64_t>::min());
}

TEST(RequestTexts, PauseBoxTextAsInteger)
{
    const std::pair<const char*, int> cases[] = {
        {"20", 20}, {"", 0}, {"abc", 0}, {"  7s", 7}, {"+5", 5}, {"-3", -3},
        {"２０", 20},            // full-width digits
        {"\xE3\x80\x80\xEF\xBC\x8B\xEF\xBC\x93", 3}, // ideographic space, full-width plus and 3
        {"99999999999", std::numeric_limits<std::int32_t>::max()},
        {"-99999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(integer_value_of_text(text), value) << text;
}
