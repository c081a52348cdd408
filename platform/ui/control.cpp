// A control's state: text, visibility, enabling, rectangle, focus and list items. Each
// change is passed on to the backend of the dialog that owns the control.
#include <string>

#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"

namespace platform::ui {

Control::Control(Dialog& owner, const ControlTemplate& tmpl, Rect rect, int dropped_height)
    : owner_(owner),
      id_(tmpl.id),
      kind_(tmpl.kind),
      style_(tmpl.style),
      text_(tmpl.text),
      rect_(rect),
      dropped_height_(dropped_height) {}

void Control::SetWindowText(std::string_view text) {
  text_ = std::string(text);
  owner_.backend_->ControlChanged(owner_, *this);
}

void Control::ShowWindow(bool show) {
  if (visible_ == show) return;
  visible_ = show;
  owner_.backend_->ControlChanged(owner_, *this);
  owner_.InvalidateRect(rect_, true);
  if (!show) owner_.FocusLostBy(*this);
}

void Control::EnableWindow(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  owner_.backend_->ControlChanged(owner_, *this);
  if (!enable) owner_.FocusLostBy(*this);
}

Rect Control::GetWindowRect() const {
  return owner_.ClientToScreen(rect_);
}

void Control::MoveWindow(const Rect& rect, bool repaint) {
  const Rect old = rect_;
  rect_ = rect;
  if (kind_ == ControlKind::kDropDownList) {
    // The height given is that of the dropped-down list; the closed field keeps its own.
    dropped_height_ = rect.Height();
    rect_.bottom = rect.top + old.Height();
  }
  owner_.backend_->ControlChanged(owner_, *this);
  if (repaint) {
    owner_.InvalidateRect(old, true);
    owner_.InvalidateRect(rect_, true);
  }
}

void Control::SetFocus() {
  if (visible_ && enabled_) owner_.SetFocusId(id_);
}

bool Control::HasFocus() const {
  return owner_.GetFocusId() == id_;
}

DeviceContext Control::GetDC() {
  if (!owner_.IsWindow()) return {};
  return DeviceContext(&owner_, id_, rect_);
}

int Control::AddString(std::string_view text) {
  items_.emplace_back(text);
  owner_.backend_->ControlChanged(owner_, *this);
  return static_cast<int>(items_.size()) - 1;
}

void Control::ResetContent() {
  items_.clear();
  selection_ = -1;
  owner_.backend_->ControlChanged(owner_, *this);
}

std::string Control::GetLBText(int index) const {
  if (index < 0 || index >= GetCount()) return {};
  return items_[static_cast<std::size_t>(index)];
}

int Control::SetCurSel(int index) {
  selection_ = (index >= 0 && index < GetCount()) ? index : -1;
  owner_.backend_->ControlChanged(owner_, *this);
  return selection_;
}

}  // namespace platform::ui
