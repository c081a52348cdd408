// Rendering of findings. File names may hold tabs or line feeds; the tab-separated form
// turns them into spaces so that every finding stays one row of five fields.
#include "check/report_output.h"

#include <algorithm>
#include <string_view>

namespace check {
namespace {

std::string_view VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kWarning:
      return "warning";
    case Verdict::kFailure:
      return "FAILURE";
    case Verdict::kNote:
      break;
  }
  return "ok";
}

std::string Field(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

}  // namespace

void PrintReadable(const Report& report, std::ostream& out) {
  for (const Finding& f : report.findings) {
    std::string kind = f.kind;
    kind.resize(std::max<std::size_t>(kind.size() + 1, 10), ' ');
    out << kind << f.subject << ": ";
    // A "warning" line needs no second mark.
    if (f.verdict != Verdict::kNote && f.kind != VerdictName(f.verdict))
      out << VerdictName(f.verdict) << ": ";
    out << f.status;
    if (!f.detail.empty()) out << ": " << f.detail;
    out << '\n';
  }
}

void PrintTsv(const Report& report, std::ostream& out) {
  out << "kind\tverdict\tsubject\tstatus\tdetail\n";
  for (const Finding& f : report.findings) {
    out << f.kind << '\t' << VerdictName(f.verdict) << '\t' << Field(f.subject) << '\t'
        << Field(f.status) << '\t' << Field(f.detail) << '\n';
  }
}

}  // namespace check
