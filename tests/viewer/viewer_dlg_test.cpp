// The viewer dialog on the headless backend: title, first display, the navigation states,
// window and control geometry for each page, painting from the held page, and the keyboard.
#include "viewer/viewer_dlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/locale.h"
#include "platform/trace.h"
#include "platform/ui/headless.h"
#include "tests/image/bmp_test_file.h"

namespace {

using platform::ui::Dialog;
using platform::ui::Key;
using platform::ui::Rect;
using ::testing::Contains;
using ::testing::Not;

class ViewerDlgTest : public ::testing::Test {
 protected:
  ViewerDlgTest() { platform::SetThreadLocale(platform::kLangEnglishUs); }
  ~ViewerDlgTest() override {
    platform::SetTraceCapture({});
    platform::ResetThreadLocaleForTesting();
  }

  void AddPage(const std::string& name, int width, int height) {
    bmp_test::WriteFile(m_folder.Path() / name,
                        bmp_test::MakeBmp({.width = width, .height = height}));
  }
  void AddFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    bmp_test::WriteFile(m_folder.Path() / name, bytes);
  }
  void WriteIni(const std::string& text) {
    bmp_test::WriteFile(m_folder.Path() / "Setuvia.ini", {text.begin(), text.end()});
  }
  void CaptureTrace() {
    platform::SetTraceCapture([this](const std::string& line) { m_trace.push_back(line); });
  }

  // Runs the viewer with `driver` playing the user; returns the end code.
  int Run(std::function<void(CViewerDlg&)> driver) {
    CViewerDlg dialog(m_folder.Folder(), m_folder.Folder() + "Setuvia.ini");
    m_session.set_driver([&](Dialog& shown) { driver(static_cast<CViewerDlg&>(shown)); });
    return dialog.DoModal();
  }

  static std::string NextLabel(Dialog& d) { return d.GetDlgItem(kIdNextButton)->GetWindowText(); }
  static bool PrevShown(Dialog& d) {
    const auto* prev = d.GetDlgItem(kIdPrevButton);
    EXPECT_EQ(prev->IsWindowVisible(), prev->IsWindowEnabled());
    return prev->IsWindowVisible();
  }
  static Rect RectOf(Dialog& d, int id) { return d.GetDlgItem(id)->GetRect(); }
  // The invalidations that touch the page area, and whether they erase it.
  std::vector<bool> PictureInvalidations(const Rect& page) const {
    std::vector<bool> erases;
    for (const auto& inv : m_session.invalidations())
      if (inv.rect.left < page.right && page.left < inv.rect.right && inv.rect.top < page.bottom &&
          page.top < inv.rect.bottom)
        erases.push_back(inv.erase);
    return erases;
  }

  bmp_test::TempFolder m_folder{"viewer-dlg-test"};
  platform::ui::headless::Session m_session;
  std::vector<std::string> m_trace;
};

}  // namespace

TEST_F(ViewerDlgTest, TheTitleNamesTheProductOfTheConfiguration) {
  WriteIni("[Product Name]\nName=Example Product\n");
  std::string title;
  Run([&](CViewerDlg& d) { title = d.GetWindowText(); });
  EXPECT_EQ(title, "Example Product Installation Instruction");
}

TEST_F(ViewerDlgTest, WithoutAConfigurationTheTitleSaysVorn) {
  std::string title;
  Run([&](CViewerDlg& d) { title = d.GetWindowText(); });
  EXPECT_EQ(title, "VORN Installation Instruction");
}

TEST_F(ViewerDlgTest, TheProductNameIsCutTo63Characters) {
  WriteIni("[Product Name]\nName=" + std::string(70, 'x') + "\n");
  std::string title;
  Run([&](CViewerDlg& d) { title = d.GetWindowText(); });
  EXPECT_EQ(title, std::string(63, 'x') + " Installation Instruction");
}

TEST_F(ViewerDlgTest, AnEmptyFolderOpensWithFinishAndNoPicture) {
  AddFile("notes.txt", {'h', 'i'});
  const int code = Run([&](CViewerDlg& d) {
    EXPECT_EQ(NextLabel(d), "Finish");
    EXPECT_FALSE(PrevShown(d));
    m_session.Paint(d);
    EXPECT_TRUE(m_session.drawn_images().empty());
    // The template's layout stays while no page was shown.
    EXPECT_EQ(RectOf(d, kIdExitButton).left, d.MapDialogRect({345, 0, 0, 0}).left);
    EXPECT_TRUE(d.ClickButton(kIdNextButton));
  });
  EXPECT_EQ(code, kEndFinish);
}

TEST_F(ViewerDlgTest, OnePageOpensWithFinishAndPreviousHidden) {
  AddPage("only.bmp", 20, 10);
  const int code = Run([&](CViewerDlg& d) {
    EXPECT_EQ(NextLabel(d), "Finish");
    EXPECT_FALSE(PrevShown(d));
    EXPECT_TRUE(d.Image().HasPixels());
    d.ClickButton(kIdNextButton);
  });
  EXPECT_EQ(code, kEndFinish);
}

TEST_F(ViewerDlgTest, ThreePagesWalkThroughEveryNavigationState) {
  AddPage("1.bmp", 30, 20);
  AddPage("2.bmp", 40, 20);
  AddPage("3.bmp", 50, 20);
  CaptureTrace();
  const int code = Run([&](CViewerDlg& d) {
    const auto expect = [&](const char* page, bool prev_shown, const char* label) {
      EXPECT_EQ(d.Image().Path(), m_folder.Folder() + page);
      EXPECT_EQ(PrevShown(d), prev_shown) << page;
      EXPECT_EQ(NextLabel(d), label) << page;
    };
    expect("1.bmp", false, "Next >");
    d.ClickButton(kIdNextButton);
    expect("2.bmp", true, "Next >");
    d.ClickButton(kIdNextButton);
    expect("3.bmp", true, "Finish");
    d.ClickButton(kIdPrevButton);
    expect("2.bmp", true, "Next >");
    d.ClickButton(kIdNextButton);
    expect("3.bmp", true, "Finish");
    d.ClickButton(kIdPrevButton);
    d.ClickButton(kIdPrevButton);
    expect("1.bmp", false, "Next >");
    EXPECT_EQ(d.GetFocusId(), kIdNextButton) << "back on the first page the focus moves to Next";
    d.ClickButton(kIdNextButton);
    d.ClickButton(kIdNextButton);
    d.ClickButton(kIdNextButton);
  });
  EXPECT_EQ(code, kEndFinish);
  EXPECT_THAT(m_trace, Contains("Reach last file!\n"));
  EXPECT_THAT(m_trace, Contains("File " + m_folder.Folder() + "3.bmp: width = 50, height = 20.\n"));
}

TEST_F(ViewerDlgTest, ExitEscapeAndTheCloseBoxEndWithCode2) {
  AddPage("1.bmp", 30, 20);
  AddPage("2.bmp", 30, 20);
  EXPECT_EQ(Run([](CViewerDlg& d) { d.ClickButton(kIdExitButton); }), 2);
  EXPECT_EQ(Run([](CViewerDlg& d) { d.HandleKey(Key::kEscape); }), 2);
  EXPECT_EQ(Run([](CViewerDlg& d) { d.Close(); }), 2);
}

TEST_F(ViewerDlgTest, TheFocusStartsOnNextSoEnterTurnsTheFirstPage) {
  AddPage("1.bmp", 30, 20);
  AddPage("2.bmp", 30, 20);
  Run([&](CViewerDlg& d) {
    d.HandleKey(Key::kEnter);
    EXPECT_EQ(d.Image().Path(), m_folder.Folder() + "2.bmp");
    d.ClickButton(kIdExitButton);
  });
  EXPECT_THAT(m_session.focus_when_shown(), ::testing::ElementsAre(kIdNextButton));
}

TEST_F(ViewerDlgTest, ArrowAndPageKeysTurnThePagesAndLeaveTheFocus) {
  AddPage("1.bmp", 30, 20);
  AddPage("2.bmp", 30, 20);
  AddPage("3.bmp", 30, 20);
  const int code = Run([&](CViewerDlg& d) {
    const auto page_after = [&](Key key) {
      d.HandleKey(key);
      return d.Image().Path().substr(m_folder.Folder().size());
    };
    EXPECT_EQ(page_after(Key::kLeft), "1.bmp");  // Previous is hidden
    EXPECT_EQ(page_after(Key::kRight), "2.bmp");
    EXPECT_EQ(page_after(Key::kPageDown), "3.bmp");
    EXPECT_EQ(page_after(Key::kPageUp), "2.bmp");
    EXPECT_EQ(page_after(Key::kLeft), "1.bmp");
    EXPECT_EQ(d.GetFocusId(), kIdNextButton);
    d.HandleKey(Key::kRight);
    d.HandleKey(Key::kRight);
    d.HandleKey(Key::kRight);  // Finish
  });
  EXPECT_EQ(code, kEndFinish);
}

TEST_F(ViewerDlgTest, TabAndSpaceWorkTheButtons) {
  AddPage("1.bmp", 30, 20);
  AddPage("2.bmp", 30, 20);
  const int code = Run([&](CViewerDlg& d) {
    d.GetDlgItem(kIdExitButton)->SetFocus();
    d.HandleKey(Key::kTab);  // Previous is hidden: on to Next
    EXPECT_EQ(d.GetFocusId(), kIdNextButton);
    d.HandleKey(Key::kSpace);
    EXPECT_EQ(d.Image().Path(), m_folder.Folder() + "2.bmp");
    d.HandleKey(Key::kShiftTab);
    EXPECT_EQ(d.GetFocusId(), kIdPrevButton);
    d.HandleKey(Key::kEnter);
    EXPECT_EQ(d.Image().Path(), m_folder.Folder() + "1.bmp");
    EXPECT_EQ(d.GetFocusId(), kIdNextButton);
    d.HandleKey(Key::kEnter);
    d.HandleKey(Key::kEnter);  // Finish
  });
  EXPECT_EQ(code, kEndFinish);
}

TEST_F(ViewerDlgTest, A640By480PageSizesTheWindowAndPlacesTheControls) {
  AddPage("page.bmp", 640, 480);
  Run([&](CViewerDlg& d) {
    EXPECT_EQ(d.GetWindowRect().Width(), 640);
    EXPECT_EQ(d.GetWindowRect().Height(), 560);
    EXPECT_EQ(RectOf(d, kIdPictureFrame), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(RectOf(d, kIdEtchedLine), (Rect{5, 485, 635, 487}));
    EXPECT_EQ(RectOf(d, kIdExitButton).right, 620);
    for (int id : {kIdExitButton, kIdNextButton, kIdPrevButton})
      EXPECT_EQ(RectOf(d, id).top, 496) << id;
    EXPECT_EQ(RectOf(d, kIdNextButton).right, RectOf(d, kIdExitButton).left - 20);
    EXPECT_EQ(RectOf(d, kIdPrevButton).right, RectOf(d, kIdNextButton).left - 5);
  });
  // Centred on the 1024 x 768 screen at the first page's size.
  EXPECT_EQ(m_session.window_rect_when_shown(), (Rect{192, 104, 832, 664}));
}

TEST_F(ViewerDlgTest, AWindowFrameIsAddedToTheWidthSoTheWholePageShows) {
  m_session.set_frame({3, 22, 3, 3});
  AddPage("page.bmp", 640, 480);
  Run([&](CViewerDlg& d) {
    EXPECT_EQ(d.GetClientRect().Width(), 640);
    EXPECT_EQ(d.GetWindowRect().Width(), 646);
    EXPECT_EQ(d.GetWindowRect().Height(), 560);
  });
}

TEST_F(ViewerDlgTest, APageOfANewSizeMovesTheWindowAtItsCorner) {
  AddPage("1.bmp", 300, 200);
  AddPage("2.bmp", 400, 100);
  Run([&](CViewerDlg& d) {
    const Rect before = d.GetWindowRect();
    d.ClickButton(kIdNextButton);
    EXPECT_EQ(d.GetWindowRect(),
              (Rect{before.left, before.top, before.left + 400, before.top + 180}));
    EXPECT_EQ(RectOf(d, kIdPictureFrame), (Rect{0, 0, 400, 100}));
  });
}

TEST_F(ViewerDlgTest, APageLargerThanTheWorkAreaIsShrunkCentredAndLaterPagesComeBackCentred) {
  AddPage("1.bmp", 300, 200);
  AddPage("2.bmp", 300, 900);
  AddPage("3.bmp", 400, 200);
  CaptureTrace();
  Run([&](CViewerDlg& d) {
    d.ClickButton(kIdNextButton);
    // 688 pixels high leaves 80 for the buttons on the 768-pixel screen; 229 wide keeps the
    // aspect, and the window keeps the buttons' 290.
    EXPECT_EQ(d.GetWindowRect(), (Rect{367, 0, 657, 768}));
    EXPECT_EQ(RectOf(d, kIdPictureFrame), (Rect{30, 0, 259, 688}));
    m_session.Paint(d);
    ASSERT_EQ(m_session.drawn_images().size(), 1u);
    EXPECT_EQ(m_session.drawn_images()[0].image->height, 688);
    d.ClickButton(kIdNextButton);
    EXPECT_EQ(d.GetWindowRect(), (Rect{312, 244, 712, 524}));
  });
  EXPECT_THAT(m_trace, Contains("File " + m_folder.Folder() +
                                "2.bmp: scaled to 76% (width = 229, height = 688) to fit the "
                                "screen.\n"));
}

TEST_F(ViewerDlgTest, ANarrowPageIsCentredAndEveryButtonStaysInTheWindow) {
  AddPage("1.bmp", 16, 16);
  Run([&](CViewerDlg& d) {
    const int width = d.GetClientRect().Width();
    EXPECT_EQ(width, 290);  // 20 + three 75-pixel buttons with their 5 and 20 gaps + 20
    EXPECT_EQ(RectOf(d, kIdPictureFrame), (Rect{137, 0, 153, 16}));
    EXPECT_EQ(RectOf(d, kIdPrevButton).left, 20);
    EXPECT_EQ(RectOf(d, kIdExitButton).right, width - 20);
    EXPECT_EQ(RectOf(d, kIdEtchedLine), (Rect{5, 21, 285, 23}));
  });
}

TEST_F(ViewerDlgTest, APageOfTheSameSizeOnlyInvalidatesThePicture) {
  AddPage("1.bmp", 300, 200);
  AddPage("2.bmp", 300, 200);
  CaptureTrace();
  Run([&](CViewerDlg& d) {
    const Rect before = d.GetWindowRect();
    m_session.ClearRecords();
    m_trace.clear();
    d.ClickButton(kIdNextButton);
    EXPECT_EQ(d.GetWindowRect(), before);
    EXPECT_THAT(PictureInvalidations({0, 0, 300, 200}), ::testing::ElementsAre(false));
    EXPECT_THAT(m_session.invalidations(),
                Contains(::testing::Field(&platform::ui::headless::Invalidation::rect,
                                          Rect{0, 0, 300, 200})));
  });
  EXPECT_THAT(m_trace, Not(Contains(::testing::StartsWith("RelayoutWnd:"))));
}

TEST_F(ViewerDlgTest, AFailedPageCountsAsVisitedKeepsTheWindowAndSaysItCannotBeShown) {
  AddPage("1.bmp", 300, 200);
  AddFile("2.bmp", {'B', 'M', 0, 0});
  AddPage("3.bmp", 100, 50);
  Run([&](CViewerDlg& d) {
    const Rect before = d.GetWindowRect();
    m_session.ClearRecords();
    d.ClickButton(kIdNextButton);
    EXPECT_EQ(d.GetWindowRect(), before);
    EXPECT_THAT(PictureInvalidations({0, 0, 300, 200}), Contains(true));
    EXPECT_TRUE(PrevShown(d));
    EXPECT_EQ(NextLabel(d), "Next >");
    m_session.Paint(d);
    EXPECT_TRUE(m_session.drawn_images().empty());
    ASSERT_EQ(m_session.drawn_texts().size(), 1u);
    EXPECT_EQ(m_session.drawn_texts()[0].text, "This page cannot be shown.\n2.bmp");
    EXPECT_EQ(m_session.drawn_texts()[0].rect, (Rect{0, 0, 300, 200}));
    d.ClickButton(kIdNextButton);
    EXPECT_EQ(NextLabel(d), "Finish");
    EXPECT_EQ(d.GetWindowRect().Width(), 290);
    m_session.Paint(d);
    EXPECT_EQ(m_session.drawn_texts().size(), 1u) << "a page shown again draws no text";
  });
}

TEST_F(ViewerDlgTest, AMissingPageFolderOpensSayingItCannotBeShown) {
  const std::string missing = m_folder.Folder() + "0x0412/";
  platform::SetThreadLocale(0x0411);
  CViewerDlg dialog(missing, "");
  m_session.set_driver([&](Dialog& d) {
    m_session.Paint(d);
    ASSERT_EQ(m_session.drawn_texts().size(), 1u);
    EXPECT_EQ(m_session.drawn_texts()[0].text, "このページは表示できません。\n" + missing);
  });
  dialog.DoModal();
}

TEST_F(ViewerDlgTest, PaintingDrawsThePageUprightFromMemoryAndConvertsItOnce) {
  AddPage("page.bmp", 5, 3);
  Run([&](CViewerDlg& d) {
    std::filesystem::remove(m_folder.Path() / "page.bmp");  // painting never reads the file
    m_session.Paint(d);
    m_session.Paint(d);
    ASSERT_EQ(m_session.drawn_images().size(), 2u);
    const auto& drawn = m_session.drawn_images().back();
    EXPECT_EQ(drawn.control_id, kIdPictureFrame);
    EXPECT_EQ(drawn.dest, (Rect{142, 0, 147, 3}));  // centred in the buttons' 290 pixels
    // Top row on screen is the last row in the file; B, G, R turn into R, G, B.
    const std::size_t stride = 16;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 3; ++c) {
          const std::size_t file_at = (2 - y) * stride + x * 3 + (2 - c);
          EXPECT_EQ(drawn.image->rgb[(y * 5 + x) * 3 + c], bmp_test::PixelByte(file_at));
        }
    EXPECT_EQ(d.Image().ConversionCount(), 1);
  });
}

TEST_F(ViewerDlgTest, WhileMinimisedTheIconIsDrawnCentred) {
  AddPage("page.bmp", 300, 200);
  Run([&](CViewerDlg& d) {
    m_session.SetIconic(d, true);
    m_session.ClearRecords();
    m_session.Paint(d);
    EXPECT_TRUE(m_session.drawn_images().empty());
    EXPECT_EQ(m_session.icon_background_erasures(), 1);
    ASSERT_EQ(m_session.drawn_icons().size(), 1u);
    const Rect client = d.GetClientRect();
    EXPECT_EQ(m_session.drawn_icons()[0].x, (client.Width() - 32 + 1) / 2);
    EXPECT_EQ(m_session.drawn_icons()[0].y, (client.Height() - 32 + 1) / 2);
    EXPECT_NE(m_session.drawn_icons()[0].icon, nullptr);
  });
}

TEST_F(ViewerDlgTest, InitialisationTracesTheWindowRectangleTwice) {
  CaptureTrace();
  Run([](CViewerDlg&) {});
  std::vector<std::string> rects;
  for (const std::string& line : m_trace)
    if (line.starts_with("Rect: ")) rects.push_back(line);
  // The window in pixels (605 x 504 from 403 x 310 units), then that converted once more.
  EXPECT_THAT(rects,
              ::testing::ElementsAre("Rect: left = 0, top = 0, right = 605, bottom = 504.\n",
                                     "Rect: left = 0, top = 0, right = 908, bottom = 819.\n"));
}
