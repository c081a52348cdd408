// What language detection asks of the system besides the locale: whether the
// user-interface-language function exists, the platform family, and the languages of a
// module's version resource. On Linux the function always exists, the family is NT-like and
// no module carries a version resource; test doubles simulate the other cases.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/locale.h"

namespace platform {

using UILanguageFunction = LangId (*)();

// The GetUserDefaultUILanguage stand-in when present, else nullptr.
UILanguageFunction FindUserDefaultUILanguage();

// True on the Windows 9x family (the version's top bit); never on Linux.
bool IsWindows9xFamily();

// Calls `visit` with each language of the version resource of the loaded module `module`,
// in order, while it returns true. False when no such module is loaded.
bool EnumVersionResourceLanguages(const std::string& module,
                                  const std::function<bool(LangId)>& visit);

// Test doubles; each Reset restores the Linux behaviour.
void SetUserDefaultUILanguageMissingForTesting(bool missing);
void SetWindows9xFamilyForTesting(bool windows_9x);
// `languages` nothing: the module is not loaded.
void SetVersionResourceLanguagesForTesting(const std::string& module,
                                           std::optional<std::vector<LangId>> languages);
void ResetSystemInfoForTesting();

}  // namespace platform
