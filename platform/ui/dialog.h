// The modal dialog of the dialog layer: built from a template, driven by overridable
// handlers, with its controls addressed by numeric id. It stands in for the framework's
// dialog class and the window system's controls, and keeps the state of the window
// (geometry, texts, visibility, focus) itself; a backend (the real window, or the
// headless one of the tests) shows that state and reports the user's input.
//
// Life of a modal dialog, as the window system runs it:
//   DoModal: the window is created hidden at the template's position and size (controls
//   not yet created) -> OnSize -> the controls are created -> OnInitDialog (returning true
//   gives the focus to the first tab-stop control) -> an ownerless dialog whose top-left
//   corner initialisation did not move is centred in the screen's work area -> shown ->
//   input runs the handlers until EndDialog -> OnDestroy -> window gone -> end code.
// Outside that span GetDlgItem finds nothing and the window queries return empty values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/dialog_template.h"
#include "platform/ui/geometry.h"
#include "platform/ui/icon.h"

namespace platform::ui {

class Dialog;
class Control;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Size types of OnSize.
inline constexpr unsigned kSizeRestored = 0;
inline constexpr unsigned kSizeMinimized = 1;

// The system's icon size (SM_CXICON, SM_CYICON).
inline constexpr int kSystemIconSize = 32;

// Keys the dialog manager handles, and those it leaves to the dialog (OnKeyDown).
enum class Key {
  kTab,
  kShiftTab,
  kSpace,
  kEnter,
  kEscape,
  kUp,
  kDown,
  kLeft,
  kRight,
  kPageUp,
  kPageDown
};

// Drawing access to a control's area during painting (the device context of the control).
// Empty when the control has no window.
class DeviceContext {
 public:
  DeviceContext() = default;
  explicit operator bool() const { return dialog_ != nullptr; }
  Dialog* dialog() const { return dialog_; }
  int control_id() const { return control_id_; }
  Rect area() const { return area_; }  // the control's rectangle in the dialog's client area

 private:
  friend class Control;
  DeviceContext(Dialog* dialog, int control_id, Rect area)
      : dialog_(dialog), control_id_(control_id), area_(area) {}
  Dialog* dialog_ = nullptr;
  int control_id_ = 0;
  Rect area_;
};

// One control of a dialog: push button, static frame, etched line or drop-down list.
class Control {
 public:
  Control(Dialog& owner, const ControlTemplate& tmpl, Rect rect, int dropped_height);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  int id() const { return id_; }
  Dialog& owner() const { return owner_; }
  ControlKind kind() const { return kind_; }
  unsigned style() const { return style_; }
  bool IsButton() const { return kind_ == ControlKind::kPushButton; }

  std::string GetWindowText() const { return text_; }
  void SetWindowText(std::string_view text);

  void ShowWindow(bool show);
  bool IsWindowVisible() const { return visible_; }
  void EnableWindow(bool enable);
  bool IsWindowEnabled() const { return enabled_; }

  // Rectangles: in the dialog's client area, in screen coordinates, and the control's own
  // client rectangle (origin 0, 0 and its size). A drop-down list reports its closed height.
  Rect GetRect() const { return rect_; }
  Rect GetWindowRect() const;
  Rect GetClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  // Moves the control to `rect` in the dialog's client area; repaint invalidates both the
  // old and the new place.
  void MoveWindow(const Rect& rect, bool repaint = true);

  void SetFocus();
  bool HasFocus() const;

  // The control's device context, for drawing into its area during OnPaint.
  DeviceContext GetDC();

  // Drop-down list items, in insertion order (our lists are unsorted). Indexes out of
  // range are refused: GetLBText gives "", SetCurSel(-1) clears the selection.
  int AddString(std::string_view text);
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  std::string GetLBText(int index) const;
  int SetCurSel(int index);  // the index selected, or -1
  int GetCurSel() const { return selection_; }
  int dropped_height() const { return dropped_height_; }
  const std::vector<std::string>& items() const { return items_; }

 private:
  friend class Dialog;
  Dialog& owner_;
  int id_;
  ControlKind kind_;
  unsigned style_;
  std::string text_;
  Rect rect_;
  int dropped_height_;
  bool visible_ = true;
  bool enabled_ = true;
  std::vector<std::string> items_;
  int selection_ = -1;
};

class Backend;

class Dialog {
 public:
  // The template must outlive the dialog (resources are static data).
  explicit Dialog(const DialogTemplate& tmpl);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally and returns the code given to EndDialog (-1 when the window
  // could not be created).
  int DoModal();
  void EndDialog(int code);
  bool IsWindow() const { return created_; }
  const DialogTemplate& dialog_template() const { return template_; }

  Control* GetDlgItem(int id);
  const Control* GetDlgItem(int id) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  // Window geometry. The window rectangle is the client area plus the window manager's
  // frame, in screen coordinates; the client rectangle has origin 0, 0.
  Rect GetWindowRect() const;
  Rect GetClientRect() const;
  // Moves and sizes the outer window; a new client size runs OnSize at once.
  void MoveWindow(const Rect& window_rect, bool repaint = true);
  Rect ClientToScreen(const Rect& rect) const;
  Rect ScreenToClient(const Rect& rect) const;

  // The dialog-reposition message: moves the window back into the screen's work area
  // where it sticks out (a window larger than the work area ends at its top-left corner).
  void Reposition();
  // Centres the window in the screen's work area, keeping its top-left corner inside it.
  void CenterWindow();
  // The screen's work area in screen coordinates (the desktop without panels).
  Rect GetWorkArea() const;

  void Invalidate(bool erase = true);
  void InvalidateRect(const Rect& client_rect, bool erase);

  // Dialog units to pixels, from the average character size of the dialog's font.
  Rect MapDialogRect(const Rect& dlu) const;
  Size BaseUnits() const { return base_units_; }

  std::string GetWindowText() const { return caption_; }
  void SetWindowText(std::string_view text);

  bool IsIconic() const;
  void SetIcon(const Icon* icon, bool big);
  const Icon* GetIcon(bool big) const { return big ? big_icon_ : small_icon_; }
  // For OnPaint of a minimised window: erase the icon's background, draw an icon.
  void EraseIconBackground();
  void DrawIcon(int x, int y, const Icon& icon);
  // For OnPaint: `text` centred in `client_rect` and clipped to it, in the dialog's font and
  // text colour; "\n" starts a line and long lines wrap at spaces.
  void DrawText(const Rect& client_rect, std::string_view text);

  // The keyboard focus (a control id, or 0 for none), and the dialog manager's keys:
  // Tab / Shift+Tab move the focus among the visible, enabled tab-stop controls in
  // template order; Space or Enter presses the focused button (Enter presses the default
  // button, else OK, when the focus is not on a button); Escape acts as Cancel; Up and
  // Down move the selection of a focused drop-down list.
  int GetFocusId() const { return focus_id_; }
  void HandleKey(Key key);
  // A click on a button (mouse or keyboard): OK and Cancel go to OnOK and OnCancel,
  // every other button to OnButtonClicked. Hidden or disabled buttons cannot be clicked.
  bool ClickButton(int id);
  // The window's close box: acts as Cancel.
  void Close();

 protected:
  // The handlers. The base versions do what the framework does: OnInitDialog returns
  // true, OnOK ends with 1, OnCancel with 2; the others do nothing.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(kIdOk); }
  virtual void OnCancel() { EndDialog(kIdCancel); }
  virtual void OnButtonClicked(int id) { (void)id; }
  // A key before the dialog manager's rules; true when the dialog handled it.
  virtual bool OnKeyDown(Key key) {
    (void)key;
    return false;
  }
  virtual void OnSize(unsigned type, int cx, int cy) {
    (void)type;
    (void)cx;
    (void)cy;
  }
  // Runs after the layer has drawn the dialog and its controls.
  virtual void OnPaint() {}
  virtual void OnDestroy() {}

 private:
  friend class Control;
  friend class Backend;
  friend class DrawDib;

  void CreateWindow();
  void CreateControls();
  void DestroyWindow();
  void SetClientGeometry(const Rect& client_on_screen, bool repaint);
  void Command(int id);
  void CommandIfEnabled(int id);
  int DefaultButtonId() const;
  Control* FocusedButton();
  void StepListSelection(int step);
  bool IsFocusable(const Control& control) const;
  int FocusIndex() const;
  void MoveFocusFrom(int from, bool forward);
  void SetFocusId(int id);
  void FocusLostBy(const Control& control);

  const DialogTemplate& template_;
  Backend* backend_ = nullptr;
  bool created_ = false;
  bool ended_ = false;
  int end_code_ = -1;
  std::string caption_;
  Rect client_on_screen_;  // the client area in screen coordinates
  Size base_units_;
  std::vector<std::unique_ptr<Control>> controls_;
  int focus_id_ = 0;
  const Icon* big_icon_ = nullptr;
  const Icon* small_icon_ = nullptr;
};

}  // namespace platform::ui
