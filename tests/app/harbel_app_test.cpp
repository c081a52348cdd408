// Page-folder resolution and the start-up routine: root folder, configuration switches,
// templates, failure of the program path, and the trace lines in their order.
#include "app/harbel_app.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "platform/program_path.h"
#include "platform/trace.h"
#include "platform/ui/headless.h"
#include "tests/platform/temp_folder.h"
#include "viewer/viewer_dlg.h"

namespace {

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(name);
    platform::ResetThreadLocaleForTesting();
    platform::SetTraceCapture([this](const std::string& line) { trace_.push_back(line); });
    session_.set_driver([this](platform::ui::Dialog& dialog) {
      if (dynamic_cast<CViewerDlg*>(&dialog) != nullptr) {
        ++viewers_;
        dialog.Close();
        return;
      }
      captions_.push_back(dialog.GetWindowText());
      const auto user = keys_.empty() ? std::vector<platform::ui::Key>{} : keys_.front();
      if (!keys_.empty()) keys_.erase(keys_.begin());
      for (platform::ui::Key key : user) dialog.HandleKey(key);
      if (user.empty()) dialog.Close();
    });
  }
  // The lines start-up traced before the viewer opened.
  std::vector<std::string> StartUpTrace() const {
    std::vector<std::string> lines;
    for (const std::string& line : trace_) {
      if (line.starts_with("Command line") || line.starts_with("ParseOptionValue") ||
          line.starts_with("LangID") || line.starts_with("MakePageDir")) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  void TearDown() override {
    platform::SetTraceCapture({});
    platform::SetProgramPathForTesting(std::nullopt);
    platform::ResetThreadLocaleForTesting();
    ::unsetenv("LANG");
  }
  void ProgramIn(const std::string& path) {
    platform::SetProgramPathForTesting(platform::ProgramPathResult{path, 0});
  }
  platform::ui::headless::Session session_;
  TempFolder root_;
  std::vector<std::string> trace_;
  int viewers_ = 0;
  // The keys pressed in each selection dialog, in the order the dialogs appear.
  std::vector<std::vector<platform::ui::Key>> keys_;
  std::vector<std::string> captions_;
};

TEST_F(StartUp, WithoutOptionsOrConfigurationUsesTheProgramsFolderAndDetectedLanguage) {
  ProgramIn(root_.Path() + "setuvia");
  ::setenv("LANG", "ja_JP.UTF-8", 1);
  CHarbelApp app;
  std::string page_folder;
  ASSERT_TRUE(app.MakePageDirString(page_folder));
  EXPECT_EQ(page_folder, root_.Path() + "PageData/0x0411/");
  EXPECT_EQ(app.IniFile(), root_.Path() + "Setuvia.ini");
  EXPECT_EQ(app.LangID(), "0x0411");
  EXPECT_EQ(app.ModelSelectDialog(), 0);
  EXPECT_EQ(app.LanguageSelectDialog(), 0);
}

TEST_F(StartUp, RootDirOptionWinsOverTheProgramsFolder) {
  ProgramIn("/nowhere/setuvia");
  CHarbelApp app("-root_dir=" + root_.Path() + " -lang_id=0x0407");
  std::string page_folder;
  ASSERT_TRUE(app.MakePageDirString(page_folder));
  EXPECT_EQ(page_folder, root_.Path() + "PageData/0x0407/");
  EXPECT_EQ(app.IniFile(), root_.Path() + "Setuvia.ini");
  EXPECT_EQ(app.CommandLine(), "");
}

TEST_F(StartUp, AnEmptyRootDirGivesRelativePaths) {
  CHarbelApp app("-root_dir= -lang_id=0x0409");
  std::string page_folder;
  ASSERT_TRUE(app.MakePageDirString(page_folder));
  EXPECT_EQ(page_folder, "PageData/0x0409/");
  EXPECT_EQ(app.IniFile(), "Setuvia.ini");
}

TEST_F(StartUp, SwitchesFromTheConfigurationChooseTheTemplate) {
  struct Case {
    const char* ini;
    int model;
    int language;
    const char* folder;
  };
  const Case cases[] = {
      {"[ModelSelectDialog]\nDisplay=1\n[LanguageSelectDialog]\nDisplay=1\n", 1, 1,
       "PageDataDirModelName/"},
      {"[ModelSelectDialog]\nDisplay=2\n", 1, 0, "PageDataDirModelName/0x040c/"},
      {"[languageselectdialog]\ndisplay=-1\n", 0, 1, "PageData/"},
      {"[ModelSelectDialog]\nDisplay=0\n[LanguageSelectDialog]\nDisplay=off\n", 0, 0,
       "PageData/0x040c/"},
      {"\x01\x02 binary \xff\xfe", 0, 0, "PageData/0x040c/"},
  };
  ::setenv("LANG", "fr_FR.UTF-8", 1);
  int index = 0;
  for (const Case& c : cases) {
    const std::string folder = root_.MakeFolder(std::string("r").append(std::to_string(index++)));
    root_.Write(folder.substr(root_.Path().size()) + "Setuvia.ini", c.ini);
    CHarbelApp app("-root_dir=" + folder);
    std::string page_folder;
    ASSERT_TRUE(app.MakePageDirString(page_folder));
    EXPECT_EQ(app.ModelSelectDialog(), c.model) << c.ini;
    EXPECT_EQ(app.LanguageSelectDialog(), c.language) << c.ini;
    EXPECT_EQ(page_folder, folder + c.folder) << c.ini;
  }
}

TEST_F(StartUp, AProgramPathThatCannotBeObtainedLeavesEverythingEmpty) {
  platform::SetProgramPathForTesting(platform::ProgramPathResult{std::nullopt, 13});
  CHarbelApp app("-lang_id=0x0411");
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(app.PageRoot(), "");
  EXPECT_EQ(app.IniFile(), "");
  EXPECT_EQ(app.LangID(), "");
  EXPECT_EQ(app.CommandLine(), "-lang_id=0x0411");
  EXPECT_FALSE(platform::ThreadLocale().has_value());
  EXPECT_EQ(viewers_, 1);
  EXPECT_EQ(StartUpTrace(),
            (std::vector<std::string>{"Command line = -lang_id=0x0411.\n",
                                      "MakePageDirStirng: fail with error code 13!\n"}));
}

TEST_F(StartUp, AProgramPathWithoutAFolderFailsSilently) {
  ProgramIn("setuvia");
  CHarbelApp app;
  std::string page_folder = "unchanged";
  EXPECT_FALSE(app.MakePageDirString(page_folder));
  EXPECT_EQ(page_folder, "unchanged");
  EXPECT_TRUE(trace_.empty());
}

TEST_F(StartUp, TracesTheCommandLineBeforeAnyOptionIsTakenOut) {
  CHarbelApp app("-root_dir=/srv/m/ -lang_id=0x0407 extra");
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(viewers_, 1);
  EXPECT_EQ(StartUpTrace(), (std::vector<std::string>{
                                "Command line = -root_dir=/srv/m/ -lang_id=0x0407 extra.\n",
                                "ParseOptionValue: root_dir = /srv/m/.\n",
                                "ParseOptionValue: remain string -lang_id=0x0407 extra.\n",
                                "ParseOptionValue: lang_id = 0x0407.\n",
                                "ParseOptionValue: remain string extra.\n",
                                "LangID = 0x0407.\n",
                                "MakePageDirString: PageRoot = /srv/m/PageData/0x0407/.\n",
                            }));
  EXPECT_EQ(app.PageRoot(), "/srv/m/PageData/0x0407/");
  EXPECT_EQ(app.CommandLine(), "extra");
}

using platform::ui::Key;

class StartUpWithDialogs : public StartUp {
 protected:
  void SetUp() override {
    StartUp::SetUp();
    for (const char* folder : {"PageData/0x0409", "PageData_Alpha/0x0409", "PageData_Beta/0x0409",
                               "PageData_Beta/0x0411"}) {
      root_.MakeFolder(folder);
    }
  }
  // `switches`: the Display values of the model and the language dialog, e.g. "10".
  std::string RunWith(const std::string& switches, const std::string& tail) {
    root_.Write("Setuvia.ini",
                std::string("[ModelSelectDialog]\nModel1=Alpha\nModel2=Beta\nDisplay=") +
                    switches[0] + "\n[LanguageSelectDialog]\nDisplay=" + switches[1] + "\n");
    CHarbelApp app("-root_dir=" + root_.Path() + " " + tail);
    app.InitInstance();
    model_ = app.ModelName();
    return app.PageRoot();
  }
  const std::string kBoth = "11";
  std::string model_;
};

TEST_F(StartUpWithDialogs, ModelThenLanguageCompleteThePageFolder) {
  keys_ = {{Key::kDown, Key::kEnter}, {Key::kDown, Key::kEnter}};
  EXPECT_EQ(RunWith(kBoth, "-lang_id=0x0409"), root_.Path() + "PageData_Beta/0x0411/");
  EXPECT_EQ(model_, "_Beta");
  EXPECT_EQ(captions_, (std::vector<std::string>{"Select Model", "Select Language"}));
  EXPECT_EQ(viewers_, 1);
}

TEST_F(StartUpWithDialogs, ModelSwitchAloneKeepsTheStartLanguage) {
  keys_ = {{Key::kEnter}};
  EXPECT_EQ(RunWith("10", "-lang_id=0x0409"), root_.Path() + "PageData_Alpha/0x0409/");
  EXPECT_EQ(captions_.size(), 1u);
}

TEST_F(StartUpWithDialogs, LanguageSwitchAloneLooksBelowPageData) {
  keys_ = {{Key::kEnter}};
  EXPECT_EQ(RunWith("01", "-lang_id=0x0407"), root_.Path() + "PageData/0x0409/");
}

TEST_F(StartUpWithDialogs, CancellingEitherDialogEndsTheProgramWithoutTheViewer) {
  keys_ = {{Key::kEscape}};
  RunWith(kBoth, "-lang_id=0x0409");
  EXPECT_EQ(captions_, (std::vector<std::string>{"Select Model"}));
  keys_ = {{Key::kEnter}, {}};  // the language dialog's close box
  RunWith(kBoth, "-lang_id=0x0409");
  EXPECT_EQ(captions_.size(), 3u);
  EXPECT_EQ(viewers_, 0);
}

TEST_F(StartUpWithDialogs, AMissingLanguageFolderFallsBackToTheEnglishPages) {
  EXPECT_EQ(RunWith("00", "-lang_id=0x0411"), root_.Path() + "PageData/0x0409/");
  EXPECT_EQ(viewers_, 1);
  const std::string traced = "Page folder " + root_.Path() +
                             "PageData/0x0411/ not found: " + "showing the English pages in " +
                             root_.Path() + "PageData/0x0409/.\n";
  EXPECT_NE(std::find(trace_.begin(), trace_.end(), traced), trace_.end());
}

TEST_F(StartUpWithDialogs, DialogTextsFollowLangIdAndFallBackToEnglishForKorean) {
  keys_ = {{Key::kEnter}, {Key::kEnter}};
  RunWith(kBoth, "-lang_id=0x0411");
  EXPECT_EQ(captions_, (std::vector<std::string>{"Select Model", "言語設定"}));
  platform::ResetThreadLocaleForTesting();
  captions_.clear();
  keys_ = {{Key::kEnter}, {Key::kEnter}};
  EXPECT_EQ(RunWith(kBoth, "-lang_id=0x0412"), root_.Path() + "PageData_Alpha/0x0409/");
  EXPECT_EQ(captions_, (std::vector<std::string>{"Select Model", "Select Language"}));
}

}  // namespace
