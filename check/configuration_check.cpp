// Setuvia.ini as the program reads it: the two switches, the model list up to its first gap
// and the product name, each with the value the read gives. Values the reads change (a
// switch that is no number, a text cut at 63 characters, models after a gap) are warnings.
#include "check/configuration_check.h"

#include <string_view>

#include "platform/file_system.h"
#include "platform/profile.h"

namespace check {
namespace {

constexpr const char kModelSection[] = "ModelSelectDialog";

std::string KeyName(std::string_view section, std::string_view key) {
  std::string name = "[";
  name.append(section).append("] ").append(key);
  return name;
}

// An optional sign and decimal digits, nothing else: any other text reads as a number too,
// but not as the packager may think.
bool IsPlainNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool CheckSwitch(const std::string& ini, const char* section, const char* dialog, Report& report) {
  const int value = platform::GetPrivateProfileInt(section, "Display", 0, ini);
  const auto written = platform::GetPrivateProfileValue(section, "Display", ini);
  Finding finding{"setting", KeyName(section, "Display"), std::to_string(value),
                  std::string(dialog) + (value != 0 ? " dialog on" : " dialog off")};
  if (!written) finding.detail += " (no key)";
  if (written && !IsPlainNumber(*written)) {
    finding.detail += " (\"" + *written + "\" is no number)";
    finding.verdict = Verdict::kWarning;
  }
  report.Add(std::move(finding));
  return value != 0;
}

// A text as the program reads it, cut at 63 characters.
std::string CheckText(const std::string& ini, const char* section, const std::string& key,
                      const std::string& default_value, Report& report) {
  const std::string value = platform::GetPrivateProfileString(section, key, default_value, ini);
  const auto written = platform::GetPrivateProfileValue(section, key, ini);
  Finding finding{"setting", KeyName(section, key), value, written ? "" : "default"};
  if (written && *written != value) {
    finding.detail = "cut to 63 characters";
    finding.verdict = Verdict::kWarning;
  }
  report.Add(std::move(finding));
  return value;
}

std::vector<std::string> CheckModels(const std::string& ini, Report& report) {
  std::vector<std::string> models;
  for (int i = 1;; ++i) {
    const std::string key = "Model" + std::to_string(i);
    if (platform::GetPrivateProfileString(kModelSection, key, "", ini).empty()) {
      const std::string next = "Model" + std::to_string(i + 1);
      if (platform::GetPrivateProfileValue(kModelSection, next, ini)) {
        report.Add({"setting", KeyName(kModelSection, next), "never read",
                    key + " is missing or empty, so the model list ends before it",
                    Verdict::kWarning});
      }
      return models;
    }
    models.push_back(CheckText(ini, kModelSection, key, "", report));
  }
}

}  // namespace

Configuration CheckConfiguration(const std::string& ini_file, Report& report) {
  if (platform::FileExists(ini_file)) {
    report.Add({"ini", ini_file, "found", ""});
  } else {
    report.Add({"ini", ini_file, "missing", "every key reads its default"});
  }
  Configuration configuration;
  configuration.model_dialog = CheckSwitch(ini_file, kModelSection, "model", report);
  configuration.models = CheckModels(ini_file, report);
  configuration.language_dialog = CheckSwitch(ini_file, "LanguageSelectDialog", "language", report);
  CheckText(ini_file, "Product Name", "Name", "VORN", report);
  return configuration;
}

}  // namespace check
