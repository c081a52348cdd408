// Page-folder templates: R + "PageData" [+ model part] + "/" [+ language folder + "/"].
#include "app/page_folder.h"

namespace app {

bool IsDetectableLanguageFolder(const std::string& folder_name) {
  for (std::string_view name : kDetectableLanguageFolders) {
    if (name == folder_name) return true;
  }
  return false;
}

std::string MakePageFolderTemplate(const std::string& root, const std::string& lang_id,
                                   bool model_dialog, bool language_dialog) {
  std::string folder = root + "PageData";
  if (model_dialog) folder += kModelPlaceholder;
  folder += "/";
  if (!language_dialog) folder += lang_id + "/";
  return folder;
}

void ReplaceModelPlaceholder(std::string& page_folder, const std::string& model_part) {
  const std::string placeholder = kModelPlaceholder;
  std::size_t at = 0;
  while ((at = page_folder.find(placeholder, at)) != std::string::npos) {
    page_folder.replace(at, placeholder.size(), model_part);
    at += model_part.size();
  }
}

std::string EnglishPageFolder(const std::string& page_folder) {
  if (page_folder.empty()) return {};
  const std::size_t parent_end = page_folder.rfind('/', page_folder.size() - 2);
  if (parent_end == std::string::npos) return {};
  return page_folder.substr(0, parent_end + 1) + "0x0409/";
}

}  // namespace app
