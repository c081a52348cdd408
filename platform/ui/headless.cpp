// The headless backend: geometry comes from the simulated screen and fixed font metrics,
// showing and painting are recorded, and the modal loop hands control to the test's driver.
#include "platform/ui/headless.h"

#include <algorithm>
#include <utility>

#include "platform/ui/backend.h"

namespace platform::ui::headless {
namespace {

class RecordedImage final : public BackendImage {
 public:
  explicit RecordedImage(std::shared_ptr<const RgbImage> image) : image(std::move(image)) {}
  std::shared_ptr<const RgbImage> image;
};

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

}  // namespace

class Session::Impl final : public Backend {
 public:
  Screen screen;
  FrameExtents frame;
  Size base_units{6, 13};
  Driver driver;
  int modal_count = 0;
  Rect window_rect_when_shown;
  std::vector<int> focus_when_shown;
  std::vector<Invalidation> invalidations;
  std::vector<DrawnImage> drawn_images;
  std::vector<DrawnIcon> drawn_icons;
  std::vector<DrawnText> drawn_texts;
  int icon_background_erasures = 0;
  bool iconic = false;

  void Paint(Dialog& dialog) {
    invalidations.clear();
    RunOnPaint(dialog);
  }

  void SetIconic(Dialog& dialog, bool value) {
    iconic = value;
    RunOnSize(dialog, value ? kSizeMinimized : kSizeRestored);
  }

  Size MeasureBaseUnits(const DialogTemplate&) override { return base_units; }
  Rect WorkArea() override { return screen.work_area; }
  FrameExtents Frame(const Dialog&) override { return frame; }
  int DropDownClosedHeight(const Dialog& dialog) override { return dialog.BaseUnits().cy + 8; }

  bool CreateWindow(Dialog&) override {
    iconic = false;
    return true;
  }
  void CreateControl(Dialog&, Control&) override {}
  void Show(Dialog& dialog) override {
    ++modal_count;
    window_rect_when_shown = dialog.GetWindowRect();
    focus_when_shown.push_back(dialog.GetFocusId());
  }
  void RunModal(Dialog& dialog) override {
    if (driver) driver(dialog);
  }
  void DestroyWindow(Dialog&) override {}

  void GeometryChanged(Dialog&) override {}
  void CaptionChanged(Dialog&) override {}
  void IconChanged(Dialog&) override {}
  void ControlChanged(Dialog&, Control&) override {}
  void FocusChanged(Dialog&) override {}
  void Invalidate(Dialog&, const Rect& rect, bool erase) override {
    invalidations.push_back({rect, erase});
  }

  bool IsIconic(const Dialog&) override { return iconic; }
  void EraseIconBackground(Dialog&) override { ++icon_background_erasures; }
  void DrawIcon(Dialog&, int x, int y, const Icon& icon) override {
    drawn_icons.push_back({x, y, &icon});
  }
  void DrawText(Dialog&, const Rect& rect, std::string_view text) override {
    drawn_texts.push_back({rect, std::string(text)});
  }
  std::unique_ptr<BackendImage> MakeImage(std::shared_ptr<const RgbImage> image) override {
    return std::make_unique<RecordedImage>(std::move(image));
  }
  void DrawImage(const DeviceContext& dc, const Rect& dest, const Rect& clip,
                 BackendImage& image) override {
    drawn_images.push_back(
        {dc.control_id(), Intersect(dest, clip), static_cast<RecordedImage&>(image).image});
  }
};

Session::Session() : impl_(std::make_unique<Impl>()) {
  InstallBackend(impl_.get());
}

Session::~Session() {
  InstallBackend(nullptr);
}

void Session::set_screen(const Screen& screen) {
  impl_->screen = screen;
}
void Session::set_frame(const FrameExtents& frame) {
  impl_->frame = frame;
}
void Session::set_base_units(Size units) {
  impl_->base_units = units;
}
void Session::set_driver(Driver driver) {
  impl_->driver = std::move(driver);
}
void Session::Paint(Dialog& dialog) {
  impl_->Paint(dialog);
}
void Session::SetIconic(Dialog& dialog, bool iconic) {
  impl_->SetIconic(dialog, iconic);
}

int Session::modal_count() const {
  return impl_->modal_count;
}
Rect Session::window_rect_when_shown() const {
  return impl_->window_rect_when_shown;
}
std::vector<int> Session::focus_when_shown() const {
  return impl_->focus_when_shown;
}
const std::vector<Invalidation>& Session::invalidations() const {
  return impl_->invalidations;
}
const std::vector<DrawnImage>& Session::drawn_images() const {
  return impl_->drawn_images;
}
const std::vector<DrawnIcon>& Session::drawn_icons() const {
  return impl_->drawn_icons;
}
const std::vector<DrawnText>& Session::drawn_texts() const {
  return impl_->drawn_texts;
}
int Session::icon_background_erasures() const {
  return impl_->icon_background_erasures;
}

void Session::ClearRecords() {
  impl_->invalidations.clear();
  impl_->drawn_images.clear();
  impl_->drawn_icons.clear();
  impl_->drawn_texts.clear();
  impl_->icon_background_erasures = 0;
}

}  // namespace platform::ui::headless
