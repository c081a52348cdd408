// setuvia-check: checks a root folder of pages as the viewer would show it, without a window.
//   setuvia-check [--tsv] <root folder>
// Exit status: 0 when every page shows, 1 when one does not, 2 for a usage error.
#include <iostream>
#include <string>
#include <string_view>

#include "check/report_output.h"
#include "check/tree_check.h"
#include "platform/file_system.h"

namespace {

constexpr int kUsageError = 2;

void PrintUsage(std::ostream& out) {
  out << "usage: setuvia-check [--tsv] <root folder>\n"
         "Checks Setuvia.ini and every page below the root folder as the viewer shows\n"
         "them; exit status 0 when every page shows, 1 otherwise, 2 for a usage error.\n";
}

int UsageError(std::string_view problem) {
  std::cerr << "setuvia-check: " << problem << "\n";
  PrintUsage(std::cerr);
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  bool tsv = false;
  std::string root;
  bool have_root = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--tsv") {
      tsv = true;
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(std::cout);
      return 0;
    } else if (arg.starts_with("-") || have_root) {
      return UsageError("unexpected argument \"" + std::string(arg) + "\"");
    } else {
      root = arg;
      have_root = true;
    }
  }
  if (!have_root) return UsageError("no root folder given");
  // The root is a folder prefix, as -root_dir takes it; a folder named without "/" is meant.
  if (!root.empty() && !root.ends_with('/')) root += '/';
  if (!root.empty() && !platform::FileExists(root)) return UsageError("no folder " + root);
  const check::Report report = check::CheckTree(root);
  if (tsv) {
    check::PrintTsv(report, std::cout);
  } else {
    check::PrintReadable(report, std::cout);
  }
  return check::ExitStatus(report);
}
