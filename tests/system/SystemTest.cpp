#include "platform/system/Diagnostics.h"
#include "platform/system/Files.h"
#include "platform/system/GlobalMemory.h"
#include "platform/system/Text1251.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <fstream>
#include <string>

namespace {

TEST(GlobalMemory, BlocksAreTrackedAndReleasedOnce)
{
    const std::size_t before = sys::GlobalLiveBlocks();
    char* block = sys::GlobalAllocText("abc");
    EXPECT_STREQ(block, "abc");
    EXPECT_TRUE(sys::GlobalIsBlock(block));
    EXPECT_EQ(sys::GlobalLiveBlocks(), before + 1);
    EXPECT_TRUE(sys::GlobalFree(block));
    EXPECT_FALSE(sys::GlobalFree(block)); // a second release is refused, not a double free
    EXPECT_TRUE(sys::GlobalFree(nullptr));
    char local[4] = "xyz";
    EXPECT_FALSE(sys::GlobalFree(local));
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
    char* empty = sys::GlobalAlloc(0);
    EXPECT_EQ(empty[0], '\0');
    sys::GlobalFree(empty);
}

TEST(Text1251, CaseChangesLatinAndCyrillicOnlyUpperUndoesLowerAndNamesCompareIgnoringAsciiCase)
{
    EXPECT_EQ(sys::LowerCase1251("TRUE False 09_-"), "true false 09_-");
    // "ПРИВЕТ Ёж" -> "привет ёж"
    EXPECT_EQ(sys::LowerCase1251("\xCF\xD0\xC8\xC2\xC5\xD2 \xA8\xE6"), "\xEF\xF0\xE8\xE2\xE5\xF2 \xB8\xE6");
    // No gap in the Cyrillic block at 0xD7; the micro sign 0xB5 has no case.
    for (auto [upper, lower] : {std::pair{0x80, 0x90}, {0xA5, 0xB4}, {0xB2, 0xB3}, {0xBD, 0xBE}, {0xD7, 0xF7}, {0xB5, 0xB5}})
        EXPECT_EQ(sys::LowerChar1251(static_cast<unsigned char>(upper)), lower) << upper;
    int letters = 0;
    for (int c = 0; c < 256; ++c) {
        auto lower = sys::LowerChar1251(static_cast<unsigned char>(c));
        if (lower != c) {
            ++letters;
            EXPECT_EQ(sys::UpperChar1251(lower), c) << c;
        }
    }
    EXPECT_EQ(letters, 26 + 32 + 15);

    EXPECT_TRUE(sys::EqualsIgnoreAsciiCase("Rect1", "rECT1"));
    EXPECT_FALSE(sys::EqualsIgnoreAsciiCase("Rect1", "Rect1 "));
    EXPECT_FALSE(sys::EqualsIgnoreAsciiCase("\xC0", "\xE0"));
}

TEST(Files, ExistenceAndDeletionOfFilesNotDirectories)
{
    std::string dir = testing::TempDir();
    std::string path = dir + "/zenvas-files-test.txt";
    std::ofstream(path) << "x";
    EXPECT_TRUE(sys::FileExists(path));
    EXPECT_FALSE(sys::FileExists(dir));
    EXPECT_TRUE(sys::DirectoryExists(dir));
    EXPECT_FALSE(sys::DeleteFile(dir));
    EXPECT_TRUE(sys::DeleteFile(path));
    EXPECT_FALSE(sys::FileExists(path));
    EXPECT_FALSE(sys::DeleteFile(path));
    EXPECT_FALSE(sys::FileExists(""));
}

#ifndef _WIN32
TEST(Files, HostTextNamesAreUtf8OnTheDisk)
{
    // Every byte but 0x98 has a character: names of them all go to the disk
    // and come back unchanged.
    std::string every;
    for (int c = 1; c < 256; ++c)
        if (c != 0x98 && c != '/')
            every += char(c);
    const auto onDisk = sys::SystemFileName(every);
    ASSERT_TRUE(onDisk);
    EXPECT_TRUE(sys::IsUtf8(*onDisk));
    EXPECT_EQ(sys::FileNameFromSystem(*onDisk), every);

    const struct {
        std::string host;
        std::optional<std::string> disk;
    } names[] = {
        {"plain/name.bmp", "plain/name.bmp"},
        {"\xEF\xE0\xEF\xEA\xE0/\xF1\xED\xE8\xEC\xEE\xEA.png", "папка/снимок.png"},
        {"a\x98" "b.bmp", std::nullopt},
    };
    for (const auto& name : names)
        EXPECT_EQ(sys::SystemFileName(name.host), name.disk) << name.host;
    EXPECT_FALSE(sys::FileNameFromSystem("\xC3\x9C.png")) << "U+00DC is not in code page 1251";

    sys::TakeReasons();
    errno = 0;
    EXPECT_EQ(sys::OpenFile("a\x98" "b.bmp", O_RDONLY), -1);
    EXPECT_EQ(errno, EILSEQ);
    EXPECT_EQ(sys::TakeReasons().size(), 1u);

    // Made and deleted by its host name, seen on the disk by its UTF-8 one.
    const std::string dir = testing::TempDir();
    std::FILE* made = sys::OpenFileStream(dir + "/\xF4\xEE\xF2\xEE.bmp", "wb");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    EXPECT_TRUE(std::ifstream(dir + "/фото.bmp").good());
    EXPECT_TRUE(sys::DeleteFile(dir + "/\xF4\xEE\xF2\xEE.bmp"));
    EXPECT_FALSE(std::ifstream(dir + "/фото.bmp").good());
}
#endif

} // namespace

TEST(Diagnostics, ReasonsComeOutOnceInOrderAndAreBounded)
{
    sys::TakeReasons();
    sys::RecordReason("first");
    sys::RecordReason("second");
    EXPECT_EQ(sys::TakeReasons(), (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(sys::TakeReasons().empty());
    for (std::size_t i = 0; i < sys::kMaxReasons + 10; ++i)
        sys::RecordReason(std::to_string(i));
    const std::vector<std::string> kept = sys::TakeReasons();
    ASSERT_EQ(kept.size(), sys::kMaxReasons);
    EXPECT_EQ(kept.back(), std::to_string(sys::kMaxReasons + 9));
}

TEST(Text1251, CharactersOfEveryByteRoundTripAndOthersHaveNone)
{
    const std::pair<unsigned char, char32_t> table[] = {
        {'A', U'A'},      {0x80, U'\u0402'}, {0x88, U'\u20AC'}, {0x98, U'\uFFFD'}, {0xA0, U'\u00A0'},
        {0xA8, U'\u0401'}, {0xB9, U'\u2116'}, {0xBF, U'\u0457'}, {0xC0, U'\u0410'}, {0xFF, U'\u044F'},
    };
    for (auto [byte, c] : table)
        EXPECT_EQ(sys::CharFrom1251(byte), c) << int(byte);
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != 0x98) {
            EXPECT_EQ(sys::CharTo1251(sys::CharFrom1251(static_cast<unsigned char>(byte))), byte) << byte;
        }
    }
    for (char32_t c : {U'\u00DC', U'\u00E9', U'\u0098', U'\u4E2D', U'\uFFFD', U'\U0001F600'})
        EXPECT_FALSE(sys::CharTo1251(c)) << static_cast<unsigned>(c);

    EXPECT_EQ(sys::Utf8From1251("\xCF\xF0\xE8\xE2\xE5\xF2 \xB9\x98" "5"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x84\x96\xEF\xBF\xBD" "5");
}

TEST(Text1251, OnlyWellFormedUtf8IsUtf8)
{
    const std::pair<const char*, bool> table[] = {
        {"", true},
        {"plain", true},
        {"\xC3\x9C \xE2\x84\x96 \xF0\x9F\x98\x80", true},
        {"\xCF\xF0\xE8", false},       // 1251 text
        {"\xC0\x80", false},            // overlong
        {"\xE0\x9F\xBF", false},        // overlong
        {"\xED\xA0\x80", false},        // surrogate
        {"\xF4\x90\x80\x80", false},    // above U+10FFFF
        {"a\xE2\x84", false},           // cut short
        {"\x80", false},                // a lone continuation byte
    };
    for (auto [text, utf8] : table)
        EXPECT_EQ(sys::IsUtf8(text), utf8) << text;
}
