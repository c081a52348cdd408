// CModelSelectDlg: asks the user for the product model. The drop-down list offers the
// models the configuration file names (Model1, Model2, ... up to the first gap) whose page
// folder exists, in key order, the first preselected; OK yields the chosen model's name.
#pragma once

#include <string>

#include "platform/ui/dialog.h"

inline constexpr int kIdModelList = 1003;

class CModelSelectDlg : public platform::ui::Dialog {
 public:
  // `page_folder` is the template holding the model placeholder; `ini_file` the configuration.
  CModelSelectDlg(std::string page_folder, std::string ini_file);

  // The model chosen with OK; empty otherwise.
  const std::string& ModelName() const { return m_strModelName; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  platform::ui::Control* List();

  std::string m_strPageFolder;
  std::string m_strIniFile;
  std::string m_strModelName;
};
