// The language dialog: fills the list from the folders that exist, maps the chosen name
// back to its folder name on OK.
#include "app/language_select_dlg.h"

#include <utility>

#include "platform/file_system.h"
#include "platform/text.h"
#include "resources/resources.h"

CLanguageSelectDlg::CLanguageSelectDlg(std::string page_folder, std::string start_lang_id)
    : CSelectDlg(resources::kLanguageDialog, kIdLanguageList, std::move(page_folder)),
      m_strStartLangID(std::move(start_lang_id)) {}

bool CLanguageSelectDlg::OnInitDialog() {
  platform::ui::Control* list = List();
  if (list == nullptr) return true;
  int index = 0;
  bool found = false;
  for (const LanguageRow& row : kLanguageTable) {
    const std::string folder(row.folder_name);
    if (!platform::FileExists(PageFolder() + folder + "/")) continue;
    list->AddString(resources::LoadString(row.name_string_id));
    if (platform::EqualsNoCaseAscii(m_strStartLangID, folder)) {
      list->SetCurSel(index);
      found = true;
    }
    ++index;
  }
  if (!found) list->SetCurSel(0);
  return true;
}

// The name is matched against the names loaded anew; the first equal one wins.
void CLanguageSelectDlg::Choose(const std::string& text) {
  for (const LanguageRow& row : kLanguageTable) {
    if (resources::LoadString(row.name_string_id) == text) {
      m_strLangID = std::string(row.folder_name);
      return;
    }
  }
}
