// The page list: pages in enumeration order, one entry of look-ahead, "EOL" at the end, and
// the moves the navigation makes over it.
#include "viewer/page_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/trace.h"
#include "tests/image/bmp_test_file.h"
#include "tests/viewer/fake_entries.h"

namespace {

using ::testing::ElementsAre;

class PageListTest : public ::testing::Test {
 protected:
  void Use(std::vector<std::string> names, int fail_after = -1) {
    m_list = std::make_unique<CPageList>(
        std::make_unique<FakeEntries>(std::move(names), m_log, fail_after));
  }

  bool Start() { return m_list->StartPageList("/pages/", m_path); }

  FakeEntriesLog m_log;
  std::unique_ptr<CPageList> m_list;
  std::string m_path;
};

}  // namespace

TEST_F(PageListTest, PagesComeInEnumerationOrderUnsortedAndOtherFilesAreSkipped) {
  Use({".", "..", "b.JPG", "notes.txt", "a.bmp"});
  ASSERT_TRUE(Start());
  EXPECT_EQ(m_log.pattern, "/pages/*.*");
  EXPECT_EQ(m_path, "/pages/b.JPG");
  EXPECT_THAT(m_list->Entries(), ElementsAre("/pages/b.JPG", "/pages/a.bmp"));
  EXPECT_FALSE(m_list->IsLastPage());
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_EQ(m_path, "/pages/a.bmp");
  EXPECT_THAT(m_list->Entries(), ElementsAre("/pages/b.JPG", "/pages/a.bmp", "EOL"));
  EXPECT_TRUE(m_list->IsLastPage());
}

TEST_F(PageListTest, NamesThatAreNotPagesNeverEnter) {
  Use({"photo.jpeg", "scan.dib", "readme", "x.bmp.txt"});
  EXPECT_FALSE(Start());
  EXPECT_THAT(m_list->Entries(), ElementsAre("EOL"));
}

TEST_F(PageListTest, OnePageListsThePageAndEol) {
  Use({".", "..", "only.bmp"});
  ASSERT_TRUE(Start());
  EXPECT_THAT(m_list->Entries(), ElementsAre("/pages/only.bmp", "EOL"));
  EXPECT_TRUE(m_list->IsLastPage());
  EXPECT_TRUE(m_list->IsOnFirstPage());
  EXPECT_FALSE(m_list->GetNextPage(m_path));
  EXPECT_FALSE(m_list->GetPrevPage(m_path));
  EXPECT_EQ(m_path, "/pages/only.bmp");
}

TEST_F(PageListTest, AnEmptyOrUnreadableFolderIsEolAloneWithNoPageCurrent) {
  for (int fail_after : {-1, 0}) {
    Use({}, fail_after);
    EXPECT_FALSE(Start());
    EXPECT_THAT(m_list->Entries(), ElementsAre("EOL"));
    EXPECT_TRUE(m_list->IsLastPage());
    EXPECT_TRUE(m_list->IsOnFirstPage());
    EXPECT_FALSE(m_list->GetNextPage(m_path));
    EXPECT_FALSE(m_list->GetPrevPage(m_path));
  }
}

TEST_F(PageListTest, AnEnumerationErrorMidwayEndsTheFolder) {
  Use({"1.bmp", "2.bmp", "3.bmp"}, 2);
  ASSERT_TRUE(Start());
  EXPECT_THAT(m_list->Entries(), ElementsAre("/pages/1.bmp", "/pages/2.bmp"));
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_THAT(m_list->Entries(), ElementsAre("/pages/1.bmp", "/pages/2.bmp", "EOL"));
  EXPECT_TRUE(m_list->IsLastPage());
}

TEST_F(PageListTest, GoingBackAndForwardAgainAppendsOneMoreEol) {
  Use({"1.bmp", "2.bmp", "3.bmp"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_EQ(m_path, "/pages/3.bmp");
  EXPECT_TRUE(m_list->IsLastPage());
  ASSERT_TRUE(m_list->GetPrevPage(m_path));
  EXPECT_EQ(m_path, "/pages/2.bmp");
  EXPECT_FALSE(m_list->IsLastPage());
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_EQ(m_path, "/pages/3.bmp");
  EXPECT_THAT(m_list->Entries(),
              ElementsAre("/pages/1.bmp", "/pages/2.bmp", "/pages/3.bmp", "EOL", "EOL"));
  EXPECT_TRUE(m_list->IsLastPage());
  EXPECT_FALSE(m_list->GetNextPage(m_path));
  EXPECT_EQ(m_path, "/pages/3.bmp");
}

TEST_F(PageListTest, BackStopsAtTheFirstPage) {
  Use({"1.bmp", "2.bmp"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_FALSE(m_list->IsOnFirstPage());
  ASSERT_TRUE(m_list->GetPrevPage(m_path));
  EXPECT_EQ(m_path, "/pages/1.bmp");
  EXPECT_TRUE(m_list->IsOnFirstPage());
  EXPECT_FALSE(m_list->GetPrevPage(m_path));
}

TEST_F(PageListTest, EveryEntryReadIsTracedOnce) {
  std::vector<std::string> lines;
  platform::SetTraceCapture([&](const std::string& line) { lines.push_back(line); });
  Use({".", "..", "a.bmp", "notes.txt", "b.jpg"});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  platform::SetTraceCapture({});
  EXPECT_THAT(lines, ElementsAre("Find file = ..\n", "Find file = ...\n", "Find file = a.bmp.\n",
                                 "Find file = notes.txt.\n", "Find file = b.jpg.\n"));
}

TEST_F(PageListTest, TheLookAheadStopsAtTheNextPage) {
  // Reading stays one page ahead, however many other files the folder holds.
  std::vector<std::string> names = {"1.bmp", "2.bmp"};
  names.insert(names.end(), 1000, "other.txt");
  names.push_back("3.bmp");
  Use(names);
  ASSERT_TRUE(Start());
  EXPECT_EQ(m_log.next_calls, 1);
  ASSERT_TRUE(m_list->GetNextPage(m_path));
  EXPECT_EQ(m_log.next_calls, 1002);
}

TEST_F(PageListTest, TheEnumerationIsClosedOnceWhenOpened) {
  Use({"1.bmp"});
  ASSERT_TRUE(Start());
  m_list->CloseEnumeration();
  m_list->CloseEnumeration();
  m_list.reset();
  EXPECT_EQ(m_log.close_calls, 1);
  Use({}, 0);
  EXPECT_FALSE(Start());
  m_list.reset();
  EXPECT_EQ(m_log.close_calls, 1) << "a failed start leaves nothing to close";
}

TEST(PageListFolder, ListsAFoldersPagesInNameOrderIgnoringCase) {
  bmp_test::TempFolder folder("page-list-test");
  for (const char* name : {"B.bmp", "a.BMP", "c.txt", "C.jpg"})
    bmp_test::WriteFile(folder.Path() / name, {});
  CPageList list;
  std::string path;
  ASSERT_TRUE(list.StartPageList(folder.Folder(), path));
  EXPECT_EQ(path, folder.Folder() + "a.BMP");
  ASSERT_TRUE(list.GetNextPage(path));
  ASSERT_TRUE(list.GetNextPage(path));
  EXPECT_EQ(path, folder.Folder() + "C.jpg");
  EXPECT_TRUE(list.IsLastPage());
}
