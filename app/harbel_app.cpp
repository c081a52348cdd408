// Start-up in its fixed order, and the page-folder resolution it begins with.
#include "app/harbel_app.h"

#include <utility>

#include "app/command_line.h"
#include "app/language_select_dlg.h"
#include "app/model_select_dlg.h"
#include "app/page_folder.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/program_path.h"
#include "platform/trace.h"
#include "viewer/viewer_dlg.h"

CHarbelApp::CHarbelApp(std::string command_line_tail) : m_lpCmdLine(std::move(command_line_tail)) {}

// The framework's embedded-control hosting and 3-D dialog look have no counterpart here.
bool CHarbelApp::InitInstance() {
  platform::Trace("Command line = %s.\n", m_lpCmdLine.c_str());
  MakePageDirString(m_strPageRoot);
  if (m_bModelSelectDialog == 1 && !SelectModel()) return false;
  if (m_bLanguageSelectDialog == 1 && !SelectLanguage()) return false;
  UseEnglishPagesIfMissing();
  RunViewer();
  return false;
}

// A person who cancels the dialog (Esc, close box) wants to leave: false, and no viewer.
// OK with an empty list gives an empty name, and the page folder loses the placeholder.
bool CHarbelApp::SelectModel() {
  CModelSelectDlg dialog(m_strPageRoot, m_strIniFile);
  if (dialog.DoModal() != platform::ui::kIdOk) return false;
  m_strModelName = dialog.ModelName();
  if (!m_strModelName.empty()) m_strModelName = "_" + m_strModelName;
  app::ReplaceModelPlaceholder(m_strPageRoot, m_strModelName);
  return true;
}

// Runs below the chosen model's folder; cancelling ends the program as above.
bool CHarbelApp::SelectLanguage() {
  CLanguageSelectDlg dialog(m_strPageRoot, m_strLangID);
  if (dialog.DoModal() != platform::ui::kIdOk) return false;
  m_strLangID = dialog.LangID();
  m_strPageRoot += m_strLangID + "/";
  return true;
}

// A product may ship pages in fewer languages than the session speaks: without a folder for
// the language, the English pages show. Without those either the folder stays, and the
// viewer says that it cannot show it.
void CHarbelApp::UseEnglishPagesIfMissing() {
  if (platform::FileExists(m_strPageRoot)) return;
  const std::string english = app::EnglishPageFolder(m_strPageRoot);
  if (english.empty() || !platform::FileExists(english)) {
    platform::Trace("Page folder %s not found, nor English pages in %s.\n", m_strPageRoot.c_str(),
                    english.c_str());
    return;
  }
  platform::Trace("Page folder %s not found: showing the English pages in %s.\n",
                  m_strPageRoot.c_str(), english.c_str());
  m_strPageRoot = english;
}

// The viewer is the main window; its end code does not matter.
void CHarbelApp::RunViewer() {
  CViewerDlg viewer(m_strPageRoot, m_strIniFile);
  viewer.DoModal();
}

bool CHarbelApp::MakePageDirString(std::string& page_folder) {
  std::string root;
  if (!app::ParseOptionValue(m_lpCmdLine, "root_dir", root)) {
    const platform::ProgramPathResult program = platform::ProgramFilePath();
    if (!program.path) {
      platform::Trace("MakePageDirStirng: fail with error code %d!\n", program.error_code);
      return false;
    }
    const std::size_t last_separator = program.path->rfind('/');
    if (last_separator == std::string::npos) return false;
    root = program.path->substr(0, last_separator + 1);
  }
  const std::string lang_id = MakeLangIDString();
  m_strIniFile = root + "Setuvia.ini";
  m_strLangID = lang_id;
  if (platform::GetPrivateProfileInt("ModelSelectDialog", "Display", 0, m_strIniFile) != 0)
    m_bModelSelectDialog = 1;
  if (platform::GetPrivateProfileInt("LanguageSelectDialog", "Display", 0, m_strIniFile) != 0) {
    m_bLanguageSelectDialog = 1;
  }
  page_folder = app::MakePageFolderTemplate(root, lang_id, m_bModelSelectDialog != 0,
                                            m_bLanguageSelectDialog != 0);
  platform::Trace("MakePageDirString: PageRoot = %s.\n", page_folder.c_str());
  return true;
}
