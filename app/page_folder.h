// The page-folder templates and their completion after the selection dialogs.
#pragma once

#include <string>

namespace app {

// Stands for "_" and the model name until the model dialog has run.
inline constexpr const char* kModelPlaceholder = "DirModelName";

// The page folder the two switches call for: with the model switch the model part is the
// placeholder; with the language switch the language part is left for the dialog.
std::string MakePageFolderTemplate(const std::string& root, const std::string& lang_id,
                                   bool model_dialog, bool language_dialog);

// Replaces every occurrence of the placeholder in `page_folder` by `model_part`.
void ReplaceModelPlaceholder(std::string& page_folder, const std::string& model_part);

}  // namespace app
