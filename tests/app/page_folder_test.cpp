// The four page-folder templates and the model placeholder's replacement.
#include "app/page_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(PageFolderTemplate, FollowsTheTwoSwitches) {
  EXPECT_EQ(app::MakePageFolderTemplate("/srv/Setup/", "0x0409", false, false),
            "/srv/Setup/PageData/0x0409/");
  EXPECT_EQ(app::MakePageFolderTemplate("/srv/Setup/", "0x040c", true, false),
            "/srv/Setup/PageDataDirModelName/0x040c/");
  EXPECT_EQ(app::MakePageFolderTemplate("/srv/Setup/", "0x040c", true, true),
            "/srv/Setup/PageDataDirModelName/");
  EXPECT_EQ(app::MakePageFolderTemplate("/srv/Setup/", "0x0411", false, true),
            "/srv/Setup/PageData/");
}

TEST(PageFolderTemplate, UsesTheRootAsGiven) {
  EXPECT_EQ(app::MakePageFolderTemplate("/srv/Setup", "0x0409", false, false),
            "/srv/SetupPageData/0x0409/");
  EXPECT_EQ(app::MakePageFolderTemplate("", "", false, false), "PageData//");
}

TEST(ReplaceModelPlaceholder, InsertsTheModelPartOrRemovesThePlaceholder) {
  std::string chosen = "/srv/Setup/PageDataDirModelName/0x040c/";
  app::ReplaceModelPlaceholder(chosen, "_X");
  EXPECT_EQ(chosen, "/srv/Setup/PageData_X/0x040c/");
  std::string none = "/srv/Setup/PageDataDirModelName/";
  app::ReplaceModelPlaceholder(none, "");
  EXPECT_EQ(none, "/srv/Setup/PageData/");
}

TEST(ReplaceModelPlaceholder, ReplacesEveryOccurrenceButNotInsideTheReplacement) {
  std::string folder = "/DirModelName/PageDataDirModelName/";
  app::ReplaceModelPlaceholder(folder, "_DirModelName");
  EXPECT_EQ(folder, "/_DirModelName/PageData_DirModelName/");
}

}  // namespace

TEST(EnglishPageFolder, ReplacesTheLanguagePartOfAnyPageFolder) {
  EXPECT_EQ(app::EnglishPageFolder("/m/PageData/0x0412/"), "/m/PageData/0x0409/");
  EXPECT_EQ(app::EnglishPageFolder("/m/PageData_Beta/0x0411/"), "/m/PageData_Beta/0x0409/");
  EXPECT_EQ(app::EnglishPageFolder("/m/PageData//"), "/m/PageData/0x0409/");  // empty part
  EXPECT_EQ(app::EnglishPageFolder("PageData/"), "");
  EXPECT_EQ(app::EnglishPageFolder(""), "");
}
