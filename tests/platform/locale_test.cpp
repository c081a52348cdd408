// Locale names to language ids, the environment's order, the thread locale and the
// resource loader's choice of language.
#include "platform/locale.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

namespace {

using platform::LangId;

class Environment : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) ::unsetenv(name);
    platform::ResetThreadLocaleForTesting();
  }
  void TearDown() override { SetUp(); }
  static constexpr const char* kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
};

TEST(LangIdFromLocaleName, MapsLanguageAndTerritory) {
  EXPECT_EQ(platform::LangIdFromLocaleName("ja_JP.UTF-8"), 0x0411);
  EXPECT_EQ(platform::LangIdFromLocaleName("fr_CA.UTF-8"), 0x0C0C);
  EXPECT_EQ(platform::LangIdFromLocaleName("fr_FR"), 0x040C);
  EXPECT_EQ(platform::LangIdFromLocaleName("zh_TW.UTF-8"), 0x0404);
  EXPECT_EQ(platform::LangIdFromLocaleName("zh_CN.GB18030"), 0x0804);
  EXPECT_EQ(platform::LangIdFromLocaleName("es_ES.UTF-8@euro"), 0x0C0A);
  EXPECT_EQ(platform::LangIdFromLocaleName("es_MX"), 0x080A);
  EXPECT_EQ(platform::LangIdFromLocaleName("de_AT@euro"), 0x0C07);
  EXPECT_EQ(platform::LangIdFromLocaleName("en_GB.ISO-8859-1"), 0x0809);
  EXPECT_EQ(platform::LangIdFromLocaleName("ko_KR.EUC-KR"), 0x0412);
  EXPECT_EQ(platform::LangIdFromLocaleName("ru_RU.KOI8-R"), 0x0419);
}

TEST(LangIdFromLocaleName, TakesTheLanguagesPrincipalIdWithoutAKnownTerritory) {
  EXPECT_EQ(platform::LangIdFromLocaleName("ja"), 0x0411);
  EXPECT_EQ(platform::LangIdFromLocaleName("de"), 0x0407);
  EXPECT_EQ(platform::LangIdFromLocaleName("es"), 0x0C0A);
  EXPECT_EQ(platform::LangIdFromLocaleName("zh.UTF-8"), 0x0804);
  EXPECT_EQ(platform::LangIdFromLocaleName("it_XX"), 0x0410);
  EXPECT_EQ(platform::LangIdFromLocaleName("FR_fr"), 0x040C);
}

TEST(LangIdFromLocaleName, GivesEnglishForCPosixEmptyAndUnknown) {
  for (const char* name : {"C", "POSIX", "C.UTF-8", "", "xx_YY", "_", "@", ".", "klingon"}) {
    EXPECT_EQ(platform::LangIdFromLocaleName(name), 0x0409) << name;
  }
}

TEST_F(Environment, TakesTheFirstNonEmptyOfLcAllLcMessagesLang) {
  EXPECT_EQ(platform::UserDefaultUILanguage(), 0x0409);
  ::setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(platform::UserDefaultUILanguage(), 0x0407);
  ::setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
  EXPECT_EQ(platform::UserDefaultUILanguage(), 0x0411);
  ::setenv("LC_ALL", "", 1);
  EXPECT_EQ(platform::UserDefaultUILanguage(), 0x0411);
  ::setenv("LC_ALL", "ko_KR.UTF-8", 1);
  EXPECT_EQ(platform::UserDefaultUILanguage(), 0x0412);
}

TEST_F(Environment, ThreadLocaleIsUnsetUntilSet) {
  EXPECT_FALSE(platform::ThreadLocale().has_value());
  platform::SetThreadLocale(0x0C0A);
  EXPECT_EQ(platform::ThreadLocale(), LangId{0x0C0A});
}

TEST_F(Environment, ResourceLanguagePrefersThreadLocaleThenUserInterfaceThenEnglish) {
  const std::vector<LangId> selection_dialogs = {0x0409, 0x040C, 0x0407, 0x0410,
                                                 0x0411, 0x0804, 0x0C0A, 0x0404};
  ::setenv("LANG", "fr_FR.UTF-8", 1);
  EXPECT_EQ(platform::ChooseResourceLanguage(selection_dialogs), 0x040C);
  platform::SetThreadLocale(0x0411);
  EXPECT_EQ(platform::ChooseResourceLanguage(selection_dialogs), 0x0411);
  platform::SetThreadLocale(0x0412);  // no Korean dialog: the user-interface language next
  EXPECT_EQ(platform::ChooseResourceLanguage(selection_dialogs), 0x040C);
  ::setenv("LANG", "ru_RU.UTF-8", 1);
  EXPECT_EQ(platform::ChooseResourceLanguage(selection_dialogs), 0x0409);
  EXPECT_EQ(platform::ChooseResourceLanguage({}), 0x0409);
}

}  // namespace
