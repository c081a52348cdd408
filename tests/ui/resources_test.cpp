// The compiled-in resources: every language has the viewer dialog and the ten strings,
// the texts match the tables, and look-ups follow the resource loader's language rule.
#include "resources/resources.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/locale.h"

namespace resources {
namespace {

constexpr platform::LangId kTenLanguages[] = {0x0404, 0x0407, 0x0409, 0x040C, 0x0410,
                                              0x0411, 0x0412, 0x0419, 0x0804, 0x0C0A};

// Sets the user-interface language through the environment and clears the thread locale.
class LanguageScope {
 public:
  explicit LanguageScope(const char* locale) {
    setenv("LC_ALL", locale, 1);
    platform::ResetThreadLocaleForTesting();
  }
  ~LanguageScope() {
    unsetenv("LC_ALL");
    platform::ResetThreadLocaleForTesting();
  }
};

TEST(Resources, EveryLanguageHasTheViewerDialogAndTheTenStrings) {
  for (platform::LangId lang : kTenLanguages) {
    SCOPED_TRACE(lang);
    const platform::ui::DialogTemplate* dlg = FindDialog(kViewerDialog, lang);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->language, lang);
    EXPECT_NE(dlg->caption.find("ProductName"), std::string_view::npos);
    EXPECT_EQ(dlg->rect.cx, 403);
    EXPECT_EQ(dlg->rect.cy, 310);
    for (int id = 1; id <= 10; ++id) {
      const auto text = FindString(id, lang);
      ASSERT_TRUE(text.has_value()) << id;
      EXPECT_FALSE(text->empty()) << id;
    }
  }
  EXPECT_EQ(DialogLanguages(kViewerDialog).size(), 10u);
}

TEST(Resources, ViewerTemplatesCarryTheButtonsFrameAndLineInTabOrder) {
  const platform::ui::DialogTemplate* dlg = FindDialog(kViewerDialog, 0x0C0A);
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(dlg->controls.size(), 5u);
  EXPECT_EQ(dlg->controls[0].id, 2);
  EXPECT_EQ(dlg->controls[0].text, "Salir");
  EXPECT_EQ(dlg->controls[1].id, 3);
  EXPECT_EQ(dlg->controls[1].rect.x, 221);
  EXPECT_EQ(dlg->controls[1].rect.cx, 54);
  EXPECT_EQ(dlg->controls[2].text, "Siguiente >");
  EXPECT_EQ(dlg->controls[3].id, 1000);
  EXPECT_EQ(dlg->controls[4].id, 1002);
  EXPECT_TRUE(dlg->controls[4].style & platform::ui::kSunken);

  const platform::ui::DialogTemplate* zh = FindDialog(kViewerDialog, 0x0804);
  EXPECT_EQ(zh->controls[0].rect.x, 349);
  EXPECT_EQ(zh->controls[3].rect.x, 1);
  EXPECT_EQ(zh->controls[4].rect.cx, 400);
  EXPECT_EQ(FindDialog(kViewerDialog, 0x0419)->caption, "Инструкция по установке  ProductName");
}

TEST(Resources, StringsMatchTheTables) {
  EXPECT_EQ(FindString(kStringNext, 0x0409), "Next >");
  EXPECT_EQ(FindString(kStringFinish, 0x0411), "完了");
  EXPECT_EQ(FindString(kStringFinish, 0x0419), "Готово");
  EXPECT_EQ(FindString(kStringSimplifiedChinese, 0x040C), "Chinois (simplifié)");
  EXPECT_EQ(FindString(kStringItalian, 0x0804), "义大利语");
  EXPECT_EQ(FindString(kStringSpanish, 0x0404), "西班牙文");
  // Korean and Russian name the languages in English.
  EXPECT_EQ(FindString(kStringJapanese, 0x0412), "Japanese");
  EXPECT_EQ(FindString(kStringTraditionalChinese, 0x0419), "Traditional Chinese");
  EXPECT_FALSE(FindString(0, 0x0409).has_value());
  EXPECT_EQ(FindString(kStringCannotShowPage, 0x0409), "This page cannot be shown.");
  EXPECT_EQ(FindString(kStringCannotShowPage, 0x0411), "このページは表示できません。");
  EXPECT_FALSE(FindString(12, 0x0409).has_value());
  EXPECT_FALSE(FindString(1, 0x0413).has_value());
}

TEST(ResourceLookup, ThreadLocaleWinsOverTheUserInterfaceLanguage) {
  LanguageScope ui("de_DE.UTF-8");
  platform::SetThreadLocale(0x0411);
  EXPECT_EQ(LoadString(kStringFinish), "完了");
  EXPECT_EQ(LoadDialog(kViewerDialog)->language, 0x0411);
}

TEST(ResourceLookup, UserInterfaceLanguageWhenTheThreadLocaleHasNoResources) {
  LanguageScope ui("ru_RU.UTF-8");
  platform::SetThreadLocale(0x0413);  // Dutch: no resources
  EXPECT_EQ(LoadString(kStringNext), "Далее >");
  EXPECT_EQ(LoadDialog(kViewerDialog)->language, 0x0419);
}

TEST(ResourceLookup, EnglishWhenNeitherLanguageHasResources) {
  LanguageScope ui("nl_NL.UTF-8");
  EXPECT_EQ(LoadString(kStringFinish), "Finish");
  EXPECT_EQ(LoadDialog(kViewerDialog)->language, 0x0409);
}

TEST(ResourceLookup, MissingResourcesGiveNothing) {
  EXPECT_EQ(LoadDialog(999), nullptr);
  EXPECT_EQ(LoadString(42), "");
  EXPECT_EQ(LoadIcon(129), nullptr);
}

TEST(ResourceLookup, AppIconIsAFullThirtyTwoPixelSquare) {
  const platform::ui::Icon* icon = LoadIcon(kAppIcon);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  ASSERT_EQ(icon->pixels.size(), 32u * 32u);
  int opaque = 0;
  for (std::uint32_t p : icon->pixels) opaque += (p >> 24) == 0xFF;
  EXPECT_GT(opaque, 32 * 32 / 3);
}

}  // namespace
}  // namespace resources
