// The real window: dialogs shown with FLTK on the X display.
#pragma once

#include "platform/ui/backend.h"

namespace platform::ui {

Backend& FltkBackend();
// Opens the X display if it is not open yet; false when none is reachable.
bool FltkDisplayReachable();

}  // namespace platform::ui
