// The size a page will be shown at, as the viewer decides it from the page's own size:
// a JPEG page shown smaller than it is can be decoded at a reduced size.
#pragma once

#include <functional>

struct PageExtent {
  int width = 0;
  int height = 0;
};

// Given a page's own width and height, the size it will be shown at.
using ShownSize = std::function<PageExtent(int width, int height)>;
