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
