// The dialog model against the headless backend: template geometry in dialog units, the
// order of the handlers, end codes, keyboard, focus, moving, centring and repositioning.
#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
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
constexpr DialogTemplate kViewerLike{102,      0x0409, {0, 0, 403, 310}, "ProductName Viewer",
                                     "Tahoma", 8,      kControls};

constexpr ControlTemplate kListControls[] = {
    {ControlKind::kDropDownList, 1001, "", {7, 7, 147, 66}, kTabStop | kVerticalScroll},
    {ControlKind::kPushButton, 1, "OK", {56, 29, 50, 14}, kTabStop | kDefaultButton},
};
constexpr DialogTemplate kListDialog{
    133, 0x0409, {0, 0, 161, 50}, "Select Language", "MS Sans Serif", 8, kListControls};

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
    EXPECT_EQ(list->dropped_height(), 108);               // 11 to 119
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
  EXPECT_EQ(dlg.calls,
            (std::vector<std::string>{"size:0:605x504:0", "init:1", "shown", "cancel", "destroy"}));
  EXPECT_FALSE(dlg.IsWindow());
  EXPECT_EQ(dlg.GetDlgItem(2), nullptr);
}

// Runs `dlg` modally with `drive` as the user; returns the end code.
int RunWith(headless::Session& session, Dialog& dlg, headless::Session::Driver drive) {
  session.set_driver(std::move(drive));
  return dlg.DoModal();
}

TEST(DialogEndCodes, OkCancelCloseBoxAndOtherButtons) {
  headless::Session session;
  Dialog list(kListDialog);
  EXPECT_EQ(RunWith(session, list, [](Dialog& d) { d.ClickButton(kIdOk); }), 1);
  EXPECT_EQ(RunWith(session, list, [](Dialog& d) { d.Close(); }), 2);
  EXPECT_EQ(RunWith(session, list, [](Dialog& d) { d.HandleKey(Key::kEscape); }), 2);
  EXPECT_EQ(RunWith(session, list, [](Dialog&) {}), -1);  // left running

  RecordingDialog viewer(kViewerLike);
  EXPECT_EQ(RunWith(session, viewer,
                    [](Dialog& d) {
                      d.ClickButton(4);
                      d.ClickButton(3);
                      d.EndDialog(7);
                    }),
            7);
  EXPECT_EQ(viewer.calls[2], "click:4");
  EXPECT_EQ(viewer.calls[3], "click:3");
}

TEST(DialogEndCodes, EndingDuringInitialisationNeverShowsTheWindow) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  dlg.on_init = [](RecordingDialog& d) { d.EndDialog(1); };
  EXPECT_EQ(RunWith(session, dlg, [](Dialog&) { ADD_FAILURE() << "driven"; }), 1);
  EXPECT_EQ(session.modal_count(), 0);
}

TEST(DialogEndCodes, HiddenOrDisabledButtonsCannotBeClicked) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  RunWith(session, dlg, [](Dialog& d) {
    d.GetDlgItem(3)->ShowWindow(false);
    d.GetDlgItem(4)->EnableWindow(false);
    EXPECT_FALSE(d.ClickButton(3));
    EXPECT_FALSE(d.ClickButton(4));
    EXPECT_FALSE(d.ClickButton(1000));  // a frame is no button
    EXPECT_FALSE(d.ClickButton(77));
  });
  EXPECT_EQ(dlg.calls.size(), 3u);  // size, init, destroy
}

TEST(DialogKeyboard, InitialFocusIsTheFirstTabStopUnlessInitialisationReturnsFalse) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  dlg.on_init = [](RecordingDialog& d) { d.GetDlgItem(4)->SetFocus(); };
  RunWith(session, dlg, [](Dialog&) {});
  dlg.init_result = false;
  RunWith(session, dlg, [](Dialog&) {});
  EXPECT_EQ(session.focus_when_shown(), (std::vector<int>{2, 4}));
}

TEST(DialogKeyboard, TabCyclesVisibleEnabledTabStopsInTemplateOrder) {
  headless::Session session;
  Dialog dlg(kViewerLike);
  RunWith(session, dlg, [](Dialog& d) {
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
      d.HandleKey(Key::kTab);
      seen.push_back(d.GetFocusId());
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 4, 2, 3}));
    d.HandleKey(Key::kShiftTab);
    d.HandleKey(Key::kShiftTab);
    EXPECT_EQ(d.GetFocusId(), 4);  // 3 -> 2 -> wraps to 4

    d.GetDlgItem(3)->ShowWindow(false);
    d.HandleKey(Key::kTab);  // 4 -> 2
    d.HandleKey(Key::kTab);  // 2 -> 4, skipping the hidden 3
    EXPECT_EQ(d.GetFocusId(), 4);
    d.GetDlgItem(4)->EnableWindow(false);  // losing the focus moves it on
    EXPECT_EQ(d.GetFocusId(), 2);
  });
}

TEST(DialogKeyboard, SpaceAndEnterPressTheFocusedButton) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  RunWith(session, dlg, [](Dialog& d) {
    d.HandleKey(Key::kTab);    // focus on 3
    d.HandleKey(Key::kSpace);  // click 3
    d.HandleKey(Key::kTab);    // focus on 4
    d.HandleKey(Key::kEnter);  // click 4
    d.HandleKey(Key::kTab);    // focus on 2 (Exit)
    d.HandleKey(Key::kEnter);
  });
  EXPECT_EQ(dlg.calls, (std::vector<std::string>{"size:0:605x504:0", "init:1", "click:3", "click:4",
                                                 "cancel", "destroy"}));
}

TEST(DialogKeyboard, EnterOnTheListPressesTheDefaultButton) {
  headless::Session session;
  Dialog dlg(kListDialog);
  EXPECT_EQ(RunWith(session, dlg,
                    [](Dialog& d) {
                      EXPECT_EQ(d.GetFocusId(), 1001);
                      d.HandleKey(Key::kSpace);  // opens the list in a real window; no command
                      d.HandleKey(Key::kEnter);
                    }),
            1);
}

TEST(DialogKeyboard, EscapeAndCloseBoxDoNothingWhileCancelIsDisabled) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  EXPECT_EQ(RunWith(session, dlg,
                    [](Dialog& d) {
                      d.GetDlgItem(2)->EnableWindow(false);
                      d.HandleKey(Key::kEscape);
                      d.Close();
                    }),
            -1);
}

TEST(DialogLists, UpAndDownStepTheFocusedListWithoutWrapping) {
  headless::Session session;
  Dialog dlg(kListDialog);
  RunWith(session, dlg, [](Dialog& d) {
    Control* list = d.GetDlgItem(1001);
    d.HandleKey(Key::kDown);  // empty list: nothing to select
    EXPECT_EQ(list->GetCurSel(), -1);
    list->AddString("A");
    list->AddString("B");
    d.HandleKey(Key::kUp);  // nothing selected: the first item
    EXPECT_EQ(list->GetCurSel(), 0);
    d.HandleKey(Key::kDown);
    d.HandleKey(Key::kDown);
    EXPECT_EQ(list->GetCurSel(), 1);
    d.HandleKey(Key::kTab);  // focus on OK: arrows leave the list alone
    d.HandleKey(Key::kUp);
    EXPECT_EQ(list->GetCurSel(), 1);
  });
}

TEST(DialogLists, ItemsSelectionAndRangeChecks) {
  headless::Session session;
  Dialog dlg(kListDialog);
  RunWith(session, dlg, [](Dialog& d) {
    Control* list = d.GetDlgItem(1001);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->AddString("English"), 0);
    EXPECT_EQ(list->AddString("Français"), 1);
    EXPECT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->SetCurSel(1), 1);
    EXPECT_EQ(list->GetLBText(list->GetCurSel()), "Français");
    EXPECT_EQ(list->SetCurSel(2), -1);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->GetLBText(-1), "");
    list->ResetContent();
    EXPECT_EQ(list->GetCount(), 0);
  });
}

TEST(DialogPlacement, OwnerlessDialogIsCentredInTheWorkAreaWithItsFrame) {
  headless::Session session;
  session.set_screen({{0, 0, 1280, 1024}, {0, 30, 1280, 1024}});
  session.set_frame({4, 24, 4, 4});
  Dialog dlg(kViewerLike);
  RunWith(session, dlg, [](Dialog& d) {
    EXPECT_EQ(d.GetClientRect(), (Rect{0, 0, 605, 504}));
    EXPECT_EQ(d.GetWindowRect(), (Rect{333, 261, 946, 793}));  // 613 x 532 outer
    EXPECT_EQ(d.GetDlgItem(2)->GetWindowRect(), (Rect{855, 755, 930, 777}));
  });
  EXPECT_EQ(session.window_rect_when_shown(), (Rect{333, 261, 946, 793}));
}

TEST(DialogPlacement, InitialisationThatMovesTheWindowKeepsItsPlace) {
  headless::Session session;
  RecordingDialog dlg(kViewerLike);
  dlg.on_init = [](RecordingDialog& d) { d.MoveWindow(Rect::FromSize(10, 20, 300, 200)); };
  RunWith(session, dlg, [](Dialog&) {});
  EXPECT_EQ(session.window_rect_when_shown(), Rect::FromSize(10, 20, 300, 200));
}

TEST(DialogPlacement, MoveWindowSetsTheOuterRectangleAndResizingRunsOnSize) {
  headless::Session session;
  session.set_frame({3, 20, 3, 3});
  RecordingDialog dlg(kViewerLike);
  RunWith(session, dlg, [&](Dialog& d) {
    session.ClearRecords();
    d.MoveWindow(Rect::FromSize(100, 50, 640, 560));
    EXPECT_EQ(d.GetWindowRect(), Rect::FromSize(100, 50, 640, 560));
    EXPECT_EQ(d.GetClientRect(), (Rect{0, 0, 634, 537}));
    ASSERT_FALSE(session.invalidations().empty());
    EXPECT_EQ(session.invalidations().back().rect, (Rect{0, 0, 634, 537}));
    d.MoveWindow(Rect::FromSize(120, 60, 640, 560));  // same size: no OnSize
  });
  EXPECT_EQ(dlg.calls[2], "size:0:634x537:1");
  EXPECT_EQ(dlg.calls[3], "destroy");
}

TEST(DialogPlacement, RepositionPullsTheWindowBackIntoTheWorkArea) {
  headless::Session session;
  session.set_screen({{0, 0, 1024, 768}, {0, 0, 1024, 740}});
  Dialog dlg(kViewerLike);
  RunWith(session, dlg, [](Dialog& d) {
    d.MoveWindow(Rect::FromSize(700, 500, 400, 300));
    d.Reposition();
    EXPECT_EQ(d.GetWindowRect(), Rect::FromSize(624, 440, 400, 300));
    d.MoveWindow(Rect::FromSize(100, 100, 400, 900));  // taller than the work area
    d.Reposition();
    EXPECT_EQ(d.GetWindowRect(), Rect::FromSize(100, 0, 400, 900));
    d.MoveWindow(Rect::FromSize(-50, -10, 400, 300));
    d.Reposition();
    EXPECT_EQ(d.GetWindowRect(), Rect::FromSize(0, 0, 400, 300));
  });
}

TEST(DialogPainting, MinimisedStateIconAndTitle) {
  headless::Session session;
  struct IconDialog : Dialog {
    using Dialog::Dialog;
    std::vector<unsigned> sizes;
    void OnSize(unsigned type, int, int) override { sizes.push_back(type); }
    void OnPaint() override {
      if (IsIconic()) {
        EraseIconBackground();
        DrawIcon(3, 4, *GetIcon(true));
      }
    }
  } dlg(kViewerLike);
  static const std::uint32_t pixels[4] = {};
  const Icon icon{2, 2, pixels};
  RunWith(session, dlg, [&](Dialog& d) {
    d.SetIcon(&icon, true);
    d.SetWindowText("My Product Installation Instruction");
    EXPECT_EQ(d.GetWindowText(), "My Product Installation Instruction");
    session.Paint(d);
    EXPECT_TRUE(session.drawn_icons().empty());
    session.SetIconic(d, true);
    EXPECT_TRUE(d.IsIconic());
    session.Paint(d);
    session.SetIconic(d, false);
  });
  ASSERT_EQ(session.drawn_icons().size(), 1u);
  EXPECT_EQ(session.drawn_icons()[0].x, 3);
  EXPECT_EQ(session.drawn_icons()[0].icon, &icon);
  EXPECT_EQ(session.icon_background_erasures(), 1);
  EXPECT_EQ(dlg.sizes, (std::vector<unsigned>{kSizeRestored, kSizeMinimized, kSizeRestored}));
}

}  // namespace
}  // namespace platform::ui
