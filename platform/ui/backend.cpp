// Which backend dialogs use: the one a test installed, else the real window.
#include "platform/ui/backend.h"

#include "platform/ui/fltk_backend.h"

namespace platform::ui {
namespace {
Backend* g_installed = nullptr;
}  // namespace

Backend& CurrentBackend() {
  return g_installed ? *g_installed : FltkBackend();
}

bool CanShowDialogs() {
  return g_installed || FltkDisplayReachable();
}

void InstallBackend(Backend* backend) {
  g_installed = backend;
}

}  // namespace platform::ui
