// The selection dialogs' shared OK handling.
#include "app/select_dlg.h"

#include <utility>

#include "app/dialog_resource.h"

CSelectDlg::CSelectDlg(int template_id, int list_id, std::string page_folder)
    : Dialog(app::DialogResource(template_id)),
      m_nListID(list_id),
      m_strPageFolder(std::move(page_folder)) {}

void CSelectDlg::OnOK() {
  const platform::ui::Control* list = List();
  if (list != nullptr) Choose(list->GetLBText(list->GetCurSel()));
  EndDialog(platform::ui::kIdOk);
}
