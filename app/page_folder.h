// The page-folder templates, their completion after the selection dialogs, and the
// language folder names detection may give.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace app {

// The ten language folder names detection may give, in the case detection writes them.
inline constexpr std::array<std::string_view, 10> kDetectableLanguageFolders = {
    "0x0404", "0x0407", "0x0409", "0x040c", "0x0410",
    "0x0411", "0x0412", "0x0419", "0x0804", "0x0c0a"};

// One of the ten names above, compared exactly.
bool IsDetectableLanguageFolder(const std::string& folder_name);

// Stands for "_" and the model name until the model dialog has run.
inline constexpr const char* kModelPlaceholder = "DirModelName";

// The page folder the two switches call for: with the model switch the model part is the
// placeholder; with the language switch the language part is left for the dialog.
std::string MakePageFolderTemplate(const std::string& root, const std::string& lang_id,
                                   bool model_dialog, bool language_dialog);

// Replaces every occurrence of the placeholder in `page_folder` by `model_part`.
void ReplaceModelPlaceholder(std::string& page_folder, const std::string& model_part);

// The English pages beside a page folder: its last part (the language folder, possibly
// empty) replaced by "0x0409". A folder without "/" has no such sibling: "" then.
std::string EnglishPageFolder(const std::string& page_folder);

}  // namespace app
