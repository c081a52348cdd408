// The viewer's geometry and title as plain arithmetic, free of any window: the size a page
// is shown at on a given work area, where the picture frame, the etched line and the button
// row go below it, the window rectangle that fits it, and the product name in the caption.
#pragma once

#include <string>

#include "platform/ui/geometry.h"

namespace viewer {

using platform::ui::Rect;
using platform::ui::Size;

// Space below the page, in the window's outer height, for caption, borders and button row.
inline constexpr int kButtonRowAllowance = 80;

struct ButtonSizes {
  Size exit;
  Size next;
  Size previous;
};

// Control rectangles in the dialog's client area for a page of w x h pixels.
struct ControlLayout {
  Rect picture;
  Rect etched_line;
  Rect exit;
  Rect next;
  Rect previous;
};

// The client width for a page w pixels wide: the page's own, or what the button row needs
// when the page is narrower ("Previous", "Next" and "Exit" with their gaps and 20 pixels on
// either side), so that every button stays inside the window.
int ClientWidthForPage(int w, const ButtonSizes& buttons);

// The picture frame holds the page at 1:1, centred in a client area of ClientWidthForPage;
// the etched line runs 5 pixels in from either side of the client area just below the page;
// the buttons, keeping their sizes, stand 16 pixels below the page, "Exit" ending 20 pixels
// from the right, "Next" 20 pixels left of it, "Previous" 5 pixels left of that.
ControlLayout LayoutForPage(int w, int h, const ButtonSizes& buttons);

// The outer window rectangle for a client area `client_width` wide below which a page h
// pixels high sits: the same top-left corner, the client width plus the window frame's width
// (so that no column of the page hides behind the frame), and h plus kButtonRowAllowance.
Rect PageWindowRect(const Rect& window, int frame_width, int client_width, int h);

// The size a page of w x h pixels is shown at.
struct PageFit {
  int width = 0;
  int height = 0;
  bool scaled = false;  // shrunk to fit the work area
  int percent = 100;    // the shown width against the page's, rounded
};

// A page whose window would stick out of the work area is shrunk, aspect kept, until its
// window (frame and button row included) fits; a page that fits is shown at 1:1.
PageFit FitPageToWorkArea(int w, int h, const Rect& work_area, int frame_width);

// The caption with every "ProductName" (case-sensitive) replaced by the product name.
std::string ReplaceProductName(std::string caption, const std::string& product_name);

}  // namespace viewer
