// The model dialog. A model is listed exactly as its folder was tested: the name keeps any
// "_" of its own, so the folder start-up forms from the listed name ("_" + name in place of
// the placeholder) is always the folder that was found to exist.
#include "app/model_select_dlg.h"

#include <utility>

#include "app/page_folder.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "resources/resources.h"

CModelSelectDlg::CModelSelectDlg(std::string page_folder, std::string ini_file)
    : CSelectDlg(resources::kModelDialog, kIdModelList, std::move(page_folder)),
      m_strIniFile(std::move(ini_file)) {}

bool CModelSelectDlg::OnInitDialog() {
  platform::ui::Control* list = List();
  if (list == nullptr) return true;
  for (int i = 1;; ++i) {
    const std::string model = platform::GetPrivateProfileString(
        "ModelSelectDialog", "Model" + std::to_string(i), "", m_strIniFile);
    if (model.empty()) break;
    std::string candidate = PageFolder();
    app::ReplaceModelPlaceholder(candidate, "_" + model);
    if (platform::FileExists(candidate)) list->AddString(model);
  }
  list->SetCurSel(0);
  return true;
}
