// The dialog model against the headless backend: template geometry in dialog units, the
// order of the handlers, end codes, keyboard, focus, moving, centring and repositioning.
#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/headless.h"

namespace platform::ui {
namespace {

constexpr ControlTemplate kControls[] = {
    {ControlKind::kPushButton, 2, "Exit", {345, 289, 50, 14}, kTabStop},
    {ControlKind::kPushButton, 3, "< Previous", {225, 289, 50, 14}, kTabStop},
    {ControlKind::kPushButton, 4, "Next >", {285, 289, 50, 14}, kTabStop},
    {ControlKind::kBlackFrame, 1000, "", {0, 0, 400, 277}, 0},
    {ControlKind::kBlackFrame, 1002, "", {4, 282, 393, 1}, kSunken},
};
constexpr DialogTemplate kViewerLike{102, 0x0409, {0, 0, 403, 310}, "ProductName Viewer",
                                     "Tahoma", 8, kControls};

constexpr ControlTemplate kListControls[] = {
    {ControlKind::kDropDownList, 1001, "", {7, 7, 147, 66}, kTabStop | kVerticalScroll},
    {ControlKind::kPushButton, 1, "OK", {56, 29, 50, 14}, kTabStop | kDefaultButton},
};
constexpr DialogTemplate kListDialog{133, 0x0409, {0, 0, 161, 50}, "Select Language",
                                     "MS Sans Serif", 8, kListControls};

// Records the handlers in the order the layer runs them.
class RecordingDialog : public Dialog {
 public:
  using Dialog::Dialog;
  std::vector<std::string> calls;
  bool init_result = true;
  std::function<void(RecordingDialog&)> on_init;

 protected:
  bool OnInitDialog() override {
    calls.push_back("init:" + std::to_string(GetDlgItem(2) != nullptr));
    if (on_init) on_init(*this);
    return init_result;
  }
  void OnSize(unsigned type, int cx, int cy) override {
    calls.push_back("size:" + std::to_string(type) + ":" + std::to_string(cx) + "x" +
                    std::to_string(cy) + ":" + std::to_string(GetDlgItem(2) != nullptr));
  }
  void OnButtonClicked(int id) override { calls.push_back("click:" + std::to_string(id)); }
  void OnOK() override {
    calls.push_back("ok");
    Dialog::OnOK();
  }
  void OnCancel() override {
    calls.push_back("cancel");
    Dialog::OnCancel();
  }
  void OnDestroy() override { calls.push_back("destroy"); }
};

TEST(DialogGeometry, TemplateDialogUnitsBecomePixelsFromTheFontsBaseUnits) {
  headless::Session session;  // base units 6 x 13
  RecordingDialog dlg(kViewerLike);
  session.set_driver([&](Dialog& d) {
    EXPECT_EQ(d.GetClientRect(), (Rect{0, 0, 605, 504}));  // 403*6/4, 310*13/8
    EXPECT_EQ(d.GetDlgItem(2)->GetRect(), (Rect{518, 470, 593, 492}));
    EXPECT_EQ(d.GetDlgItem(1000)->GetRect(), (Rect{0, 0, 600, 450}));
    EXPECT_EQ(d.GetDlgItem(1002)->GetRect(), (Rect{6, 458, 596, 460}));
    EXPECT_EQ(d.MapDialogRect({1, 1, 3, 3}), (Rect{2, 2, 5, 5}));  // halves round up
  });
  dlg.DoModal();
}

TEST(DialogGeometry, DropDownListKeepsItsClosedHeightAndTheDroppedOne) {
  headless::Session session;
  Dialog dlg(kListDialog);
  session.set_driver([&](Dialog& d) {
    const Control* list = d.GetDlgItem(1001);
    EXPECT_EQ(list->GetRect(), (Rect{11, 11, 231, 32}));  // closed: 13 + 8
    EXPECT_EQ(list->dropped_height(), 108);  // 11 to 119
  });
  dlg.DoModal();
}

TEST(DialogLifecycle, SizeBeforeControlsThenInitThenShowThenDestroy) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  session.set_driver([&](Dialog& d) {
    static_cast<RecordingDialog&>(d).calls.push_back("shown");
    d.ClickButton(2);
  });
  EXPECT_EQ(dlg.DoModal(), 2);
  EXPECT_EQ(dlg.calls, (std::vector<std::string>{"size:0:605x504:0", "init:1", "shown",
                                                  "cancel", "destroy"}));
  EXPECT_FALSE(dlg.IsWindow());
  EXPECT_EQ(dlg.GetDlgItem(2), nullptr);
}

}  // namespace
}  // namespace platform::ui
