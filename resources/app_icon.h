// The application icon (resource 128).
#pragma once

#include "platform/ui/icon.h"

namespace resources {

const platform::ui::Icon& AppIcon();

}  // namespace resources
