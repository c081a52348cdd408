// The real window: dialogs shown with FLTK on the X display.
#pragma once

#include "platform/ui/backend.h"

namespace platform::ui {

Backend& FltkBackend();

}  // namespace platform::ui
