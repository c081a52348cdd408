// The program's own resources: dialog templates, the string table and the application
// icon, compiled in per language. A look-up picks the language by the resource loader's
// rule (platform::ChooseResourceLanguage): the thread locale's language when the resource
// exists in it, else the user-interface language when it exists in it, else English.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/locale.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/icon.h"

namespace resources {

// Resource ids.
inline constexpr int kViewerDialog = 102;
inline constexpr int kAppIcon = 128;
inline constexpr int kLanguageDialog = 133;
inline constexpr int kModelDialog = 135;

// String ids: the Next button's two labels, the language names and the text in place of a
// page that cannot be shown.
inline constexpr int kStringNext = 1;
inline constexpr int kStringFinish = 2;
inline constexpr int kStringEnglish = 3;
inline constexpr int kStringFrench = 4;
inline constexpr int kStringGerman = 5;
inline constexpr int kStringItalian = 6;
inline constexpr int kStringJapanese = 7;
inline constexpr int kStringSimplifiedChinese = 8;
inline constexpr int kStringTraditionalChinese = 9;
inline constexpr int kStringSpanish = 10;
inline constexpr int kStringCannotShowPage = 11;

// The template `id` in the loader's language; nullptr when no language has it.
const platform::ui::DialogTemplate* LoadDialog(int id);
// The string `id` in the loader's language (UTF-8); "" when no language has it.
std::string LoadString(int id);
// The icon `id` (icons are language-neutral); nullptr when absent.
const platform::ui::Icon* LoadIcon(int id);

// Exact look-ups, without the language rule.
const platform::ui::DialogTemplate* FindDialog(int id, platform::LangId language);
std::optional<std::string_view> FindString(int id, platform::LangId language);
std::vector<platform::LangId> DialogLanguages(int id);
std::vector<platform::LangId> StringLanguages(int id);

}  // namespace resources
