// The template a selection dialog is built from, in the resource loader's language; an
// empty template (a window with no controls) stands in should the resources lack it.
#pragma once

#include "platform/ui/dialog_template.h"
#include "resources/resources.h"

namespace app {

inline const platform::ui::DialogTemplate& DialogResource(int id) {
  static const platform::ui::DialogTemplate kMissing{};
  const platform::ui::DialogTemplate* tmpl = resources::LoadDialog(id);
  return tmpl != nullptr ? *tmpl : kMissing;
}

}  // namespace app
