// System facts for language detection, and their test doubles.
#include "platform/system_info.h"

#include <map>
#include <string>

namespace platform {
namespace {

struct Doubles {
  bool ui_language_missing = false;
  bool windows_9x = false;
  std::map<std::string, std::vector<LangId>> version_languages;
};

Doubles& State() {
  static Doubles doubles;
  return doubles;
}

}  // namespace

UILanguageFunction FindUserDefaultUILanguage() {
  return State().ui_language_missing ? nullptr : &UserDefaultUILanguage;
}

bool IsWindows9xFamily() {
  return State().windows_9x;
}

bool EnumVersionResourceLanguages(const std::string& module,
                                  const std::function<bool(LangId)>& visit) {
  const auto found = State().version_languages.find(module);
  if (found == State().version_languages.end()) return false;
  for (LangId lang : found->second) {
    if (!visit(lang)) break;
  }
  return true;
}

void SetUserDefaultUILanguageMissingForTesting(bool missing) {
  State().ui_language_missing = missing;
}
void SetWindows9xFamilyForTesting(bool windows_9x) {
  State().windows_9x = windows_9x;
}

void SetVersionResourceLanguagesForTesting(const std::string& module,
                                           std::optional<std::vector<LangId>> languages) {
  if (languages) {
    State().version_languages[module] = std::move(*languages);
  } else {
    State().version_languages.erase(module);
  }
}

void ResetSystemInfoForTesting() {
  State() = Doubles{};
}

}  // namespace platform
