// The dialog templates of every id and language, gathered from the files that define them.
#pragma once

#include <span>

#include "platform/ui/dialog_template.h"

namespace resources {

std::span<const platform::ui::DialogTemplate> ViewerDialogTemplates();
// Templates 133 (language) and 135 (model).
std::span<const platform::ui::DialogTemplate> SelectionDialogTemplates();

}  // namespace resources
