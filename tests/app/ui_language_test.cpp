// The language folder name: from lang_id (with the thread locale) and from each detection
// source, under the locales and platform facts the doubles simulate.
#include "app/ui_language.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "app/harbel_app.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/trace.h"

namespace {

using platform::LangId;
using platform::RegistryHive;
using platform::RegistryValue;
using platform::RegistryValueType;

const char* const kResourceLocale = "Control Panel\\Desktop\\ResourceLocale";

class Language : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(name);
    platform::ResetThreadLocaleForTesting();
    platform::SetTraceCapture([this](const std::string& line) { trace_.push_back(line); });
  }
  void TearDown() override {
    SetUp();
    platform::SetTraceCapture({});
    platform::ResetSystemInfoForTesting();
    platform::ResetRegistryForTesting();
  }
  static std::string FolderFor(const std::string& tail) {
    CHarbelApp app(tail);
    return app.MakeLangIDString();
  }
  static void UseWindows9xValue(RegistryValue value) {
    platform::SetUserDefaultUILanguageMissingForTesting(true);
    platform::SetWindows9xFamilyForTesting(true);
    platform::SetRegistryValueForTesting(RegistryHive::kCurrentUser, kResourceLocale, "",
                                         std::move(value));
  }
  static RegistryValue Text(std::string text) {
    return {RegistryValueType::kString, std::move(text), 0};
  }
  std::vector<std::string> trace_;
};

TEST_F(Language, LangIdOptionIsLowerCasedAndSetsTheThreadLocale) {
  EXPECT_EQ(FolderFor("/lang_id=0X0411"), "0x0411");
  EXPECT_EQ(platform::ThreadLocale(), LangId{0x0411});
  EXPECT_EQ(trace_.back(), "LangID = 0x0411.\n");
}

TEST_F(Language, LangId040aBecomesModernSortSpanish) {
  EXPECT_EQ(FolderFor("-lang_id=0x040A"), "0x0C0A");
  EXPECT_EQ(platform::ThreadLocale(), LangId{0x0C0A});
  EXPECT_EQ(trace_.back(), "LangID = 0x0c0a.\n");
}

TEST_F(Language, LangIdOutsideTheSupportedSetIsUsedAsItIs) {
  ::setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(FolderFor("-lang_id=0x0413"), "0x0413");
  EXPECT_EQ(platform::ThreadLocale(), LangId{0x0413});
}

TEST_F(Language, LangIdWithoutAReadableIdIsTheFolderNameButSetsNoLocale) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"-lang_id=", ""},     {"-lang_id", ""},          {"-lang_id=1033", "1033"},
      {"-lang_id=0x", "0x"}, {"-lang_id=0XZZ", "0xzz"}, {"-lang_id=Ab", "ab"}};
  for (const auto& [tail, folder] : cases) {
    EXPECT_EQ(FolderFor(tail), folder) << tail;
    EXPECT_FALSE(platform::ThreadLocale().has_value()) << tail;
  }
  for (const std::string& line : trace_) EXPECT_FALSE(line.starts_with("LangID")) << line;
}

TEST(ReadLangId, ReadsUpToFourHexDigitsAfter0x) {
  EXPECT_EQ(app::ReadLangId("0x0407"), LangId{0x0407});
  EXPECT_EQ(app::ReadLangId("0x7"), LangId{0x0007});
  EXPECT_EQ(app::ReadLangId("0x04111"), LangId{0x0411});
  EXPECT_EQ(app::ReadLangId("0x0C0A"), LangId{0x0C0A});
  EXPECT_EQ(app::ReadLangId("0x12zz"), LangId{0x0012});
  EXPECT_FALSE(app::ReadLangId("0X0407").has_value());
  EXPECT_FALSE(app::ReadLangId(" 0x0407").has_value());
  EXPECT_FALSE(app::ReadLangId("0x-1").has_value());
}

TEST_F(Language, DetectionFromTheLocaleKeepsTheSupportedSet) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"ja_JP.UTF-8", "0x0411"}, {"fr_CA.UTF-8", "0x0409"}, {"fr_FR.UTF-8", "0x040c"},
      {"ko_KR.UTF-8", "0x0412"}, {"es_ES.UTF-8", "0x0c0a"}, {"es_MX.UTF-8", "0x0409"},
      {"zh_TW.UTF-8", "0x0404"}, {"zh_HK.UTF-8", "0x0409"}, {"ru_RU.UTF-8", "0x0419"},
      {"C", "0x0409"},           {"pt_BR.UTF-8", "0x0409"}};
  for (const auto& [locale, folder] : cases) {
    ::setenv("LANG", locale, 1);
    EXPECT_EQ(FolderFor(""), folder) << locale;
  }
  EXPECT_FALSE(platform::ThreadLocale().has_value());
  EXPECT_TRUE(trace_.empty());
}

TEST_F(Language, Windows9xRegistryValueIsScannedAsHex) {
  UseWindows9xValue(Text("00000411"));
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0411);
  EXPECT_EQ(
      trace_,
      (std::vector<std::string>{"CHarbelApp(Windows 9x)::DetectUILanguage() 9X1st/2nd = 0411\n"}));
  EXPECT_EQ(FolderFor(""), "0x0411");
}

TEST_F(Language, Windows9xRegistryKeepsTheLow16BitsAndIgnoresTheLocale) {
  ::setenv("LANG", "de_DE.UTF-8", 1);
  UseWindows9xValue(Text("12340c0a"));
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0C0A);
  UseWindows9xValue(Text("0"));
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0000);
  EXPECT_EQ(FolderFor(""), "0x0409");
}

TEST_F(Language, Windows9xRegistryFailuresLeaveEnglish) {
  ::setenv("LANG", "ja_JP.UTF-8", 1);
  platform::SetUserDefaultUILanguageMissingForTesting(true);
  platform::SetWindows9xFamilyForTesting(true);
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0409);  // no key
  UseWindows9xValue(Text("not hex"));
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0409);
  UseWindows9xValue(Text(std::string(16, '1')));  // too long for 32 bytes
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0409);
  UseWindows9xValue(RegistryValue{RegistryValueType::kDword, {}, 0x0411});
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0409);
  EXPECT_TRUE(trace_.empty());
}

TEST_F(Language, NtVersionResourceTakesTheLastLanguage) {
  platform::SetUserDefaultUILanguageMissingForTesting(true);
  platform::SetVersionResourceLanguagesForTesting("ntdll.dll", std::vector<LangId>{0x0409, 0x0407});
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0407);
  EXPECT_EQ(
      trace_,
      (std::vector<std::string>{"CHarbelApp(Windows NT)::DetectUILanguage() NT1st/2nd = 0407\n"}));
}

TEST_F(Language, NtVersionResourceMissingOrNeutralGivesEnglishFolder) {
  platform::SetUserDefaultUILanguageMissingForTesting(true);
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0409);
  EXPECT_TRUE(trace_.empty());
  platform::SetVersionResourceLanguagesForTesting("ntdll.dll", std::vector<LangId>{0x0000});
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0000);
  EXPECT_TRUE(trace_.empty());
  EXPECT_EQ(FolderFor(""), "0x0409");
}

TEST_F(Language, TheFunctionSourceWinsOverTheOthers) {
  ::setenv("LANG", "it_IT.UTF-8", 1);
  platform::SetWindows9xFamilyForTesting(true);
  platform::SetRegistryValueForTesting(RegistryHive::kCurrentUser, kResourceLocale, "",
                                       Text("0411"));
  EXPECT_EQ(CHarbelApp().DetectUILanguage(), 0x0410);
  EXPECT_TRUE(trace_.empty());
}

}  // namespace
