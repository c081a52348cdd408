// The viewer's layout arithmetic and its title.
#include "viewer/viewer_layout.h"

#include <gtest/gtest.h>

using platform::ui::Rect;

TEST(ViewerLayout, A640By480PageLaysTheControlsOutBelowIt) {
  const viewer::ControlLayout l = viewer::LayoutForPage(640, 480, {{75, 23}, {70, 23}, {80, 23}});
  EXPECT_EQ(l.picture, (Rect{0, 0, 640, 480}));
  EXPECT_EQ(l.etched_line, (Rect{5, 485, 635, 487}));
  EXPECT_EQ(l.exit, (Rect{545, 496, 620, 519}));
  EXPECT_EQ(l.next, (Rect{455, 496, 525, 519}));      // 20 pixels left of Exit
  EXPECT_EQ(l.previous, (Rect{370, 496, 450, 519}));  // 5 pixels left of Next
}

TEST(ViewerLayout, ANarrowPageIsCentredInTheWidthTheButtonsNeed) {
  const viewer::ButtonSizes buttons{{75, 23}, {70, 23}, {80, 23}};
  EXPECT_EQ(viewer::ClientWidthForPage(128, buttons), 290);  // 20+80+5+70+20+75+20
  EXPECT_EQ(viewer::ClientWidthForPage(291, buttons), 291);
  const viewer::ControlLayout l = viewer::LayoutForPage(128, 96, buttons);
  EXPECT_EQ(l.picture, (Rect{81, 0, 209, 96}));
  EXPECT_EQ(l.etched_line, (Rect{5, 101, 285, 103}));
  EXPECT_EQ(l.previous.left, 20);
  EXPECT_EQ(l.exit.right, 270);
}

TEST(ViewerLayout, APageIsShrunkOnlyWhenItsWindowWouldLeaveTheWorkArea) {
  struct Case {
    int w, h;
    viewer::PageFit fit;
  };
  const Rect work{0, 0, 1600, 1200};  // a window holds 1596 x 1120 of page with a 4-pixel frame
  for (const Case& c : {
           Case{1596, 1120, {1596, 1120, false, 100}},
           Case{6000, 4000, {1596, 1064, true, 27}},  // the width limits
           Case{1000, 4000, {280, 1120, true, 28}},   // the height limits
           Case{40000, 1, {1596, 1, true, 4}},        // never below one pixel
       }) {
    const viewer::PageFit fit = viewer::FitPageToWorkArea(c.w, c.h, work, 4);
    EXPECT_EQ(fit.width, c.fit.width) << c.w << "x" << c.h;
    EXPECT_EQ(fit.height, c.fit.height) << c.w << "x" << c.h;
    EXPECT_EQ(fit.scaled, c.fit.scaled) << c.w << "x" << c.h;
    EXPECT_EQ(fit.percent, c.fit.percent) << c.w << "x" << c.h;
  }
}

TEST(ViewerLayout, TheWindowFitsThePageAtTheSameCorner) {
  EXPECT_EQ(viewer::PageWindowRect({100, 50, 705, 554}, 0, 640, 480), (Rect{100, 50, 740, 610}));
  // A window manager's frame widens the window so that the whole page width shows.
  EXPECT_EQ(viewer::PageWindowRect({100, 50, 709, 580}, 4, 640, 480), (Rect{100, 50, 744, 610}));
}

TEST(ViewerTitle, EveryPlaceholderIsReplacedCaseSensitively) {
  EXPECT_EQ(viewer::ReplaceProductName("ProductName Installation Instruction", "Alpha"),
            "Alpha Installation Instruction");
  EXPECT_EQ(viewer::ReplaceProductName("ProductName and ProductName", "VORN"), "VORN and VORN");
  EXPECT_EQ(viewer::ReplaceProductName("productname PRODUCTNAME", "X"), "productname PRODUCTNAME");
  EXPECT_EQ(viewer::ReplaceProductName("Instruktion", "X"), "Instruktion");
}

TEST(ViewerTitle, ANameHoldingThePlaceholderIsNotReplacedAgain) {
  EXPECT_EQ(viewer::ReplaceProductName("ProductName!", "My ProductName"), "My ProductName!");
  EXPECT_EQ(viewer::ReplaceProductName("ProductName", ""), "");
}
