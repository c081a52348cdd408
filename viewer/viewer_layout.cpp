// The viewer's layout arithmetic; the dialog applies the results to its controls.
#include "viewer/viewer_layout.h"

#include <algorithm>
#include <cstdint>

namespace viewer {
namespace {

// A button of the given size whose right edge is at `right` and whose top is at `top`.
Rect ButtonEndingAt(int right, int top, Size size) {
  return {right - size.cx, top, right, top + size.cy};
}

constexpr int kExitMargin = 20;
constexpr int kNextGap = 20;
constexpr int kPreviousGap = 5;

}  // namespace

int ClientWidthForPage(int w, const ButtonSizes& buttons) {
  const int row = kExitMargin + buttons.previous.cx + kPreviousGap + buttons.next.cx + kNextGap +
                  buttons.exit.cx + kExitMargin;
  return std::max(w, row);
}

ControlLayout LayoutForPage(int w, int h, const ButtonSizes& buttons) {
  const int client_width = ClientWidthForPage(w, buttons);
  ControlLayout layout;
  layout.picture = Rect::FromSize((client_width - w) / 2, 0, w, h);
  layout.etched_line = {5, h + 5, client_width - 5, h + 7};
  const int top = h + 16;
  layout.exit = ButtonEndingAt(client_width - kExitMargin, top, buttons.exit);
  layout.next = ButtonEndingAt(layout.exit.left - kNextGap, top, buttons.next);
  layout.previous = ButtonEndingAt(layout.next.left - kPreviousGap, top, buttons.previous);
  return layout;
}

Rect PageWindowRect(const Rect& window, int frame_width, int client_width, int h) {
  return {window.left, window.top, window.left + client_width + frame_width,
          window.top + h + kButtonRowAllowance};
}

PageFit FitPageToWorkArea(int w, int h, const Rect& work_area, int frame_width) {
  const std::int64_t max_w = std::max(1, work_area.Width() - frame_width);
  const std::int64_t max_h = std::max(1, work_area.Height() - kButtonRowAllowance);
  if (w <= 0 || h <= 0 || (w <= max_w && h <= max_h)) return {w, h};
  PageFit fit{.scaled = true};
  if (max_w * h <= max_h * w) {  // the width limits
    fit.width = static_cast<int>(max_w);
    fit.height = static_cast<int>(std::max<std::int64_t>(1, h * max_w / w));
  } else {
    fit.height = static_cast<int>(max_h);
    fit.width = static_cast<int>(std::max<std::int64_t>(1, w * max_h / h));
  }
  fit.percent = static_cast<int>((std::int64_t{fit.width} * 200 + w) / (2 * std::int64_t{w}));
  return fit;
}

std::string ReplaceProductName(std::string caption, const std::string& product_name) {
  static const std::string kPlaceholder = "ProductName";
  for (std::size_t at = caption.find(kPlaceholder); at != std::string::npos;
       at = caption.find(kPlaceholder, at + product_name.size()))
    caption.replace(at, kPlaceholder.size(), product_name);
  return caption;
}

}  // namespace viewer
