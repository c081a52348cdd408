// The language dialog against the headless backend: which languages are listed and in
// what order, the preselection, OK, Esc and the close box, and the keyboard.
#include "app/language_select_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/locale.h"
#include "platform/ui/headless.h"
#include "tests/platform/temp_folder.h"

namespace {

using platform::ui::Dialog;
using platform::ui::Key;

class LanguageDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(name);
    platform::ResetThreadLocaleForTesting();
  }
  void TearDown() override { platform::ResetThreadLocaleForTesting(); }

  void Folders(std::initializer_list<const char*> names) {
    for (const char* name : names) root_.MakeFolder(std::string("PageData/") + name);
  }
  // Runs the dialog; `user` plays the user once it is shown. Records the list as shown.
  std::string Run(const std::string& start_lang, std::function<void(Dialog&)> user) {
    session_.set_driver([&](Dialog& dialog) {
      const platform::ui::Control* list = dialog.GetDlgItem(kIdLanguageList);
      items_ = list->items();
      selected_ = list->GetCurSel();
      focus_ = dialog.GetFocusId();
      caption_ = dialog.GetWindowText();
      user(dialog);
    });
    CLanguageSelectDlg dialog(root_.Path() + "PageData/", start_lang);
    code_ = dialog.DoModal();
    return dialog.LangID();
  }
  static void PressOk(Dialog& dialog) { dialog.ClickButton(platform::ui::kIdOk); }

  platform::ui::headless::Session session_;
  TempFolder root_;
  std::vector<std::string> items_;
  int selected_ = -2;
  int focus_ = 0;
  int code_ = 0;
  std::string caption_;
};

TEST_F(LanguageDialog, ListsExistingFoldersInTableOrderAndPreselectsTheStartLanguage) {
  Folders({"0x040c", "0x0409"});
  EXPECT_EQ(Run("0x040c", PressOk), "0x040C");
  EXPECT_EQ(items_, (std::vector<std::string>{"English", "French"}));
  EXPECT_EQ(selected_, 1);
  EXPECT_EQ(code_, platform::ui::kIdOk);
}

TEST_F(LanguageDialog, ListsAllEightWithSpanishBeforeTraditionalChinese) {
  Folders({"0x0404", "0x0407", "0x0409", "0x040C", "0x0410", "0x0411", "0x0804", "0x0C0A", "0x0412",
           "0x0419"});
  Run("0x0409", PressOk);
  EXPECT_EQ(items_,
            (std::vector<std::string>{"English", "French", "German", "Italian", "Japanese",
                                      "Simplified Chinese", "Spanish", "Traditional Chinese"}));
}

TEST_F(LanguageDialog, SelectsTheFirstWhenTheStartLanguageIsNotListed) {
  Folders({"0x0407", "0x0411", "0x0412"});
  EXPECT_EQ(Run("0x0412", PressOk), "0x0407");
  EXPECT_EQ(selected_, 0);
}

TEST_F(LanguageDialog, AnEmptyListSelectsNothingAndOkYieldsNothing) {
  root_.MakeFolder("PageData");
  EXPECT_EQ(Run("0x0409", PressOk), "");
  EXPECT_TRUE(items_.empty());
  EXPECT_EQ(selected_, -1);
}

TEST_F(LanguageDialog, YieldsUpperCaseFolderNamesWhateverTheFoldersCase) {
  Folders({"0x0c0a"});
  EXPECT_EQ(Run("0x0409", PressOk), "0x0C0A");
}

TEST_F(LanguageDialog, EscapeAndTheCloseBoxYieldNothing) {
  Folders({"0x0409"});
  EXPECT_EQ(Run("0x0409", [](Dialog& d) { d.HandleKey(Key::kEscape); }), "");
  EXPECT_EQ(code_, platform::ui::kIdCancel);
  EXPECT_EQ(Run("0x0409", [](Dialog& d) { d.Close(); }), "");
  EXPECT_EQ(code_, platform::ui::kIdCancel);
}

TEST_F(LanguageDialog, TheListHasTheFocusArrowsMoveAndEnterPressesOk) {
  Folders({"0x0409", "0x0407", "0x0411"});
  EXPECT_EQ(Run("0x0409",
                [](Dialog& d) {
                  d.HandleKey(Key::kDown);
                  d.HandleKey(Key::kDown);
                  d.HandleKey(Key::kEnter);
                }),
            "0x0411");
  EXPECT_EQ(focus_, kIdLanguageList);
  EXPECT_EQ(Run("0x0411",
                [](Dialog& d) {
                  d.HandleKey(Key::kUp);
                  d.HandleKey(Key::kEnter);
                }),
            "0x0407");
}

TEST_F(LanguageDialog, TextsFollowTheThreadLocaleAndFallBackToEnglish) {
  Folders({"0x0409", "0x0411"});
  platform::SetThreadLocale(0x0411);
  EXPECT_EQ(Run("0x0409", PressOk), "0x0409");
  EXPECT_EQ(caption_, "言語設定");
  EXPECT_EQ(items_, (std::vector<std::string>{"英語", "日本語"}));
  platform::SetThreadLocale(0x0412);  // Korean: no template, English names in its table
  EXPECT_EQ(Run("0x0411", PressOk), "0x0411");
  EXPECT_EQ(caption_, "Select Language");
  EXPECT_EQ(items_, (std::vector<std::string>{"English", "Japanese"}));
}

}  // namespace
