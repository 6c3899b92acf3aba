#include "app/pin_description.h"

#include <gtest/gtest.h>

using yejian::app::pin_description;

struct DescriptionCase {
    const char* path;
    const char* expected;
};

class PinDescription : public testing::TestWithParam<DescriptionCase> {};

TEST_P(PinDescription, NameWithoutFolderMarkAndLastExtension)
{
    EXPECT_EQ(pin_description(GetParam().path), GetParam().expected) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Cases, PinDescription, testing::Values(
    DescriptionCase{"/home/u/图片/风景.jpg", "风景"},
    DescriptionCase{"C:\\图片\\风景.jpg", "风景"},                 // Windows-style path
    DescriptionCase{"/图片/原创风景.jpg", "风景"},
    DescriptionCase{"/图片/风景原创原创.png", "风景"},              // marks in a row all go
    DescriptionCase{"/a/原创-夕阳.原创.png", "-夕阳."},             // extension cut after removal
    DescriptionCase{"/pics/archive.tar.gz", "archive.tar"},
    DescriptionCase{"/pics/README", ""},
    DescriptionCase{"/pics/.jpg", ""},
    DescriptionCase{"/pics/原创.jpg", ""},
    DescriptionCase{"/pics/原 创.jpg", "原 创"},
    DescriptionCase{"/图.片/名字", ""},                            // a dot in a folder is not an extension
    DescriptionCase{"", ""},
    DescriptionCase{"/pics/", ""},
    DescriptionCase{"/pics/原原创创.jpg", "原创"}));               // removal does not rescan its own result

TEST(PinDescriptionBytes, InvalidUtf8SurvivesAndMarkNeverMatchesInsideACharacter)
{
    // A stray continuation byte before the mark: the mark still starts on its own lead byte.
    EXPECT_EQ(pin_description(std::string("/p/\x80原创x.jpg")), std::string("\x80x"));
    EXPECT_EQ(pin_description(std::string("/p/\xff\xfe.jpg")), std::string("\xff\xfe"));
}
