// The tree checker over crafted trees: every way a page fails or a packager slips is reported
// with its verdict, and the exit status follows the failures.
#include "check/tree_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "check/report_output.h"
#include "tests/image/bmp_test_file.h"
#include "tests/jpeg/support/peer_codec.h"
#include "tests/platform/temp_folder.h"

namespace {

using check::Verdict;
using Bytes = std::vector<std::uint8_t>;

std::string Text(const Bytes& bytes) {
  return {bytes.begin(), bytes.end()};
}

Bytes Jpeg() {
  return setuvia::jpegtest::EncodeTestImage(64, 48, setuvia::jpegtest::PeerSampling::k420, 90);
}

// The finding of that kind about that subject; fails the test when there is none.
const check::Finding& Find(const check::Report& report, const std::string& kind,
                           const std::string& subject) {
  for (const check::Finding& f : report.findings) {
    if (f.kind == kind && f.subject == subject) return f;
  }
  ADD_FAILURE() << "no " << kind << " finding for " << subject;
  static const check::Finding kNone;
  return kNone;
}

}  // namespace

TEST(TreeCheck, ReportsEveryKindOfFailureAndWarning) {
  TempFolder tree;
  const std::string root = tree.Path();
  tree.Write("Setuvia.ini",
             "[ModelSelectDialog]\nDisplay=yes\nModel1=Alpha\nModel2=Ghost\nModel4=Late\n"
             "Dispaly=1\n[ProductName]\nName=x\n[Product Name]\nName=" +
                 std::string(70, 'n') + "\n");
  const std::string en = root + "PageData/0x0409/";
  tree.Write("PageData/0x0409/01.bmp", Text(bmp_test::MakeBmp({.width = 1921, .height = 2})));
  Bytes cut = Jpeg();
  cut.resize(cut.size() * 2 / 3);
  tree.Write("PageData/0x0409/02.jpg", Text(cut));
  tree.Write("PageData/0x0409/03.jpg", "\x89PNG\r\n\x1a\n....");
  tree.Write("PageData/0x0409/04.jpeg", Text(Jpeg()));
  tree.Write("PageData/0x0409/05.bmp", Text(bmp_test::MakeBmp({.compression = 1})));
  tree.Write("PageData/0x0409/notes.txt", "not a page");
  tree.MakeFolder("PageData/0x0411");
  tree.MakeFolder("PageData/0x0413");
  tree.Write("PageData_Alpha/0x0409/01.jpg", Text(Jpeg()));

  const check::Report report = check::CheckTree(root);
  const struct {
    const char* kind;
    std::string subject;
    std::string status;
    Verdict verdict;
  } expected[] = {
      {"setting", "[ModelSelectDialog] Display", "0", Verdict::kWarning},
      {"setting", "[ModelSelectDialog] Model4", "never read", Verdict::kWarning},
      {"setting", "[Product Name] Name", std::string(63, 'n'), Verdict::kWarning},
      {"setting", "[ModelSelectDialog] Dispaly", "ignored", Verdict::kWarning},
      {"setting", "[ProductName]", "ignored", Verdict::kWarning},
      {"model", "Alpha", "unused", Verdict::kNote},
      {"model", "Ghost", "no folder", Verdict::kWarning},
      {"page", root + "PageData_Alpha/0x0409/01.jpg", "shown", Verdict::kNote},
      {"folder", en, "4 pages", Verdict::kNote},
      {"page", en + "01.bmp", "shown", Verdict::kNote},
      {"warning", en + "01.bmp", "large", Verdict::kWarning},
      {"page", en + "02.jpg", "not shown", Verdict::kFailure},
      {"page", en + "03.jpg", "not shown", Verdict::kFailure},
      {"warning", en + "03.jpg", "content", Verdict::kWarning},
      {"warning", en + "04.jpeg", "skipped", Verdict::kWarning},
      {"page", en + "05.bmp", "not shown", Verdict::kFailure},
      {"folder", root + "PageData/0x0411/", "no page", Verdict::kFailure},
      {"folder", root + "PageData/0x0413/", "not a detected language", Verdict::kNote},
      {"result", root, "fail", Verdict::kNote},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.subject);
    const check::Finding& f = Find(report, e.kind, e.subject);
    EXPECT_EQ(f.status, e.status);
    EXPECT_EQ(f.verdict, e.verdict);
  }
  EXPECT_EQ(Find(report, "page", en + "02.jpg").detail, "image read failed: Memory error");
  EXPECT_EQ(Find(report, "languages", root + "PageData/").detail,
            "0x0404 0x0407 0x040c 0x0410 0x0412 0x0419 0x0804 0x0c0a (sessions in these "
            "languages see the English pages)");
  EXPECT_EQ(report.pages, 5);
  EXPECT_EQ(report.pages_shown, 2);
  EXPECT_EQ(check::ExitStatus(report), 1);
}

TEST(TreeCheck, ATreeWhosePagesAllShowPasses) {
  TempFolder tree;
  tree.Write("PageData/0x0409/01.jpg", Text(Jpeg()));
  const check::Report report = check::CheckTree(tree.Path());
  EXPECT_EQ(Find(report, "ini", tree.Path() + "Setuvia.ini").status, "missing");
  EXPECT_EQ(report.Count(Verdict::kWarning), 0);
  EXPECT_EQ(check::ExitStatus(report), 0);
}

TEST(TreeCheck, WarnsOfLanguageFoldersTheLanguageDialogDoesNotOffer) {
  TempFolder tree;
  tree.Write("Setuvia.ini", "[LanguageSelectDialog]\nDisplay=1\n");
  tree.Write("PageData/0x0409/01.jpg", Text(Jpeg()));
  tree.Write("PageData/0x0412/01.jpg", Text(Jpeg()));
  tree.MakeFolder("PageData/0x0413");
  const check::Report report = check::CheckTree(tree.Path());
  EXPECT_EQ(Find(report, "warning", tree.Path() + "PageData/0x0412/").status, "not offered");
  EXPECT_EQ(Find(report, "warning", tree.Path() + "PageData/0x0413/").status, "not offered");
  EXPECT_EQ(report.Count(Verdict::kWarning), 2);
  EXPECT_EQ(check::ExitStatus(report), 0);
}

TEST(TreeCheck, WarnsWhenMissingLanguagesHaveNoEnglishPagesToFallBackTo) {
  TempFolder tree;
  tree.Write("PageData/0x0407/01.jpg", Text(Jpeg()));
  const check::Report report = check::CheckTree(tree.Path());
  EXPECT_EQ(Find(report, "languages", tree.Path() + "PageData/").verdict, Verdict::kWarning);
  EXPECT_EQ(check::ExitStatus(report), 0);
}

TEST(TreeCheck, ATreeWithoutPageDataFails) {
  TempFolder tree;
  const check::Report report = check::CheckTree(tree.Path());
  EXPECT_EQ(Find(report, "folder", tree.Path() + "PageData/").verdict, Verdict::kFailure);
  EXPECT_EQ(check::ExitStatus(report), 1);
}

TEST(ReportOutput, TsvKeepsEveryFindingOnOneRowOfFiveFields) {
  check::Report report;
  report.Add(
      {"page", "/p/a\tb.jpg", "not shown", "image read failed: Not JPEG", Verdict::kFailure});
  std::ostringstream tsv;
  check::PrintTsv(report, tsv);
  EXPECT_EQ(tsv.str(),
            "kind\tverdict\tsubject\tstatus\tdetail\n"
            "page\tFAILURE\t/p/a b.jpg\tnot shown\timage read failed: Not JPEG\n");
  std::ostringstream readable;
  check::PrintReadable(report, readable);
  EXPECT_EQ(readable.str(),
            "page      /p/a\tb.jpg: FAILURE: not shown: image read failed: Not JPEG\n");
}
