// CModelSelectDlg: asks the user for the product model. The drop-down list offers the
// models the configuration file names (Model1, Model2, ... up to the first gap) whose page
// folder exists, in key order, the first preselected; OK yields the chosen model's name.
#pragma once

#include <string>

#include "app/select_dlg.h"

inline constexpr int kIdModelList = 1003;

class CModelSelectDlg : public CSelectDlg {
 public:
  // `page_folder` is the template holding the model placeholder; `ini_file` the configuration.
  CModelSelectDlg(std::string page_folder, std::string ini_file);

  // The model chosen with OK; empty otherwise.
  const std::string& ModelName() const { return m_strModelName; }

 protected:
  bool OnInitDialog() override;
  void Choose(const std::string& text) override { m_strModelName = text; }

 private:
  std::string m_strIniFile;
  std::string m_strModelName;
};
