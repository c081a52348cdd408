// Reading a language id from the lang_id text.
#pragma once

#include <optional>
#include <string>

#include "platform/locale.h"

namespace app {

// "0x" followed by one to four hexadecimal digits (later characters are ignored); nothing
// when the text does not begin so.
std::optional<platform::LangId> ReadLangId(const std::string& text);

}  // namespace app
