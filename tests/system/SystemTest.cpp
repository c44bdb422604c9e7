#include "platform/system/Diagnostics.h"
#include "platform/system/Files.h"
#include "platform/system/GlobalMemory.h"
#include "platform/system/Text1251.h"

#include <gtest/gtest.h>

#include <cstdio>
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

TEST(Text1251, LowerCasesLatinAndCyrillicOnly)
{
    EXPECT_EQ(sys::LowerCase1251("TRUE False 09_-"), "true false 09_-");
    // "ПРИВЕТ Ёж" -> "привет ёж"
    EXPECT_EQ(sys::LowerCase1251("\xCF\xD0\xC8\xC2\xC5\xD2 \xA8\xE6"), "\xEF\xF0\xE8\xE2\xE5\xF2 \xB8\xE6");
    EXPECT_EQ(sys::LowerChar1251(0x80), 0x90);
    EXPECT_EQ(sys::LowerChar1251(0xA5), 0xB4);
    EXPECT_EQ(sys::LowerChar1251(0xB2), 0xB3);
    EXPECT_EQ(sys::LowerChar1251(0xBD), 0xBE);
    EXPECT_EQ(sys::LowerChar1251(0xD7), 0xF7); // no gap in the Cyrillic block
    EXPECT_EQ(sys::LowerChar1251(0xB5), 0xB5); // micro sign has no case
}

TEST(Text1251, UpperAndLowerAreInverseOnEveryLetter)
{
    int letters = 0;
    for (int c = 0; c < 256; ++c) {
        auto lower = sys::LowerChar1251(static_cast<unsigned char>(c));
        if (lower != c) {
            ++letters;
            EXPECT_EQ(sys::UpperChar1251(lower), c) << c;
        }
    }
    EXPECT_EQ(letters, 26 + 32 + 15);
}

TEST(Text1251, AsciiComparisonIgnoresOnlyAsciiCase)
{
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
