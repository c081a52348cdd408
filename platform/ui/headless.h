// The headless backend: dialogs run without a display, for unit tests. It records what a
// real window would show (geometry, invalidations, drawn images and icons) and lets a test
// play the user while a dialog is modal.
//
//   platform::ui::headless::Session session;       // installs the backend for its lifetime
//   session.set_driver([&](platform::ui::Dialog& dlg) {
//     EXPECT_EQ(dlg.GetDlgItem(4)->GetWindowText(), "Next >");
//     dlg.ClickButton(4);                           // or dlg.HandleKey(Key::kTab), dlg.Close()
//     session.Paint(dlg);
//   });
//   int code = dialog.DoModal();                    // -1 when the driver left it running
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/dib.h"
#include "platform/ui/geometry.h"

namespace platform::ui::headless {

struct Screen {
  Rect bounds{0, 0, 1024, 768};
  Rect work_area{0, 0, 1024, 768};
};

struct Invalidation {
  Rect rect;  // in the dialog's client area
  bool erase = true;
};

struct DrawnImage {
  int control_id = 0;
  Rect dest;  // in the dialog's client area, after clipping to the control
  std::shared_ptr<const RgbImage> image;
};

struct DrawnText {
  Rect rect;  // in the dialog's client area
  std::string text;
};

struct DrawnIcon {
  int x = 0;
  int y = 0;
  const Icon* icon = nullptr;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The simulated display. Defaults: a 1024 x 768 screen that is all work area, no window
  // frame, dialog base units 6 x 13 (an 8-point sans-serif face at 96 dpi).
  void set_screen(const Screen& screen);
  void set_frame(const FrameExtents& frame);
  void set_base_units(Size units);

  // Plays the user: called once per DoModal, after the dialog is shown.
  using Driver = std::function<void(Dialog&)>;
  void set_driver(Driver driver);

  // A paint of the whole window: the layer's own drawing, then the dialog's OnPaint.
  // Clears the recorded invalidations first.
  void Paint(Dialog& dialog);
  // Minimises or restores the window (runs OnSize with kSizeMinimized / kSizeRestored).
  void SetIconic(Dialog& dialog, bool iconic);

  // What the window recorded.
  int modal_count() const;                    // DoModal calls that showed a window
  Rect window_rect_when_shown() const;        // of the last dialog shown
  std::vector<int> focus_when_shown() const;  // focus id at showing, one per DoModal
  const std::vector<Invalidation>& invalidations() const;
  const std::vector<DrawnImage>& drawn_images() const;
  const std::vector<DrawnIcon>& drawn_icons() const;
  const std::vector<DrawnText>& drawn_texts() const;
  int icon_background_erasures() const;
  void ClearRecords();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::ui::headless
