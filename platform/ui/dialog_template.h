// Dialog templates as plain C++ data: a dialog's size in dialog units, its caption and font,
// and its controls with their numeric ids. The resources hold one template per id and
// language; a Dialog is built from one of them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform::ui {

// A rectangle in dialog units: x, y of the top-left corner, width and height.
struct DluRect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

enum class ControlKind {
  kPushButton,
  kBlackFrame,    // static frame drawn in the window-frame colour; add kSunken for an etched line
  kDropDownList,  // list only, no typing; its height includes the dropped-down part
};

// Control style bits.
enum ControlStyle : unsigned {
  kTabStop = 1u << 0,
  kDefaultButton = 1u << 1,   // push button pressed by Enter when no other button has the focus
  kSunken = 1u << 2,          // black frame drawn sunken: an etched line when 1 or 2 units high
  kVerticalScroll = 1u << 3,  // drop-down list with a vertical scroll bar
};

struct ControlTemplate {
  ControlKind kind = ControlKind::kPushButton;
  int id = 0;
  std::string_view text;  // UTF-8; empty for frames and lists
  DluRect rect;
  unsigned style = 0;  // ControlStyle bits
};

// Dialog style bits.
enum DialogStyle : unsigned {
  kCaption = 1u << 0,
  kSystemMenu = 1u << 1,  // the close box
  kModalFrame = 1u << 2,  // no sizing border
  kVisible = 1u << 3,
  kAppWindow = 1u << 4,  // shown on the taskbar
};

struct DialogTemplate {
  int id = 0;
  std::uint16_t language = 0;  // the resource language (a Windows language id)
  DluRect rect;                // position and client size in dialog units
  std::string_view caption;    // UTF-8
  std::string_view font_face;  // the face the template names; the layer picks a face per language
  int font_points = 8;
  std::span<const ControlTemplate> controls;
  unsigned style = kCaption | kSystemMenu | kModalFrame;  // DialogStyle bits
};

}  // namespace platform::ui
