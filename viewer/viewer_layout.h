// The viewer's geometry and title as plain arithmetic, free of any window: where the picture
// frame, the etched line and the button row go below a page, the window rectangle that fits a
// page, and the product name put into the caption.
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

// The picture fills (0, 0, w, h); the etched line runs 5 pixels in from either side just
// below it; the buttons, keeping their sizes, stand 16 pixels below the page, "Exit" ending
// 20 pixels from the right, "Next" 20 pixels left of it, "Previous" 5 pixels left of that.
ControlLayout LayoutForPage(int w, int h, const ButtonSizes& buttons);

// The outer window rectangle for a page of w x h pixels: the same top-left corner, the page
// width plus the window frame's width (so that no column of the page hides behind the frame),
// and the page height plus kButtonRowAllowance.
Rect PageWindowRect(const Rect& window, int frame_width, int w, int h);

// The caption with every "ProductName" (case-sensitive) replaced by the product name.
std::string ReplaceProductName(std::string caption, const std::string& product_name);

}  // namespace viewer
