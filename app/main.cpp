// The program: one static application object whose start-up routine does everything, once an
// X display is known to be there (without one, a line on standard error and status 1).
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/harbel_app.h"
#include "platform/ui/backend.h"

namespace {

void ReportNoDisplay() {
  const char* display = std::getenv("DISPLAY");
  if (display && *display)
    std::fprintf(stderr, "setuvia: cannot open the X display \"%s\"\n", display);
  else
    std::fprintf(stderr, "setuvia: no X display to open (DISPLAY is not set)\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (!platform::ui::CanShowDialogs()) {
    ReportNoDisplay();
    return 1;
  }
  static CHarbelApp the_app(app::CommandLineTail(argc, argv));
  the_app.InitInstance();
  return 0;
}
