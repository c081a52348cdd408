// The application object and its start-up routine: it settles the page folder from the
// command line, the configuration file and the user-interface language, lets the user pick
// a model and a language when the configuration asks for it (cancelling either ends the
// program), falls back to the English pages when the language has none, and runs the viewer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/locale.h"

class CHarbelApp {
 public:
  explicit CHarbelApp(std::string command_line_tail = {});

  // Runs start-up to its end; always false: there is no message loop after it.
  bool InitInstance();

  // Settles the root folder, language, configuration path and switches, and writes the
  // page-folder template into `page_folder`. False when the program's folder is unknown.
  bool MakePageDirString(std::string& page_folder);
  // The language folder name from the lang_id option (which also sets the thread locale),
  // else from detection restricted to the supported languages.
  std::string MakeLangIDString();
  // The user-interface language from the one source the platform offers.
  platform::LangId DetectUILanguage();

  std::string PageRoot() const { return m_strPageRoot; }
  std::string LangID() const { return m_strLangID; }
  std::string IniFile() const { return m_strIniFile; }
  std::int32_t ModelSelectDialog() const { return m_bModelSelectDialog; }
  std::int32_t LanguageSelectDialog() const { return m_bLanguageSelectDialog; }
  std::string ModelName() const { return m_strModelName; }
  // What is left of the command-line tail once the options were taken out.
  const std::string& CommandLine() const { return m_lpCmdLine; }

 private:
  bool SelectModel();
  bool SelectLanguage();
  void UseEnglishPagesIfMissing();
  void RunViewer();

  std::string m_lpCmdLine;

  std::string m_strPageRoot;
  std::string m_strLangID;
  std::int32_t m_bModelSelectDialog = 0;
  std::int32_t m_bLanguageSelectDialog = 0;
  std::string m_strModelName;
  std::string m_strIniFile;
};
