// Geometry of the dialog layer: rectangles as left, top, right, bottom (right and bottom
// exclusive, as the window system counts them), sizes and the window frame's extents.
#pragma once

namespace platform::ui {

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  static Rect FromSize(int x, int y, int cx, int cy) { return {x, y, x + cx, y + cy}; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// What the window manager draws around the client area (caption, borders), in pixels.
// All zero under a bare X server.
struct FrameExtents {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

}  // namespace platform::ui
