// The dialog model: template-to-pixel conversion, the modal life cycle, window geometry,
// the keyboard rules of the dialog manager and command dispatch. Every change of state is
// passed on to the backend that shows it.
#include "platform/ui/dialog.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ui/backend.h"

namespace platform::ui {
namespace {

// a * b / c rounded half away from zero, as the window system's dialog-unit arithmetic.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

Rect DeflateByFrame(const Rect& outer, const FrameExtents& frame) {
  Rect client{outer.left + frame.left, outer.top + frame.top, outer.right - frame.right,
              outer.bottom - frame.bottom};
  client.right = std::max(client.right, client.left);
  client.bottom = std::max(client.bottom, client.top);
  return client;
}

}  // namespace

Dialog::Dialog(const DialogTemplate& tmpl) : template_(tmpl) {}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
  if (created_) return -1;
  backend_ = &CurrentBackend();
  ended_ = false;
  end_code_ = -1;
  CreateWindow();
  if (!created_) return -1;
  const Rect created_at = GetWindowRect();
  OnSize(kSizeRestored, client_on_screen_.Width(), client_on_screen_.Height());
  CreateControls();
  if (OnInitDialog()) MoveFocusFrom(-1, true);
  if (!ended_) {
    const Rect now = GetWindowRect();
    if (now.left == created_at.left && now.top == created_at.top) CenterWindow();
    backend_->Show(*this);
    backend_->RunModal(*this);
  }
  const int code = end_code_;
  DestroyWindow();
  return code;
}

void Dialog::EndDialog(int code) {
  if (!created_) return;
  ended_ = true;
  end_code_ = code;
}

void Dialog::CreateWindow() {
  caption_ = std::string(template_.caption);
  base_units_ = backend_->MeasureBaseUnits(template_);
  const DluRect& r = template_.rect;
  // The template gives the outer window's position and the client area's size.
  client_on_screen_ = MapDialogRect(Rect::FromSize(r.x, r.y, r.cx, r.cy));
  created_ = backend_->CreateWindow(*this);
  if (!created_) return;
  const FrameExtents frame = backend_->Frame(*this);
  client_on_screen_ = client_on_screen_.Offset(frame.left, frame.top);
  backend_->GeometryChanged(*this);
}

void Dialog::CreateControls() {
  const int closed_list_height = backend_->DropDownClosedHeight(*this);
  for (const ControlTemplate& tmpl : template_.controls) {
    const DluRect& r = tmpl.rect;
    Rect rect = MapDialogRect(Rect::FromSize(r.x, r.y, r.cx, r.cy));
    const int dropped_height = rect.Height();
    if (tmpl.kind == ControlKind::kDropDownList)
      rect.bottom = rect.top + std::min(rect.Height(), closed_list_height);
    controls_.push_back(std::make_unique<Control>(*this, tmpl, rect, dropped_height));
    backend_->CreateControl(*this, *controls_.back());
  }
}

void Dialog::DestroyWindow() {
  OnDestroy();
  backend_->DestroyWindow(*this);
  controls_.clear();
  focus_id_ = 0;
  created_ = false;
}

Control* Dialog::GetDlgItem(int id) {
  for (auto& control : controls_)
    if (control->id() == id) return control.get();
  return nullptr;
}

const Control* Dialog::GetDlgItem(int id) const {
  return const_cast<Dialog*>(this)->GetDlgItem(id);
}

Rect Dialog::GetWindowRect() const {
  if (!created_) return {};
  const FrameExtents frame = backend_->Frame(*this);
  const Rect& c = client_on_screen_;
  return {c.left - frame.left, c.top - frame.top, c.right + frame.right, c.bottom + frame.bottom};
}

Rect Dialog::GetClientRect() const {
  if (!created_) return {};
  return {0, 0, client_on_screen_.Width(), client_on_screen_.Height()};
}

void Dialog::MoveWindow(const Rect& window_rect, bool repaint) {
  if (!created_) return;
  // The frame is read now, just before the move: the window manager's figure lags behind.
  SetClientGeometry(DeflateByFrame(window_rect, backend_->Frame(*this)), repaint);
}

void Dialog::SetClientGeometry(const Rect& client_on_screen, bool repaint) {
  const Rect old = client_on_screen_;
  client_on_screen_ = client_on_screen;
  backend_->GeometryChanged(*this);
  const bool resized =
      old.Width() != client_on_screen.Width() || old.Height() != client_on_screen.Height();
  if (repaint) Invalidate(true);
  if (resized) OnSize(kSizeRestored, client_on_screen.Width(), client_on_screen.Height());
}

Rect Dialog::ClientToScreen(const Rect& rect) const {
  return rect.Offset(client_on_screen_.left, client_on_screen_.top);
}

Rect Dialog::ScreenToClient(const Rect& rect) const {
  return rect.Offset(-client_on_screen_.left, -client_on_screen_.top);
}

void Dialog::Reposition() {
  if (!created_) return;
  const Rect area = backend_->WorkArea();
  const Rect w = GetWindowRect();
  int left = w.left;
  int top = w.top;
  if (w.right > area.right) left -= w.right - area.right;
  if (w.bottom > area.bottom) top -= w.bottom - area.bottom;
  left = std::max(left, area.left);
  top = std::max(top, area.top);
  if (left != w.left || top != w.top)
    MoveWindow(Rect::FromSize(left, top, w.Width(), w.Height()), true);
}

Rect Dialog::GetWorkArea() const {
  return created_ ? backend_->WorkArea() : Rect{};
}

void Dialog::CenterWindow() {
  if (!created_) return;
  const Rect area = backend_->WorkArea();
  const Rect w = GetWindowRect();
  int left = area.left + (area.Width() - w.Width()) / 2;
  int top = area.top + (area.Height() - w.Height()) / 2;
  // As the framework does: keep the top-left corner inside the work area.
  left = std::max(area.left, std::min(left, area.right - w.Width()));
  top = std::max(area.top, std::min(top, area.bottom - w.Height()));
  MoveWindow(Rect::FromSize(left, top, w.Width(), w.Height()), false);
}

void Dialog::Invalidate(bool erase) {
  InvalidateRect(GetClientRect(), erase);
}

void Dialog::InvalidateRect(const Rect& client_rect, bool erase) {
  if (created_) backend_->Invalidate(*this, client_rect, erase);
}

Rect Dialog::MapDialogRect(const Rect& dlu) const {
  return {MulDiv(dlu.left, base_units_.cx, 4), MulDiv(dlu.top, base_units_.cy, 8),
          MulDiv(dlu.right, base_units_.cx, 4), MulDiv(dlu.bottom, base_units_.cy, 8)};
}

void Dialog::SetWindowText(std::string_view text) {
  caption_ = std::string(text);
  if (created_) backend_->CaptionChanged(*this);
}

bool Dialog::IsIconic() const {
  return created_ && backend_->IsIconic(*this);
}

void Dialog::SetIcon(const Icon* icon, bool big) {
  (big ? big_icon_ : small_icon_) = icon;
  if (created_) backend_->IconChanged(*this);
}

void Dialog::EraseIconBackground() {
  if (created_) backend_->EraseIconBackground(*this);
}

void Dialog::DrawIcon(int x, int y, const Icon& icon) {
  if (created_) backend_->DrawIcon(*this, x, y, icon);
}

void Dialog::DrawText(const Rect& client_rect, std::string_view text) {
  if (created_ && !client_rect.IsEmpty()) backend_->DrawText(*this, client_rect, text);
}

// --- keyboard and commands -------------------------------------------------------------

void Dialog::HandleKey(Key key) {
  if (!created_ || OnKeyDown(key)) return;
  switch (key) {
    case Key::kTab:
      MoveFocusFrom(FocusIndex(), true);
      break;
    case Key::kShiftTab:
      MoveFocusFrom(FocusIndex(), false);
      break;
    case Key::kSpace:
      if (Control* button = FocusedButton()) ClickButton(button->id());
      break;
    case Key::kEnter:
      if (Control* button = FocusedButton())
        ClickButton(button->id());
      else
        CommandIfEnabled(DefaultButtonId());
      break;
    case Key::kEscape:
      CommandIfEnabled(kIdCancel);
      break;
    case Key::kUp:
      StepListSelection(-1);
      break;
    case Key::kDown:
      StepListSelection(1);
      break;
    case Key::kLeft:
    case Key::kRight:
    case Key::kPageUp:
    case Key::kPageDown:
      break;
  }
}

// A closed drop-down list steps through its items without wrapping; with nothing selected
// either key selects the first item.
void Dialog::StepListSelection(int step) {
  Control* list = GetDlgItem(focus_id_);
  if (!list || list->kind() != ControlKind::kDropDownList || list->GetCount() == 0) return;
  const int current = list->GetCurSel();
  const int next = current < 0 ? 0 : std::clamp(current + step, 0, list->GetCount() - 1);
  if (next != current) list->SetCurSel(next);
}

bool Dialog::ClickButton(int id) {
  Control* button = GetDlgItem(id);
  if (!button || !button->IsButton() || !button->IsWindowVisible() || !button->IsWindowEnabled())
    return false;
  SetFocusId(id);
  Command(id);
  return true;
}

void Dialog::Close() {
  if (created_) CommandIfEnabled(kIdCancel);
}

void Dialog::Command(int id) {
  if (id == kIdOk)
    OnOK();
  else if (id == kIdCancel)
    OnCancel();
  else
    OnButtonClicked(id);
}

// The dialog manager sends a command for Enter, Escape and the close box even when no
// control has that id, but not when the control exists and is disabled.
void Dialog::CommandIfEnabled(int id) {
  const Control* control = GetDlgItem(id);
  if (control && !control->IsWindowEnabled()) return;
  Command(id);
}

int Dialog::DefaultButtonId() const {
  for (const auto& control : controls_)
    if (control->IsButton() && (control->style() & kDefaultButton)) return control->id();
  return kIdOk;
}

Control* Dialog::FocusedButton() {
  Control* focused = GetDlgItem(focus_id_);
  return focused && focused->IsButton() ? focused : nullptr;
}

bool Dialog::IsFocusable(const Control& control) const {
  const bool takes_focus = control.IsButton() || control.kind() == ControlKind::kDropDownList;
  return takes_focus && (control.style() & kTabStop) && control.IsWindowVisible() &&
         control.IsWindowEnabled();
}

int Dialog::FocusIndex() const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i]->id() == focus_id_ && focus_id_ != 0) return static_cast<int>(i);
  return -1;
}

// Gives the focus to the next (or previous) focusable control after index `from`, wrapping
// around; -1 starts before the first. Without any focusable control the focus is dropped.
void Dialog::MoveFocusFrom(int from, bool forward) {
  const int n = static_cast<int>(controls_.size());
  for (int step = 1; step <= n; ++step) {
    int i = forward ? from + step : from - step;
    if (from < 0 && !forward) i = n - step;
    i = ((i % n) + n) % n;
    if (IsFocusable(*controls_[i])) {
      SetFocusId(controls_[i]->id());
      return;
    }
  }
  SetFocusId(0);
}

void Dialog::SetFocusId(int id) {
  if (focus_id_ == id) return;
  focus_id_ = id;
  backend_->FocusChanged(*this);
}

void Dialog::FocusLostBy(const Control& control) {
  if (control.id() == focus_id_) MoveFocusFrom(FocusIndex(), true);
}

// --- hooks for backends ----------------------------------------------------------------

void Backend::RunOnSize(Dialog& dialog, unsigned type) {
  dialog.OnSize(type, dialog.client_on_screen_.Width(), dialog.client_on_screen_.Height());
}

void Backend::WindowMoved(Dialog& dialog, int client_x, int client_y) {
  const Rect& c = dialog.client_on_screen_;
  dialog.client_on_screen_ = Rect::FromSize(client_x, client_y, c.Width(), c.Height());
}

}  // namespace platform::ui
