// A small program that shows dialogs on the real display, for the X tests and for looking
// at the fonts. `ui_dialog_showcase 0x0411` shows that language's viewer dialog template
// with the icon and a test picture painted into the page frame through DrawDib;
// `ui_dialog_showcase list 0x0411` shows a drop-down list of that language's language
// names with an OK button. It prints each control's rectangle in the client area
// ("control <id> <l> <t> <r> <b>"), every button click ("click <id>"), the list's choice
// on OK ("selected <text>") and, at the end, the end code ("end <code>").
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/dib.h"
#include "resources/resources.h"

namespace {

using namespace platform::ui;

// A 64 x 48 24-bit picture: red top-left quarter, green top-right, blue bottom-left,
// white bottom-right (rows stored bottom-up).
struct TestPicture {
  BitmapInfoHeader header{40, 64, 48, 1, 24, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> bits = Make();

  static std::vector<std::uint8_t> Make() {
    std::vector<std::uint8_t> px(64 * 3 * 48);
    for (int row = 0; row < 48; ++row)
      for (int x = 0; x < 64; ++x) {
        const bool top = row >= 24, left = x < 32;
        std::uint8_t* p = &px[(row * 64 + x) * 3];  // B, G, R
        const std::uint8_t r = top ? (left ? 255 : 0) : (left ? 0 : 255);
        const std::uint8_t g = top ? (left ? 0 : 255) : (left ? 0 : 255);
        const std::uint8_t b = top ? 0 : 255;
        p[0] = b, p[1] = g, p[2] = r;
      }
    return px;
  }
};

class ShowcaseDialog : public Dialog {
 public:
  using Dialog::Dialog;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    SetIcon(resources::LoadIcon(resources::kAppIcon), true);
    for (const auto& control : controls()) {
      const Rect r = control->GetRect();
      std::printf("control %d %d %d %d %d\n", control->id(), r.left, r.top, r.right, r.bottom);
    }
    std::fflush(stdout);
    return true;
  }
  void OnButtonClicked(int id) override {
    std::printf("click %d\n", id);
    std::fflush(stdout);
  }
  void OnPaint() override {
    Control* frame = GetDlgItem(1000);
    if (!frame) return;
    const Rect area = frame->GetClientRect();
    drawer_.Draw(frame->GetDC(), Rect{0, 0, area.right / 2, area.bottom / 2}, picture_.header,
                 picture_.bits);
  }

 private:
  TestPicture picture_;
  DrawDib drawer_;
};

constexpr ControlTemplate kListControls[] = {
    {ControlKind::kDropDownList, 1001, "", {7, 7, 147, 66}, kTabStop | kVerticalScroll},
    {ControlKind::kPushButton, 1, "OK", {56, 29, 50, 14}, kTabStop | kDefaultButton},
};

class ListDialog : public Dialog {
 public:
  ListDialog(const DialogTemplate& tmpl, std::uint16_t language)
      : Dialog(tmpl), language_(language) {}

 protected:
  bool OnInitDialog() override {
    Control* list = GetDlgItem(1001);
    for (int id = resources::kStringEnglish; id <= resources::kStringSpanish; ++id)
      list->AddString(resources::FindString(id, language_).value_or(""));
    list->SetCurSel(0);
    for (const auto& control : controls()) {
      const Rect r = control->GetRect();
      std::printf("control %d %d %d %d %d\n", control->id(), r.left, r.top, r.right, r.bottom);
    }
    std::fflush(stdout);
    return true;
  }
  void OnOK() override {
    const Control* list = GetDlgItem(1001);
    std::printf("selected %s\n", list->GetLBText(list->GetCurSel()).c_str());
    Dialog::OnOK();
  }

 private:
  std::uint16_t language_;
};

int ShowList(std::uint16_t language) {
  const DialogTemplate tmpl{133, language,     {0, 0, 161, 50}, "Select Language", "MS Sans Serif",
                            8,   kListControls};
  ListDialog dialog(tmpl, language);
  const int code = dialog.DoModal();
  std::printf("end %d\n", code);
  return code < 0 ? 1 : 0;
}

std::uint16_t ParseLanguage(const char* text) {
  return static_cast<std::uint16_t>(text ? std::strtoul(text, nullptr, 16) : 0x0409);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "list")
    return ShowList(ParseLanguage(argc > 2 ? argv[2] : nullptr));
  const std::uint16_t language = ParseLanguage(argc > 1 ? argv[1] : nullptr);
  const DialogTemplate* tmpl = resources::FindDialog(resources::kViewerDialog, language);
  if (!tmpl) {
    std::fprintf(stderr, "no viewer dialog in language 0x%04x\n", language);
    return 2;
  }
  ShowcaseDialog dialog(*tmpl);
  const int code = dialog.DoModal();
  std::printf("end %d\n", code);
  return code < 0 ? 1 : 0;
}
