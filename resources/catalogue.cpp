// The resource catalogue: finds a resource by id and language and lists the languages
// each resource exists in.
#include "resources/resources.h"

#include "resources/app_icon.h"
#include "resources/dialog_tables.h"
#include "resources/string_table.h"

namespace resources {
namespace {

using platform::LangId;
using platform::ui::DialogTemplate;

// Every template of every dialog id.
std::vector<std::span<const DialogTemplate>> AllDialogTemplates() {
  return {ViewerDialogTemplates(), SelectionDialogTemplates()};
}

bool HasString(int id) {
  return id >= kFirstStringId && id <= kLastStringId;
}

}  // namespace

const DialogTemplate* FindDialog(int id, LangId language) {
  for (auto templates : AllDialogTemplates())
    for (const DialogTemplate& t : templates)
      if (t.id == id && t.language == language) return &t;
  return nullptr;
}

std::vector<LangId> DialogLanguages(int id) {
  std::vector<LangId> languages;
  for (auto templates : AllDialogTemplates())
    for (const DialogTemplate& t : templates)
      if (t.id == id) languages.push_back(t.language);
  return languages;
}

std::optional<std::string_view> FindString(int id, LangId language) {
  if (!HasString(id)) return std::nullopt;
  for (const StringTable& table : StringTables())
    if (table.language == language)
      return table.strings[static_cast<std::size_t>(id - kFirstStringId)];
  return std::nullopt;
}

std::vector<LangId> StringLanguages(int id) {
  std::vector<LangId> languages;
  if (HasString(id))
    for (const StringTable& table : StringTables()) languages.push_back(table.language);
  return languages;
}

const platform::ui::Icon* LoadIcon(int id) {
  return id == kAppIcon ? &AppIcon() : nullptr;
}

}  // namespace resources
