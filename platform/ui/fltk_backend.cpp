// The real window: each dialog is an FLTK double-buffered window whose widgets mirror the
// dialog model. Keys go to the model's dialog-manager rules, clicks and the close box to
// its commands, and painting draws the widgets first and then runs the dialog's OnPaint,
// during which converted images are blitted into the controls' areas.
#include "platform/ui/fltk_backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/font_choice.h"

namespace platform::ui {
namespace {

// FLTK reads "@" in a label as a symbol; the window system shows it as it is.
std::string LiteralLabel(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '@') out += '@';
    out += c;
  }
  return out;
}

// Menu item texts: "/" starts a submenu and "&", "_" and "\" are special in FLTK's menus.
std::string LiteralMenuItem(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '/' || c == '&' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool FamilyInstalled(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  const bool found = fonts && fonts->nfont > 0;
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

// Faces registered with FLTK, one slot each, by family name.
Fl_Font FontFor(std::uint16_t language) {
  static std::map<std::string, Fl_Font> registered;
  const std::string family = FirstInstalledFamily(FontFamiliesFor(language), FamilyInstalled);
  auto it = registered.find(family);
  if (it != registered.end()) return it->second;
  const Fl_Font slot = static_cast<Fl_Font>(FL_FREE_FONT + registered.size());
  // The leading space asks for the plain style; FLTK keeps the pointer.
  static std::vector<std::unique_ptr<std::string>> names;
  names.push_back(std::make_unique<std::string>(" " + family));
  Fl::set_font(slot, names.back()->c_str());
  registered.emplace(family, slot);
  return slot;
}

bool OpenDisplay() {
  if (fl_display) return true;
  if (Display* probe = XOpenDisplay(nullptr)) {
    XCloseDisplay(probe);
    fl_open_display();
    return fl_display != nullptr;
  }
  return false;
}

// The frame the window manager draws around a shown window, from the window's
// _NET_FRAME_EXTENTS property (left, right, top, bottom); none without a window manager.
// Unlike the toolkit's decorated size this does not lag behind a resize.
FrameExtents FrameOf(const Fl_Window& window) {
  static const Atom extents = XInternAtom(fl_display, "_NET_FRAME_EXTENTS", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  FrameExtents frame;
  if (XGetWindowProperty(fl_display, fl_xid(&window), extents, 0, 4, False, XA_CARDINAL, &type,
                         &format, &count, &remaining, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 4) {
    const auto* v = reinterpret_cast<const long*>(data);  // format 32 arrives as long
    frame = {static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
             static_cast<int>(v[3])};
  }
  if (data) XFree(data);
  return frame;
}

// Straight ARGB pixels as the RGBA image FLTK draws and uses for window icons.
std::vector<unsigned char> IconToRgba(const Icon& icon) {
  std::vector<unsigned char> rgba;
  rgba.reserve(icon.pixels.size() * 4);
  for (std::uint32_t p : icon.pixels) {
    rgba.push_back(static_cast<unsigned char>(p >> 16));
    rgba.push_back(static_cast<unsigned char>(p >> 8));
    rgba.push_back(static_cast<unsigned char>(p));
    rgba.push_back(static_cast<unsigned char>(p >> 24));
  }
  return rgba;
}

// Left, Right, Page Up and Page Down: the dialog's to handle, never the toolkit's focus moves.
std::optional<Key> PagingKey(int key) {
  switch (key) {
    case FL_Left:
      return Key::kLeft;
    case FL_Right:
      return Key::kRight;
    case FL_Page_Up:
      return Key::kPageUp;
    case FL_Page_Down:
      return Key::kPageDown;
    default:
      return std::nullopt;
  }
}

class IconImage {
 public:
  explicit IconImage(const Icon& icon)
      : rgba_(IconToRgba(icon)), image_(rgba_.data(), icon.width, icon.height, 4) {}
  Fl_RGB_Image& image() { return image_; }

 private:
  std::vector<unsigned char> rgba_;
  Fl_RGB_Image image_;
};

class ScreenImage final : public BackendImage {
 public:
  explicit ScreenImage(std::shared_ptr<const RgbImage> rgb)
      : rgb_(std::move(rgb)), image_(rgb_->rgb.data(), rgb_->width, rgb_->height, 3) {}
  Fl_RGB_Image& image() { return image_; }

 private:
  std::shared_ptr<const RgbImage> rgb_;
  Fl_RGB_Image image_;  // keeps the server-side copy between paints
};

// Push buttons leave every key to the dialog manager; the mouse works as usual.
class PushButton final : public Fl_Button {
 public:
  using Fl_Button::Fl_Button;
  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_SHORTCUT || event == FL_KEYUP) return 0;
    return Fl_Button::handle(event);
  }
};

class DialogWindow;

// What the backend keeps per shown dialog.
struct WindowState {
  Dialog* dialog = nullptr;
  std::unique_ptr<DialogWindow> window;
  std::map<int, Fl_Widget*> widgets;  // owned by the window
  std::unique_ptr<IconImage> big_icon;
  std::map<const Icon*, std::unique_ptr<IconImage>> drawn_icons;
  Fl_Font font = FL_HELVETICA;
  int font_size = 11;
  bool painting = false;
  bool applying_geometry = false;
  bool iconic = false;
  bool closing = false;  // hiding for good, not minimising
};

class FltkWindows;

class DialogWindow final : public Fl_Double_Window {
 public:
  DialogWindow(FltkWindows& backend, WindowState& state, const Rect& client,
               const std::string& caption)
      : Fl_Double_Window(client.left, client.top, client.Width(), client.Height()),
        backend_(backend),
        state_(state) {
    copy_label(caption.c_str());
    end();
  }
  int handle(int event) override;
  void draw() override;
  void resize(int x, int y, int w, int h) override;

 private:
  FltkWindows& backend_;
  WindowState& state_;
};

class FltkWindows final : public Backend {
 public:
  // --- metrics ---
  Size MeasureBaseUnits(const DialogTemplate& tmpl) override {
    if (!OpenDisplay()) return {6, 13};
    fl_font(FontFor(tmpl.language), PointsToPixels(tmpl.font_points));
    const int width =
        static_cast<int>(fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + 0.5);
    return {(width / 26 + 1) / 2, fl_height()};
  }
  Rect WorkArea() override {
    if (!OpenDisplay()) return {};
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h);
    return Rect::FromSize(x, y, w, h);
  }
  FrameExtents Frame(const Dialog& dialog) override {
    const WindowState* state = Find(dialog);
    if (!state || !state->window->shown()) return {};
    return FrameOf(*state->window);
  }
  int DropDownClosedHeight(const Dialog& dialog) override { return dialog.BaseUnits().cy + 8; }

  // --- life cycle ---
  bool CreateWindow(Dialog& dialog) override {
    if (!OpenDisplay()) return false;
    auto state = std::make_unique<WindowState>();
    state->dialog = &dialog;
    state->font = FontFor(dialog.dialog_template().language);
    state->font_size = PointsToPixels(dialog.dialog_template().font_points);
    // The model applies the real geometry once the window exists.
    state->window =
        std::make_unique<DialogWindow>(*this, *state, Rect{0, 0, 1, 1}, dialog.GetWindowText());
    DialogWindow& w = *state->window;
    w.callback([](Fl_Widget*, void* d) { static_cast<Dialog*>(d)->Close(); }, &dialog);
    w.labelfont(state->font);
    w.xclass("setuvia");
    states_[&dialog] = std::move(state);
    return true;
  }

  void CreateControl(Dialog& dialog, Control& control) override {
    WindowState* state = Find(dialog);
    if (!state) return;
    const Rect r = control.GetRect();
    Fl_Widget* widget = MakeWidget(control, r);
    widget->labelfont(state->font);
    widget->labelsize(state->font_size);
    state->window->add(widget);
    state->widgets[control.id()] = widget;
    ControlChanged(dialog, control);
  }

  void Show(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    if (!state) return;
    GeometryChanged(dialog);
    state->window->show();
    FocusChanged(dialog);
  }

  void RunModal(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    while (state && !HasEnded(dialog) && state->window->shown()) Fl::wait();
  }

  void DestroyWindow(Dialog& dialog) override {
    auto it = states_.find(&dialog);
    if (it == states_.end()) return;
    it->second->closing = true;
    it->second->window->hide();
    states_.erase(it);
    Fl::flush();
  }

  // --- mirroring ---
  void GeometryChanged(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    if (!state) return;
    const Rect c = dialog.ClientToScreen(dialog.GetClientRect());
    DialogWindow& w = *state->window;
    state->applying_geometry = true;
    w.size_range(c.Width(), c.Height(), c.Width(), c.Height());
    w.resize(c.left, c.top, c.Width(), c.Height());
    state->applying_geometry = false;
  }
  void CaptionChanged(Dialog& dialog) override {
    if (WindowState* state = Find(dialog))
      state->window->copy_label(dialog.GetWindowText().c_str());
  }
  void IconChanged(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    const Icon* icon = dialog.GetIcon(true) ? dialog.GetIcon(true) : dialog.GetIcon(false);
    if (!state || !icon) return;
    state->big_icon = std::make_unique<IconImage>(*icon);
    state->window->icon(&state->big_icon->image());
  }
  void ControlChanged(Dialog& dialog, Control& control) override {
    WindowState* state = Find(dialog);
    if (!state) return;
    auto it = state->widgets.find(control.id());
    if (it == state->widgets.end()) return;
    Fl_Widget* widget = it->second;
    const Rect r = control.GetRect();
    widget->resize(r.left, r.top, r.Width(), r.Height());
    if (control.kind() == ControlKind::kDropDownList)
      SyncList(static_cast<Fl_Choice&>(*widget), control);
    else if (control.kind() == ControlKind::kPushButton)
      widget->copy_label(LiteralLabel(control.GetWindowText()).c_str());
    control.IsWindowVisible() ? widget->show() : widget->hide();
    control.IsWindowEnabled() ? widget->activate() : widget->deactivate();
    state->window->redraw();
  }
  void FocusChanged(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    if (!state) return;
    auto it = state->widgets.find(dialog.GetFocusId());
    if (it != state->widgets.end())
      Fl::focus(it->second);
    else if (Fl::focus() && state->window->contains(Fl::focus()))
      Fl::focus(state->window.get());
    state->window->redraw();
  }
  void Invalidate(Dialog& dialog, const Rect& rect, bool) override {
    WindowState* state = Find(dialog);
    if (state && !rect.IsEmpty()) state->window->redraw();
  }

  // --- painting ---
  bool IsIconic(const Dialog& dialog) override {
    const WindowState* state = Find(dialog);
    return state && state->iconic;
  }
  void EraseIconBackground(Dialog& dialog) override {
    WindowState* state = Find(dialog);
    if (!state || !state->painting) return;
    fl_rectf(0, 0, state->window->w(), state->window->h(), state->window->color());
  }
  void DrawIcon(Dialog& dialog, int x, int y, const Icon& icon) override {
    WindowState* state = Find(dialog);
    if (!state || !state->painting) return;
    auto& image = state->drawn_icons[&icon];
    if (!image) image = std::make_unique<IconImage>(icon);
    image->image().draw(x, y);
  }
  void DrawText(Dialog& dialog, const Rect& rect, std::string_view text) override {
    WindowState* state = Find(dialog);
    if (!state || !state->painting) return;
    fl_push_clip(rect.left, rect.top, rect.Width(), rect.Height());
    fl_font(state->font, state->font_size);
    fl_color(FL_FOREGROUND_COLOR);
    fl_draw(std::string(text).c_str(), rect.left, rect.top, rect.Width(), rect.Height(),
            FL_ALIGN_CENTER | FL_ALIGN_WRAP | FL_ALIGN_INSIDE, static_cast<Fl_Image*>(nullptr), 0);
    fl_pop_clip();
  }
  std::unique_ptr<BackendImage> MakeImage(std::shared_ptr<const RgbImage> image) override {
    return std::make_unique<ScreenImage>(std::move(image));
  }
  void DrawImage(const DeviceContext& dc, const Rect& dest, const Rect& clip,
                 BackendImage& image) override {
    WindowState* state = dc.dialog() ? Find(*dc.dialog()) : nullptr;
    if (!state) return;
    if (!state->painting) {  // outside a paint the next paint draws it
      state->window->redraw();
      return;
    }
    fl_push_clip(clip.left, clip.top, clip.Width(), clip.Height());
    static_cast<ScreenImage&>(image).image().draw(dest.left, dest.top);
    fl_pop_clip();
  }

  // --- from the window ---
  void Paint(WindowState& state) {
    state.painting = true;
    RunOnPaint(*state.dialog);
    state.painting = false;
  }
  void Moved(WindowState& state, int x, int y) {
    if (!state.applying_geometry) WindowMoved(*state.dialog, x, y);
  }
  // A click gave a widget the toolkit's focus (a list, say); the model follows.
  void FocusTakenByClick(WindowState& state) {
    for (const auto& [id, widget] : state.widgets)
      if (widget == Fl::focus() && id != state.dialog->GetFocusId())
        state.dialog->GetDlgItem(id)->SetFocus();
  }
  void IconicChanged(WindowState& state, bool iconic) {
    if (state.iconic == iconic || state.closing) return;
    state.iconic = iconic;
    RunOnSize(*state.dialog, iconic ? kSizeMinimized : kSizeRestored);
  }

 private:
  WindowState* Find(const Dialog& dialog) {
    auto it = states_.find(&dialog);
    return it == states_.end() ? nullptr : it->second.get();
  }
  const WindowState* Find(const Dialog& dialog) const {
    auto it = states_.find(&dialog);
    return it == states_.end() ? nullptr : it->second.get();
  }

  static Fl_Widget* MakeWidget(Control& control, const Rect& r) {
    switch (control.kind()) {
      case ControlKind::kPushButton: {
        auto* button = new PushButton(r.left, r.top, r.Width(), r.Height());
        button->callback(
            [](Fl_Widget*, void* c) {
              auto* ctl = static_cast<Control*>(c);
              ctl->owner().ClickButton(ctl->id());
            },
            &control);
        return button;
      }
      case ControlKind::kDropDownList: {
        auto* choice = new Fl_Choice(r.left, r.top, r.Width(), r.Height());
        choice->callback(
            [](Fl_Widget* w, void* c) {
              static_cast<Control*>(c)->SetCurSel(static_cast<Fl_Choice*>(w)->value());
            },
            &control);
        return choice;
      }
      case ControlKind::kBlackFrame:
        break;
    }
    auto* box = new Fl_Box(r.left, r.top, r.Width(), r.Height());
    box->box((control.style() & kSunken) ? FL_THIN_DOWN_FRAME : FL_BORDER_FRAME);
    box->color(FL_BLACK);
    return box;
  }

  static void SyncList(Fl_Choice& choice, const Control& control) {
    const int shown_items = choice.size() > 0 ? choice.size() - 1 : 0;
    if (shown_items != control.GetCount()) {
      choice.clear();
      for (const std::string& item : control.items()) choice.add(LiteralMenuItem(item).c_str());
    }
    choice.textfont(choice.labelfont());
    choice.textsize(choice.labelsize());
    choice.value(control.GetCurSel());
  }

  std::map<const Dialog*, std::unique_ptr<WindowState>> states_;
};

int DialogWindow::handle(int event) {
  Dialog& dialog = *state_.dialog;
  if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
    const int key = Fl::event_key();
    if (key == FL_Tab) {
      dialog.HandleKey((Fl::event_state() & FL_SHIFT) ? Key::kShiftTab : Key::kTab);
      return 1;
    }
    if (key == FL_Up || key == FL_Down) {  // never the toolkit's own focus navigation
      dialog.HandleKey(key == FL_Up ? Key::kUp : Key::kDown);
      return 1;
    }
    if (key == ' ' || key == FL_Enter || key == FL_KP_Enter || key == FL_Escape) {
      dialog.HandleKey(key == ' ' ? Key::kSpace : key == FL_Escape ? Key::kEscape : Key::kEnter);
      return 1;
    }
    if (const std::optional<Key> paging = PagingKey(key)) {
      dialog.HandleKey(*paging);
      return 1;
    }
  }
  if (event == FL_HIDE && shown()) backend_.IconicChanged(state_, true);
  if (event == FL_SHOW) backend_.IconicChanged(state_, false);
  const int handled = Fl_Double_Window::handle(event);
  if (event == FL_PUSH) backend_.FocusTakenByClick(state_);
  return handled;
}

void DialogWindow::draw() {
  Fl_Double_Window::draw();
  backend_.Paint(state_);
}

void DialogWindow::resize(int x, int y, int w, int h) {
  Fl_Double_Window::resize(x, y, w, h);
  backend_.Moved(state_, x, y);
}

}  // namespace

bool FltkDisplayReachable() {
  return OpenDisplay();
}

Backend& FltkBackend() {
  static FltkWindows backend;
  return backend;
}

}  // namespace platform::ui
