// Case-insensitive path resolution, whole-file reading and the enumeration order.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/platform/temp_folder.h"

namespace {

std::vector<std::string> ListAll(const std::string& pattern) {
  platform::DirectoryEnumeration enumeration;
  std::vector<std::string> names;
  std::string name;
  for (bool more = enumeration.First(pattern, name); more; more = enumeration.Next(name))
    names.push_back(name);
  return names;
}

TEST(ResolvePath, KeepsAPathThatExistsAsWritten) {
  TempFolder root;
  root.Write("PageData/0x040C/a.jpg", "x");
  EXPECT_EQ(platform::ResolvePath(root.Path() + "PageData/0x040C/a.jpg"),
            root.Path() + "PageData/0x040C/a.jpg");
}

TEST(ResolvePath, MatchesEveryComponentIgnoringAsciiCase) {
  TempFolder root;
  root.Write("PageData/0x040C/Page1.JPG", "x");
  EXPECT_EQ(platform::ResolvePath(root.Path() + "pagedata/0x040c/page1.jpg"),
            root.Path() + "PageData/0x040C/Page1.JPG");
  EXPECT_EQ(platform::ResolvePath(root.Path() + "PAGEDATA/0x040c/"),
            root.Path() + "PageData/0x040C/");
  EXPECT_TRUE(platform::FileExists(root.Path() + "pagedata/0X040C"));
}

TEST(ResolvePath, FindsNothingForAMissingComponentOrAnEmptyPath) {
  TempFolder root;
  root.MakeFolder("PageData");
  EXPECT_FALSE(platform::ResolvePath(root.Path() + "PageData/0x0409/").has_value());
  EXPECT_FALSE(platform::FileExists(root.Path() + "PageDat"));
  EXPECT_FALSE(platform::FileExists(""));
}

TEST(ResolvePath, DoesNotFoldNonAsciiLetters) {
  TempFolder root;
  root.MakeFolder("PageData_Ä");
  EXPECT_TRUE(platform::FileExists(root.Path() + "pagedata_Ä"));
  EXPECT_FALSE(platform::FileExists(root.Path() + "PageData_ä"));
}

TEST(ReadWholeFile, ReadsEveryByteFromACaseInsensitivePath) {
  TempFolder root;
  const std::string bytes("a\0b\xff", 4);
  root.Write("Setuvia.ini", bytes);
  const auto read = platform::ReadWholeFile(root.Path() + "SETUVIA.INI");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
}

TEST(ReadWholeFile, RefusesMissingFilesFoldersAndFifos) {
  TempFolder root;
  root.MakeFolder("folder");
  ASSERT_EQ(::mkfifo((root.Path() + "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(platform::ReadWholeFile(root.Path() + "missing").has_value());
  EXPECT_FALSE(platform::ReadWholeFile(root.Path() + "folder").has_value());
  EXPECT_FALSE(platform::ReadWholeFile(root.Path() + "fifo").has_value());
  EXPECT_FALSE(platform::ReadWholeFile("").has_value());
}

TEST(ReadOnlyFile, ReadsPiecesAndStopsShortAtTheEnd) {
  TempFolder root;
  root.Write("page.bmp", "0123456789");
  platform::ReadOnlyFile file;
  ASSERT_TRUE(file.Open(root.Path() + "PAGE.bmp"));
  EXPECT_EQ(file.Size(), 10u);
  char buffer[8] = {};
  EXPECT_EQ(file.ReadAt(6, buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(file.ReadAt(100, buffer, sizeof buffer), 0u);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.ReadAt(0, buffer, sizeof buffer), 0u);
}

TEST(DirectoryEnumeration, ListsDotEntriesFirstThenNamesInCaseInsensitiveOrdinalOrder) {
  TempFolder root;
  for (const char* name : {"b.jpg", "A.bmp", "_x.jpg", "a2.JPG", "C.txt", "10.jpg", "9.jpg"}) {
    root.Write(std::string("pages/") + name, "x");
  }
  root.MakeFolder("pages/sub");
  // Upper-cased comparison puts digits before letters and letters before "_".
  EXPECT_EQ(ListAll(root.Path() + "pages/*.*"),
            (std::vector<std::string>{".", "..", "10.jpg", "9.jpg", "A.bmp", "a2.JPG", "b.jpg",
                                      "C.txt", "sub", "_x.jpg"}));
}

TEST(DirectoryEnumeration, OrdersNamesEqualButForCaseByTheirBytes) {
  TempFolder root;
  root.Write("p/a.jpg", "x");
  root.Write("p/A.jpg", "x");
  EXPECT_EQ(ListAll(root.Path() + "p/*.*"),
            (std::vector<std::string>{".", "..", "A.jpg", "a.jpg"}));
}

TEST(DirectoryEnumeration, FindsTheFolderIgnoringCase) {
  TempFolder root;
  root.Write("PageData/0x0C0A/p.jpg", "x");
  EXPECT_EQ(ListAll(root.Path() + "pagedata/0x0c0a/*.*"),
            (std::vector<std::string>{".", "..", "p.jpg"}));
}

TEST(DirectoryEnumeration, FailsOnAMissingFolderAFileOrAnotherPattern) {
  TempFolder root;
  root.Write("p/a.jpg", "x");
  EXPECT_TRUE(ListAll(root.Path() + "q/*.*").empty());
  EXPECT_TRUE(ListAll(root.Path() + "p/a.jpg/*.*").empty());
  EXPECT_TRUE(ListAll(root.Path() + "p/*.jpg").empty());
  platform::DirectoryEnumeration enumeration;
  std::string name = "kept";
  EXPECT_FALSE(enumeration.First(root.Path() + "q/*.*", name));
  EXPECT_FALSE(enumeration.IsOpen());
  EXPECT_FALSE(enumeration.Next(name));
}

TEST(DirectoryEnumeration, EndsAfterTheLastEntryAndCanBeReopened) {
  TempFolder root;
  root.Write("p/a.jpg", "x");
  platform::DirectoryEnumeration enumeration;
  std::string name;
  ASSERT_TRUE(enumeration.First(root.Path() + "p/*.*", name));
  EXPECT_TRUE(enumeration.Next(name));
  EXPECT_TRUE(enumeration.Next(name));
  EXPECT_EQ(name, "a.jpg");
  EXPECT_FALSE(enumeration.Next(name));
  ASSERT_TRUE(enumeration.First(root.Path() + "p/*", name));
  EXPECT_EQ(name, ".");
}

}  // namespace
