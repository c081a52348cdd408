// Setuvia.ini as the program reads it: the two switches, the model list up to its first gap
// and the product name, each with the value the read gives. Values the reads change (a
// switch that is no number, a text cut at 63 characters, models after a gap) are warnings,
// and so are sections and keys the program never reads: a misspelt name is silently unused.
#include "check/configuration_check.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace check {
namespace {

constexpr const char kModelSection[] = "ModelSelectDialog";
constexpr std::array<std::string_view, 3> kSections = {kModelSection, "LanguageSelectDialog",
                                                       "Product Name"};

template <typename Names>
bool ContainsNoCase(const Names& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(),
                     [name](std::string_view n) { return platform::EqualsNoCaseAscii(n, name); });
}

// "Model" and a number as "%d" writes it: Model1, Model2, ... (never Model01).
bool IsModelKey(std::string_view key) {
  if (key.size() < 6 || !platform::EqualsNoCaseAscii(key.substr(0, 5), "Model") || key[5] == '0')
    return false;
  return key.find_first_not_of("0123456789", 5) == std::string_view::npos;
}

bool IsReadKey(std::string_view section, std::string_view key) {
  if (platform::EqualsNoCaseAscii(section, "Product Name"))
    return platform::EqualsNoCaseAscii(key, "Name");
  if (platform::EqualsNoCaseAscii(section, kModelSection) && IsModelKey(key)) return true;
  return platform::EqualsNoCaseAscii(key, "Display");
}

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

void CheckUnreadKeys(const std::string& ini, const std::string& section, Report& report) {
  std::vector<std::string> seen;
  for (const std::string& key : platform::GetPrivateProfileKeyNames(section, ini)) {
    const bool repeated = ContainsNoCase(seen, key);
    seen.push_back(key);
    if (IsReadKey(section, key) && !repeated) continue;
    report.Add({"setting", KeyName(section, key), "ignored",
                repeated ? "only the first key of this name counts"
                         : "Setuvia reads no key of this name here",
                Verdict::kWarning});
  }
}

void CheckUnreadEntries(const std::string& ini, Report& report) {
  std::vector<std::string> seen;
  for (const std::string& section : platform::GetPrivateProfileSectionNames(ini)) {
    const bool repeated = ContainsNoCase(seen, section);
    seen.push_back(section);
    if (ContainsNoCase(kSections, section) && !repeated) {
      CheckUnreadKeys(ini, section, report);
      continue;
    }
    report.Add({"setting", "[" + section + "]", "ignored",
                repeated ? "only the first section of this name counts"
                         : "Setuvia reads no section of this name",
                Verdict::kWarning});
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
  CheckUnreadEntries(ini_file, report);
  return configuration;
}

}  // namespace check
