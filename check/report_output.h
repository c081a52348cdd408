// The checker's report as text: readable lines for a person, or tab-separated values for
// scripts, one finding a line in both.
#pragma once

#include <ostream>

#include "check/tree_check.h"

namespace check {

// "<kind> <subject>: <status>[: <detail>]", warnings and failures marked.
void PrintReadable(const Report& report, std::ostream& out);

// A header line, then kind, verdict, subject, status and detail separated by tabs.
void PrintTsv(const Report& report, std::ostream& out);

}  // namespace check
