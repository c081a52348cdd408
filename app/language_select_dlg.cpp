// The language dialog: fills the list from the folders that exist, maps the chosen name
// back to its folder name on OK.
#include "app/language_select_dlg.h"

#include <utility>

#include "app/dialog_resource.h"
#include "platform/file_system.h"
#include "platform/text.h"

CLanguageSelectDlg::CLanguageSelectDlg(std::string page_folder, std::string start_lang_id)
    : Dialog(app::DialogResource(resources::kLanguageDialog)),
      m_strPageFolder(std::move(page_folder)),
      m_strStartLangID(std::move(start_lang_id)) {}

platform::ui::Control* CLanguageSelectDlg::List() { return GetDlgItem(kIdLanguageList); }

bool CLanguageSelectDlg::OnInitDialog() {
  platform::ui::Control* list = List();
  if (list == nullptr) return true;
  int index = 0;
  bool found = false;
  for (const LanguageRow& row : kLanguageTable) {
    const std::string folder(row.folder_name);
    if (!platform::FileExists(m_strPageFolder + folder + "/")) continue;
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
void CLanguageSelectDlg::OnOK() {
  const platform::ui::Control* list = List();
  if (list != nullptr) {
    const std::string chosen = list->GetLBText(list->GetCurSel());
    for (const LanguageRow& row : kLanguageTable) {
      if (resources::LoadString(row.name_string_id) == chosen) {
        m_strLangID = std::string(row.folder_name);
        break;
      }
    }
  }
  EndDialog(platform::ui::kIdOk);
}
