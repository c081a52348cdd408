// The checker's order: the configuration file, then the page folders start-up can reach with
// it (the model folders when the model dialog is on, and "PageData"), then the verdict.
#include "check/tree_check.h"

#include <algorithm>

#include "check/configuration_check.h"
#include "check/page_folder_check.h"
#include "platform/file_system.h"

namespace check {
namespace {

// Every model folder is checked, also while the model dialog is off: switching it on is one
// line of the configuration file.
void CheckModels(const std::string& root, const Configuration& configuration, Report& report) {
  for (const std::string& model : configuration.models) {
    const std::string folder = PageDataFolder(root, "_" + model);
    if (!platform::FileExists(folder)) {
      report.Add({"model", model, "no folder",
                  folder + " is missing: the model dialog leaves the model out",
                  Verdict::kWarning});
      continue;
    }
    report.Add({"model", model, configuration.model_dialog ? "offered" : "unused",
                configuration.model_dialog ? folder : folder + " (the model dialog is off)"});
    CheckPageDataFolder(root, "_" + model, true, configuration.language_dialog, report);
  }
}

}  // namespace

int Report::Count(Verdict verdict) const {
  return static_cast<int>(
      std::count_if(findings.begin(), findings.end(),
                    [verdict](const Finding& f) { return f.verdict == verdict; }));
}

Report CheckTree(const std::string& root) {
  Report report;
  const Configuration configuration = CheckConfiguration(root + "Setuvia.ini", report);
  CheckModels(root, configuration, report);
  // With the model dialog on, "PageData" is used only when no model is chosen.
  CheckPageDataFolder(root, "", !configuration.model_dialog, configuration.language_dialog, report);
  const int failures = report.Count(Verdict::kFailure);
  report.Add({"result", root, failures == 0 ? "pass" : "fail",
              std::to_string(report.pages) + " pages: " + std::to_string(report.pages_shown) +
                  " shown, " + std::to_string(report.pages - report.pages_shown) + " not shown; " +
                  std::to_string(failures) + " failures, " +
                  std::to_string(report.Count(Verdict::kWarning)) + " warnings"});
  return report;
}

int ExitStatus(const Report& report) {
  return report.Count(Verdict::kFailure) == 0 ? 0 : 1;
}

}  // namespace check
