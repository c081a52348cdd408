// The command-line tail and the option scanner. The tail is argv[1..] joined with single
// spaces; options are taken out of it in place as they are found.
#pragma once

#include <string>

namespace app {

std::string CommandLineTail(int argc, const char* const* argv);

// Looks for "-<option>" or "/<option>" anywhere in `command_line`; the first match from the
// left wins, and a longer name that begins with the option matches too. A following "="
// gives the value, up to the first space. The match is removed from `command_line` with its
// value and the one character after it. Returns true when found; `value` is emptied first.
bool ParseOptionValue(std::string& command_line, const std::string& option, std::string& value);

}  // namespace app
