// Templates 133 and 135: the eight languages, the controls the dialogs address, and the
// layout differences between languages.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ui/dialog.h"
#include "resources/resources.h"

namespace {

using platform::LangId;
using platform::ui::ControlKind;
using platform::ui::DialogTemplate;

const std::vector<LangId> kEight = {0x0409, 0x040C, 0x0407, 0x0410, 0x0411, 0x0804, 0x0C0A, 0x0404};

TEST(SelectionTemplates, ExistInEightLanguagesButNotKoreanOrRussian) {
  for (int id : {resources::kLanguageDialog, resources::kModelDialog}) {
    std::vector<LangId> languages = resources::DialogLanguages(id);
    std::sort(languages.begin(), languages.end());
    std::vector<LangId> expected = kEight;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(languages, expected) << id;
  }
}

TEST(SelectionTemplates, HoldAFocusableListAboveTheDefaultOkButton) {
  for (LangId language : kEight) {
    for (auto [id, list_id] :
         {std::pair{resources::kLanguageDialog, 1001}, std::pair{resources::kModelDialog, 1003}}) {
      const DialogTemplate* t = resources::FindDialog(id, language);
      ASSERT_NE(t, nullptr);
      ASSERT_EQ(t->controls.size(), 2u);
      EXPECT_EQ(t->controls[0].kind, ControlKind::kDropDownList);
      EXPECT_EQ(t->controls[0].id, list_id);
      EXPECT_TRUE(t->controls[0].style & platform::ui::kTabStop);
      EXPECT_EQ(t->controls[1].id, platform::ui::kIdOk);
      EXPECT_TRUE(t->controls[1].style & platform::ui::kDefaultButton);
    }
  }
}

TEST(SelectionTemplates, KeepEachLanguagesCaptionAndLayout) {
  const DialogTemplate* french = resources::FindDialog(resources::kLanguageDialog, 0x040C);
  EXPECT_EQ(french->caption, "Selecione une langue");
  EXPECT_EQ(french->controls[0].rect.cy, 66);
  const DialogTemplate* taiwan = resources::FindDialog(resources::kLanguageDialog, 0x0404);
  EXPECT_EQ(taiwan->rect.cx, 160);
  EXPECT_EQ(taiwan->rect.cy, 49);
  EXPECT_EQ(taiwan->font_points, 9);
  EXPECT_EQ(taiwan->controls[1].rect.x, 55);
  EXPECT_EQ(taiwan->controls[1].rect.y, 28);
  EXPECT_EQ(resources::FindDialog(resources::kLanguageDialog, 0x0C0A)->controls[1].text, "Aceptar");
  EXPECT_EQ(resources::FindDialog(resources::kModelDialog, 0x0804)->caption, "選擇型號");
  EXPECT_EQ(resources::FindDialog(resources::kModelDialog, 0x0804)->controls[1].text, "確定");
  EXPECT_EQ(resources::FindDialog(resources::kModelDialog, 0x0411)->caption, "Select Model");
}

}  // namespace
