// The extension test that picks the loader and decides which directory entries are pages.
#include "image/image_file_type.h"

#include <gtest/gtest.h>

TEST(ImageFileType, JpgAndBmpInAnyCaseArePages) {
  EXPECT_EQ(GetImageFileType("page1.Jpg"), IMAGE_TYPE_JPEG);
  EXPECT_EQ(GetImageFileType("PAGE2.JPG"), IMAGE_TYPE_JPEG);
  EXPECT_EQ(GetImageFileType("x.BMP"), IMAGE_TYPE_BMP);
  EXPECT_EQ(GetImageFileType("/pages/0x0409/step.bMp"), IMAGE_TYPE_BMP);
  EXPECT_TRUE(IsPageFile("a.bmp"));
  EXPECT_TRUE(IsPageFile("b.JPG"));
}

TEST(ImageFileType, OtherSpellingsAndExtensionsAreNotPages) {
  for (const char* name : {"page3.jpeg", "scan.dib", "photo.jpe", "archive.bmp.txt", "notes.txt",
                           "jpg", "bmp", "", ".", "..", "trailing.", "a.jpg ", "a.jp g"}) {
    EXPECT_EQ(GetImageFileType(name), IMAGE_TYPE_NONE) << '"' << name << '"';
    EXPECT_FALSE(IsPageFile(name)) << '"' << name << '"';
  }
}

TEST(ImageFileType, OnlyTheTextAfterTheLastDotCounts) {
  EXPECT_EQ(GetImageFileType("pages.bmp/readme"), IMAGE_TYPE_NONE);
  EXPECT_EQ(GetImageFileType("pages.txt/.jpg"), IMAGE_TYPE_JPEG);
  EXPECT_EQ(GetImageFileType("a.bmp.jpg"), IMAGE_TYPE_JPEG);
}

TEST(ImageFileType, NonAsciiLettersAreNotUpperCased) {
  // Only ASCII a-z are folded; a UTF-8 lookalike stays what it is.
  EXPECT_EQ(GetImageFileType("a.\xEF\xBD\x8Apg"), IMAGE_TYPE_NONE);
}
