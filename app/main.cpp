// The program: one static application object whose start-up routine does everything.
#include "app/command_line.h"
#include "app/harbel_app.h"

int main(int argc, char** argv) {
  static CHarbelApp the_app(app::CommandLineTail(argc, argv));
  the_app.InitInstance();
  return 0;
}
