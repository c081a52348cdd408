// The model dialog against the headless backend: the models of the configuration whose
// folder exists, in key order, up to the first gap; OK, Esc, and awkward model names.
#include "app/model_select_dlg.h"

#include <gtest/gtest.h>

#include "app/page_folder.h"
#include "platform/ui/headless.h"
#include "tests/platform/temp_folder.h"

namespace {

using platform::ui::Dialog;
using platform::ui::Key;

class ModelDialog : public ::testing::Test {
 protected:
  void Ini(const std::string& models) {
    ini_ = root_.Write("Setuvia" + std::to_string(++count_) + ".ini",
                       "[ModelSelectDialog]\nDisplay=1\n" + models);
  }
  std::string Run(const std::string& page_template, std::function<void(Dialog&)> user) {
    session_.set_driver([&](Dialog& dialog) {
      const platform::ui::Control* list = dialog.GetDlgItem(kIdModelList);
      items_ = list->items();
      selected_ = list->GetCurSel();
      focus_ = dialog.GetFocusId();
      user(dialog);
    });
    CModelSelectDlg dialog(page_template, ini_);
    dialog.DoModal();
    return dialog.ModelName();
  }
  std::string WithLanguage() const { return root_.Path() + "PageDataDirModelName/0x0409/"; }
  std::string WithoutLanguage() const { return root_.Path() + "PageDataDirModelName/"; }
  static void PressOk(Dialog& dialog) { dialog.ClickButton(platform::ui::kIdOk); }

  platform::ui::headless::Session session_;
  TempFolder root_;
  std::string ini_;
  int count_ = 0;
  std::vector<std::string> items_;
  int selected_ = -2;
  int focus_ = 0;
};

TEST_F(ModelDialog, ListsOnlyModelsWhoseFolderHoldsTheStartLanguage) {
  Ini("Model1=Alpha\nModel2=Beta\n");
  root_.MakeFolder("PageData_Alpha/0x0407");
  root_.MakeFolder("PageData_Beta/0x0409");
  EXPECT_EQ(Run(WithLanguage(), PressOk), "Beta");
  EXPECT_EQ(items_, (std::vector<std::string>{"Beta"}));
  EXPECT_EQ(selected_, 0);
}

TEST_F(ModelDialog, ListsModelsInKeyOrderAndPreselectsTheFirst) {
  Ini("Model2=Alpha\nModel1=Zeta\n");
  root_.MakeFolder("PageData_Alpha");
  root_.MakeFolder("pagedata_zeta");
  EXPECT_EQ(Run(WithoutLanguage(), PressOk), "Zeta");
  EXPECT_EQ(items_, (std::vector<std::string>{"Zeta", "Alpha"}));
  EXPECT_EQ(focus_, kIdModelList);
}

TEST_F(ModelDialog, StopsAtTheFirstMissingOrEmptyKey) {
  root_.MakeFolder("PageData_Alpha");
  root_.MakeFolder("PageData_Gamma");
  Ini("Model1=Alpha\nModel3=Gamma\n");
  Run(WithoutLanguage(), PressOk);
  EXPECT_EQ(items_, (std::vector<std::string>{"Alpha"}));
  Ini("Model1=\nModel2=Alpha\n");
  EXPECT_EQ(Run(WithoutLanguage(), PressOk), "");
  EXPECT_TRUE(items_.empty());
  EXPECT_EQ(selected_, -1);
}

TEST_F(ModelDialog, AMissingConfigurationGivesAnEmptyList) {
  root_.MakeFolder("PageData_Alpha");
  ini_ = root_.Path() + "none.ini";
  EXPECT_EQ(Run(WithoutLanguage(), PressOk), "");
  EXPECT_TRUE(items_.empty());
}

TEST_F(ModelDialog, EscapeAndTheCloseBoxYieldNothing) {
  Ini("Model1=Alpha\n");
  root_.MakeFolder("PageData_Alpha");
  EXPECT_EQ(Run(WithoutLanguage(), [](Dialog& d) { d.HandleKey(Key::kEscape); }), "");
  EXPECT_EQ(Run(WithoutLanguage(), [](Dialog& d) { d.Close(); }), "");
}

TEST_F(ModelDialog, DownAndEnterChooseTheSecondModel) {
  Ini("Model1=Alpha\nModel2=Beta\n");
  root_.MakeFolder("PageData_Alpha");
  root_.MakeFolder("PageData_Beta");
  EXPECT_EQ(Run(WithoutLanguage(),
                [](Dialog& d) {
                  d.HandleKey(Key::kDown);
                  d.HandleKey(Key::kEnter);
                }),
            "Beta");
}

// Whatever the name, the folder formed from the listed name is the folder that was tested.
TEST_F(ModelDialog, AwkwardNamesLeadToTheFolderThatWasTested) {
  const std::string long_name(70, 'L');
  Ini("Model1=Pro_Max\nModel2=My Model 2.0\nModel3=Größe\nModel4=" + long_name + "\nModel5=Pro\n");
  for (const std::string& name : {std::string("Pro_Max"), std::string("My Model 2.0"),
                                  std::string("Größe"), long_name.substr(0, 63)}) {
    root_.MakeFolder("PageData_" + name);
  }
  Run(WithoutLanguage(), PressOk);
  EXPECT_EQ(items_, (std::vector<std::string>{"Pro_Max", "My Model 2.0", "Größe",
                                              long_name.substr(0, 63)}));
  for (const std::string& item : items_) {
    std::string folder = WithoutLanguage();
    app::ReplaceModelPlaceholder(folder, "_" + item);
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
  }
}

TEST_F(ModelDialog, ThousandsOfModelsListWhatExists) {
  std::string models;
  for (int i = 1; i <= 3000; ++i)
    models += "Model" + std::to_string(i) + "=M" + std::to_string(i) + "\n";
  Ini(models);
  root_.MakeFolder("PageData_M7");
  root_.MakeFolder("PageData_M2999");
  EXPECT_EQ(Run(WithoutLanguage(),
                [](Dialog& d) {
                  d.HandleKey(Key::kDown);
                  d.HandleKey(Key::kEnter);
                }),
            "M2999");
  EXPECT_EQ(items_, (std::vector<std::string>{"M7", "M2999"}));
}

}  // namespace
