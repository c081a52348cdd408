// Why a page file did not load, in words a packager can act on: the step that failed (for
// example "image read failed") and the reason (the codec's status text, or the page rule a
// BMP broke). The viewer traces it and the tree checker prints it.
#pragma once

#include <string>

struct PageLoadFailure {
  std::string step;
  std::string reason;
};
