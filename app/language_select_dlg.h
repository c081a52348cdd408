// CLanguageSelectDlg: asks the user for the page language. The drop-down list offers the
// languages whose folder exists below the page folder built so far, in a fixed order, with
// the start-up language preselected; OK yields the chosen language's folder name.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/select_dlg.h"

inline constexpr int kIdLanguageList = 1001;

struct LanguageRow {
  std::string_view folder_name;
  int name_string_id;
};

// The languages offered, in the order the list shows them (Spanish before Traditional
// Chinese, though their string ids run the other way).
inline constexpr std::array<LanguageRow, 8> kLanguageTable = {{
    {"0x0409", 3},
    {"0x040C", 4},
    {"0x0407", 5},
    {"0x0410", 6},
    {"0x0411", 7},
    {"0x0804", 8},
    {"0x0C0A", 10},
    {"0x0404", 9},
}};

class CLanguageSelectDlg : public CSelectDlg {
 public:
  // `page_folder` ends in "/" and has no language part; `start_lang_id` is preselected.
  CLanguageSelectDlg(std::string page_folder, std::string start_lang_id);

  // The folder name chosen with OK; empty otherwise.
  const std::string& LangID() const { return m_strLangID; }

 protected:
  bool OnInitDialog() override;
  void Choose(const std::string& text) override;

 private:
  std::string m_strStartLangID;
  std::string m_strLangID;
};
