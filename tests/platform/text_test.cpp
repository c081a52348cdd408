// ASCII case folding and the UTF-16 conversions and counts.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(platform::ToLowerAscii("0X040A Ä"), "0x040a Ä");
  EXPECT_TRUE(platform::EqualsNoCaseAscii("PageData_Alpha", "pagedata_ALPHA"));
  EXPECT_FALSE(platform::EqualsNoCaseAscii("Ä", "ä"));
  EXPECT_LT(platform::CompareNoCaseAscii("a", "B"), 0);
  EXPECT_LT(platform::CompareNoCaseAscii("Z", "_"), 0);
  EXPECT_LT(platform::CompareNoCaseAscii("ab", "abc"), 0);
  EXPECT_GT(platform::CompareNoCaseAscii("\xC3\x84", "z"), 0);
}

TEST(Utf16LeToUtf8, DecodesPairsAndReplacesLoneSurrogates) {
  const std::vector<std::uint8_t> pair = {0x3D, 0xD8, 0x00, 0xDE, 'a', 0};
  EXPECT_EQ(platform::Utf16LeToUtf8(pair),
            "\xF0\x9F\x98\x80"
            "a");
  const std::vector<std::uint8_t> lone = {0x00, 0xDC, 0x3D, 0xD8, 0x41};  // odd byte dropped
  EXPECT_EQ(platform::Utf16LeToUtf8(lone), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(CutToUtf16Units, CountsUnitsAndKeepsCharactersWhole) {
  EXPECT_EQ(platform::CutToUtf16Units("abc", 2), "ab");
  EXPECT_EQ(platform::CutToUtf16Units("aé語", 3), "aé語");
  EXPECT_EQ(platform::CutToUtf16Units("a\xF0\x9F\x98\x80", 2), "a");
  EXPECT_EQ(platform::CutToUtf16Units("\xE8\xAA", 5), "\xE8\xAA");  // malformed: one unit a byte
  EXPECT_EQ(platform::CutToUtf16Units("", 63), "");
}

}  // namespace
