// Language folder names: the supported set and reading a language id from the lang_id text.
#pragma once

#include <optional>
#include <string>

#include "platform/locale.h"

namespace app {

// One of the ten folder names detection may give ("0x0404" ... "0x0c0a"), compared exactly.
bool IsDetectableLanguageFolder(const std::string& folder_name);

// "0x" followed by one to four hexadecimal digits (later characters are ignored); nothing
// when the text does not begin so.
std::optional<platform::LangId> ReadLangId(const std::string& text);

}  // namespace app
