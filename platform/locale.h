// Languages: the user-interface language from the POSIX locale (as a Windows language id),
// the thread locale, and the resource loader's choice among the languages a resource has.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

using LangId = std::uint16_t;
inline constexpr LangId kLangEnglishUs = 0x0409;

// Maps a POSIX locale name "language[_TERRITORY][.codeset][@modifier]" to a language id;
// "C", "POSIX", an empty or unknown name give 0x0409.
LangId LangIdFromLocaleName(const std::string& locale_name);

// The user-interface language: from the first non-empty of LC_ALL, LC_MESSAGES, LANG.
LangId UserDefaultUILanguage();

// The thread locale, set once from the lang_id option; nothing until it is set.
void SetThreadLocale(LangId lang);
std::optional<LangId> ThreadLocale();
void ResetThreadLocaleForTesting();

// The language a resource is loaded in, given the languages it exists in: the thread
// locale's language when set and available, else the user-interface language when
// available, else English (0x0409).
LangId ChooseResourceLanguage(std::span<const LangId> available);

}  // namespace platform
