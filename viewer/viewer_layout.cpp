// The viewer's layout arithmetic; the dialog applies the results to its controls.
#include "viewer/viewer_layout.h"

namespace viewer {
namespace {

// A button of the given size whose right edge is at `right` and whose top is at `top`.
Rect ButtonEndingAt(int right, int top, Size size) {
  return {right - size.cx, top, right, top + size.cy};
}

}  // namespace

ControlLayout LayoutForPage(int w, int h, const ButtonSizes& buttons) {
  ControlLayout layout;
  layout.picture = {0, 0, w, h};
  layout.etched_line = {5, h + 5, w - 5, h + 7};
  const int top = h + 16;
  layout.exit = ButtonEndingAt(w - 20, top, buttons.exit);
  layout.next = ButtonEndingAt(layout.exit.left - 20, top, buttons.next);
  layout.previous = ButtonEndingAt(layout.next.left - 5, top, buttons.previous);
  return layout;
}

Rect PageWindowRect(const Rect& window, int frame_width, int w, int h) {
  return {window.left, window.top, window.left + w + frame_width,
          window.top + h + kButtonRowAllowance};
}

std::string ReplaceProductName(std::string caption, const std::string& product_name) {
  static const std::string kPlaceholder = "ProductName";
  for (std::size_t at = caption.find(kPlaceholder); at != std::string::npos;
       at = caption.find(kPlaceholder, at + product_name.size()))
    caption.replace(at, kPlaceholder.size(), product_name);
  return caption;
}

}  // namespace viewer
