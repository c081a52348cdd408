// The tree checker: what the viewer would make of a root folder, page by page, without
// opening a window. It reads Setuvia.ini as start-up does, forms the page folders of every
// model and language as start-up does, lists each folder's pages as the page list does and
// loads each page as the viewer does, and reports what a packager should know: pages that do
// not show and why, files meant as pages that the viewer skips, pages larger than a screen.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace check {

enum class Verdict {
  kNote,     // what the viewer will do
  kWarning,  // probably not what the packager meant, but every page still shows
  kFailure,  // a page (or a whole page folder) does not show
};

// One line of the report: a kind ("setting", "page", ...), what it is about (a path, or a
// configuration key), a short status and the details.
struct Finding {
  std::string kind;
  std::string subject;
  std::string status;
  std::string detail;
  Verdict verdict = Verdict::kNote;
};

struct Report {
  std::vector<Finding> findings;
  int pages = 0;
  int pages_shown = 0;

  void Add(Finding finding) { findings.push_back(std::move(finding)); }
  int Count(Verdict verdict) const;
};

// Checks the tree below `root`, a folder prefix used as -root_dir uses it (ending in "/").
Report CheckTree(const std::string& root);

// 0 when every page shows, 1 otherwise.
int ExitStatus(const Report& report);

}  // namespace check
