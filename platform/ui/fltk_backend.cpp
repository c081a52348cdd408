// The real window: dialogs shown with FLTK on the X display.
#include "platform/ui/fltk_backend.h"

namespace platform::ui {
namespace {

// Interim: the window backend is being written; until then no window can be created and
// DoModal returns -1.
class FltkWindows final : public Backend {
 public:
  Size MeasureBaseUnits(const DialogTemplate&) override { return {6, 13}; }
  Rect WorkArea() override { return {}; }
  FrameExtents Frame(const Dialog&) override { return {}; }
  int DropDownClosedHeight(const Dialog&) override { return 21; }
  bool CreateWindow(Dialog&) override { return false; }
  void CreateControl(Dialog&, Control&) override {}
  void Show(Dialog&) override {}
  void RunModal(Dialog&) override {}
  void DestroyWindow(Dialog&) override {}
  void GeometryChanged(Dialog&) override {}
  void CaptionChanged(Dialog&) override {}
  void IconChanged(Dialog&) override {}
  void ControlChanged(Dialog&, Control&) override {}
  void FocusChanged(Dialog&) override {}
  void Invalidate(Dialog&, const Rect&, bool) override {}
  bool IsIconic(const Dialog&) override { return false; }
  void EraseIconBackground(Dialog&) override {}
  void DrawIcon(Dialog&, int, int, const Icon&) override {}
  std::unique_ptr<BackendImage> MakeImage(std::shared_ptr<const RgbImage>) override {
    return std::make_unique<BackendImage>();
  }
  void DrawImage(const DeviceContext&, const Rect&, const Rect&, BackendImage&) override {}
};

}  // namespace

Backend& FltkBackend() {
  static FltkWindows backend;
  return backend;
}

}  // namespace platform::ui
