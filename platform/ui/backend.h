// The interface between the dialog model and what shows it: the real window (FLTK) or the
// headless recorder of the tests. The model owns the state; a backend mirrors it and
// reports input back through the Dialog's public operations or the hooks below.
#pragma once

#include <memory>
#include <string_view>

#include "platform/ui/dialog.h"
#include "platform/ui/dib.h"
#include "platform/ui/geometry.h"

namespace platform::ui {

// What a backend keeps of a converted image so that repeated draws cost nothing.
class BackendImage {
 public:
  virtual ~BackendImage() = default;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual Size MeasureBaseUnits(const DialogTemplate& tmpl) = 0;
  virtual Rect WorkArea() = 0;
  virtual FrameExtents Frame(const Dialog& dialog) = 0;
  // Closed height of a drop-down list in pixels.
  virtual int DropDownClosedHeight(const Dialog& dialog) = 0;

  virtual bool CreateWindow(Dialog& dialog) = 0;  // hidden, no controls yet
  virtual void CreateControl(Dialog& dialog, Control& control) = 0;
  virtual void Show(Dialog& dialog) = 0;
  virtual void RunModal(Dialog& dialog) = 0;  // returns once the dialog has ended
  virtual void DestroyWindow(Dialog& dialog) = 0;

  // State changes to mirror.
  virtual void GeometryChanged(Dialog& dialog) = 0;
  virtual void CaptionChanged(Dialog& dialog) = 0;
  virtual void IconChanged(Dialog& dialog) = 0;
  virtual void ControlChanged(Dialog& dialog, Control& control) = 0;
  virtual void FocusChanged(Dialog& dialog) = 0;
  virtual void Invalidate(Dialog& dialog, const Rect& client_rect, bool erase) = 0;

  virtual bool IsIconic(const Dialog& dialog) = 0;
  virtual void EraseIconBackground(Dialog& dialog) = 0;
  virtual void DrawIcon(Dialog& dialog, int x, int y, const Icon& icon) = 0;
  virtual void DrawText(Dialog& dialog, const Rect& rect, std::string_view text) = 0;
  virtual std::unique_ptr<BackendImage> MakeImage(std::shared_ptr<const RgbImage> image) = 0;
  // Draws at `dest` (dialog client coordinates), clipped to `clip`.
  virtual void DrawImage(const DeviceContext& dc, const Rect& dest, const Rect& clip,
                         BackendImage& image) = 0;

 protected:
  // For backends: run handlers the user's input or the window system triggers.
  static void RunOnPaint(Dialog& dialog) { dialog.OnPaint(); }
  static bool HasEnded(const Dialog& dialog) { return dialog.ended_; }
  static void RunOnSize(Dialog& dialog, unsigned type);
  // The window manager moved the window; the model follows.
  static void WindowMoved(Dialog& dialog, int client_x, int client_y);
};

// The backend dialogs use: the headless one while a test session is installed, else the
// real window.
Backend& CurrentBackend();
// Whether dialogs can be shown at all: the real window needs a reachable X display.
bool CanShowDialogs();
void InstallBackend(Backend* backend);  // nullptr restores the real window

}  // namespace platform::ui
