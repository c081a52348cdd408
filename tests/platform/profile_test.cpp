// The private-profile reader: defaults, name matching, white space and quotes, encodings,
// line ends, the 63-unit cut, duplicates and damaged files.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/platform/temp_folder.h"

namespace {

using platform::GetPrivateProfileInt;
using platform::GetPrivateProfileKeyNames;
using platform::GetPrivateProfileSectionNames;
using platform::GetPrivateProfileString;
using platform::GetPrivateProfileValue;

class Profile : public ::testing::Test {
 protected:
  std::string Ini(std::string_view content) {
    // A new name per write: the reader keeps a parsed file until it changes on disk.
    return folder_.Write("Setuvia" + std::to_string(++count_) + ".ini", content);
  }
  TempFolder folder_;
  int count_ = 0;
};

TEST_F(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  const std::string ini = Ini("[ModelSelectDialog]\nDisplay=1\n");
  EXPECT_EQ(GetPrivateProfileInt("ModelSelectDialog", "Display", 7, folder_.Path() + "none.ini"),
            7);
  EXPECT_EQ(GetPrivateProfileInt("LanguageSelectDialog", "Display", 0, ini), 0);
  EXPECT_EQ(GetPrivateProfileInt("ModelSelectDialog", "Model1", -3, ini), -3);
  EXPECT_EQ(GetPrivateProfileString("Product Name", "Name", "VORN", ini), "VORN");
  EXPECT_EQ(GetPrivateProfileString("Product Name", "Name", "VORN", ""), "VORN");
  EXPECT_EQ(GetPrivateProfileInt("ModelSelectDialog", "Display", 0, folder_.Path()), 0);
}

TEST_F(Profile, MatchesSectionAndKeyNamesIgnoringAsciiCaseAndTheFileName) {
  const std::string ini =
      Ini("[modelselectdialog]\nDISPLAY=2\n[Product Name]\nname=Example Product\n");
  EXPECT_EQ(GetPrivateProfileInt("ModelSelectDialog", "Display", 0, ini), 2);
  EXPECT_EQ(GetPrivateProfileString("PRODUCT NAME", "Name", "VORN", ini), "Example Product");
  folder_.Write("sub/SETUVIA.INI", "[A]\nk=v\n");
  EXPECT_EQ(GetPrivateProfileString("A", "k", "", folder_.Path() + "sub/Setuvia.ini"), "v");
}

TEST_F(Profile, TrimsWhiteSpaceAndOnePairOfQuotes) {
  const std::string ini =
      Ini("  [ Product Name ]  \n"
          "\t Name \t=  \"  Quoted Product  \" \n"
          "[Q]\nsingle='x'\nhalf=\"x\ninner=a \"b\" c\ndouble=\"\"y\"\"\nempty=\n");
  EXPECT_EQ(GetPrivateProfileString("Product Name", "Name", "", ini), "  Quoted Product  ");
  EXPECT_EQ(GetPrivateProfileString("Q", "single", "", ini), "x");
  EXPECT_EQ(GetPrivateProfileString("Q", "half", "", ini), "\"x");
  EXPECT_EQ(GetPrivateProfileString("Q", "inner", "", ini), "a \"b\" c");
  EXPECT_EQ(GetPrivateProfileString("Q", "double", "", ini), "\"y\"");
  EXPECT_EQ(GetPrivateProfileString("Q", "empty", "default", ini), "");
}

TEST_F(Profile, ReadsIntegersAsSignAndDecimalDigits) {
  const std::string ini = Ini(
      "[S]\nzero=0\ntwo=2\nneg=-5\nplus=+4\nlead=12abc\ntext=yes\nempty=\nhex=0x10\n"
      "comment=1   ; on\nhuge=99999999999999999999\nhugeneg=-99999999999999999999\nspaced=  3  \n");
  EXPECT_EQ(GetPrivateProfileInt("S", "zero", 9, ini), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "two", 0, ini), 2);
  EXPECT_EQ(GetPrivateProfileInt("S", "neg", 0, ini), -5);
  EXPECT_EQ(GetPrivateProfileInt("S", "plus", 0, ini), 4);
  EXPECT_EQ(GetPrivateProfileInt("S", "lead", 0, ini), 12);
  EXPECT_EQ(GetPrivateProfileInt("S", "text", 9, ini), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "empty", 9, ini), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "hex", 9, ini), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "comment", 0, ini), 1);
  EXPECT_EQ(GetPrivateProfileInt("S", "spaced", 0, ini), 3);
  // Saturated, never wrapped round to 0: a switch written as a huge number stays on.
  EXPECT_EQ(GetPrivateProfileInt("S", "huge", 0, ini), INT_MAX);
  EXPECT_EQ(GetPrivateProfileInt("S", "hugeneg", 0, ini), INT_MIN);
}

TEST_F(Profile, FirstSectionAndFirstKeyWin) {
  const std::string ini = Ini("[A]\nk=first\nk=second\n[B]\nk=b\n[a]\nk=third\nonly=later\n");
  EXPECT_EQ(GetPrivateProfileString("A", "k", "", ini), "first");
  EXPECT_EQ(GetPrivateProfileString("B", "k", "", ini), "b");
  EXPECT_EQ(GetPrivateProfileString("A", "only", "none", ini), "none");
  // What a checker needs to tell which entries the reads above never reach.
  EXPECT_EQ(GetPrivateProfileSectionNames(ini), (std::vector<std::string>{"A", "B", "a"}));
  EXPECT_EQ(GetPrivateProfileKeyNames("a", ini), (std::vector<std::string>{"k", "k"}));
  EXPECT_EQ(GetPrivateProfileValue("A", "k", ini), "first");
  EXPECT_FALSE(GetPrivateProfileValue("A", "only", ini));
}

TEST_F(Profile, AcceptsCrlfCrAndBomEncodings) {
  EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, Ini("[S]\r\nk=3\r\n")), 3);
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini("[S]\r\nk=v\r\n")), "v");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini("[S]\rk=v\r")), "v");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini("\xEF\xBB\xBF[S]\nk=Größe\n")), "Größe");
  // UTF-16LE with BOM: "[S]\r\nk=日本\r\n".
  const char utf16_bytes[] = "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE5\x65\x2C\x67\r\0\n\0";
  const std::string utf16(utf16_bytes, sizeof utf16_bytes - 1);
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini(utf16)), "日本");
}

TEST_F(Profile, CutsTextTo63Utf16UnitsNeverInsideACharacter) {
  const std::string ascii(70, 'x');
  std::string japanese;
  for (int i = 0; i < 70; ++i) japanese += "語";
  std::string astral;  // U+1F600 takes two units: 31 fit, the 32nd would need units 63 and 64
  for (int i = 0; i < 40; ++i) astral += "\xF0\x9F\x98\x80";
  const std::string ini =
      Ini("[S]\nascii=" + ascii + "\njapanese=" + japanese + "\nastral=" + astral + "\n");
  EXPECT_EQ(GetPrivateProfileString("S", "ascii", "", ini), std::string(63, 'x'));
  EXPECT_EQ(GetPrivateProfileString("S", "japanese", "", ini), japanese.substr(0, 63 * 3));
  EXPECT_EQ(GetPrivateProfileString("S", "astral", "", ini), astral.substr(0, 31 * 4));
  EXPECT_EQ(GetPrivateProfileString("S", "none", ascii, ini), std::string(63, 'x'));
}

TEST_F(Profile, SkipsLinesThatCarryNothing) {
  const std::string ini = Ini("k=before\n[Broken\nk=x\n[S]\nno equals sign\n=nameless\nk=v\n");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", ini), "v");
  EXPECT_EQ(GetPrivateProfileString("Broken", "k", "none", ini), "none");
}

TEST_F(Profile, EmptyAndBinaryFilesGiveDefaults) {
  EXPECT_EQ(GetPrivateProfileInt("S", "k", 5, Ini("")), 5);
  std::mt19937 random(7);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  EXPECT_EQ(GetPrivateProfileString("ModelSelectDialog", "Model1", "", Ini(noise)), "");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini(std::string("[S]\nk=ab\0cd\n", 12))), "ab");
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", Ini(std::string("\xFF\xFE[\0S", 5))), "");
}

TEST_F(Profile, SeesAFileChangeOnDisk) {
  const std::string ini = folder_.Write("Setuvia.ini", "[S]\nk=1\n");
  EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, ini), 1);
  folder_.Write("Setuvia.ini", "[S]\nk=22\n");
  EXPECT_EQ(GetPrivateProfileInt("S", "k", 0, ini), 22);
}

}  // namespace
