// Loading a resource in the language the platform's resource loader rule picks among
// those the resource exists in.
#include "platform/locale.h"
#include "resources/resources.h"

namespace resources {

using platform::LangId;
using platform::ui::DialogTemplate;

const DialogTemplate* LoadDialog(int id) {
  const std::vector<LangId> languages = DialogLanguages(id);
  if (languages.empty()) return nullptr;
  return FindDialog(id, platform::ChooseResourceLanguage(languages));
}

std::string LoadString(int id) {
  const std::vector<LangId> languages = StringLanguages(id);
  if (languages.empty()) return {};
  return std::string(FindString(id, platform::ChooseResourceLanguage(languages)).value_or(""));
}

}  // namespace resources
