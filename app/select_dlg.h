// CSelectDlg: the frame the model and the language dialogs share. Each is a dialog from its
// template with one drop-down list, filled at initialisation from the folders that exist
// below a page folder; OK hands the selected item's text to the dialog's own Choose and
// closes with OK. Esc and the close box close it without a choice.
#pragma once

#include <string>

#include "platform/ui/dialog.h"

class CSelectDlg : public platform::ui::Dialog {
 protected:
  // `page_folder` ends in "/"; `list_id` is the drop-down list's control id.
  CSelectDlg(int template_id, int list_id, std::string page_folder);

  platform::ui::Control* List() { return GetDlgItem(m_nListID); }
  const std::string& PageFolder() const { return m_strPageFolder; }

  void OnOK() final;
  // Takes the text of the item selected when OK was pressed (not called without a list).
  virtual void Choose(const std::string& text) = 0;

 private:
  int m_nListID;
  std::string m_strPageFolder;
};
