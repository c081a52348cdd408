// The option scanner. There is no quoting and no error: a value ends at the first space,
// and whatever is not an option stays in the tail untouched.
#include "app/command_line.h"

#include "platform/trace.h"

namespace app {
namespace {

bool IsSwitch(char c) {
  return c == '-' || c == '/';
}

// The first position of a switch character directly followed by the option name.
std::size_t FindOption(const std::string& text, const std::string& option) {
  for (std::size_t p = 0; p < text.size(); ++p) {
    if (IsSwitch(text[p]) && text.size() - p - 1 >= option.size() &&
        text.compare(p + 1, option.size(), option) == 0) {
      return p;
    }
  }
  return std::string::npos;
}

}  // namespace

std::string CommandLineTail(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return tail;
}

bool ParseOptionValue(std::string& command_line, const std::string& option, std::string& value) {
  value.clear();
  const std::size_t p = FindOption(command_line, option);
  if (p == std::string::npos) return false;
  const std::size_t n = option.size();
  const std::size_t after_name = p + 1 + n;
  std::size_t k = 0;
  if (after_name < command_line.size() && command_line[after_name] == '=') {
    const std::size_t start = after_name + 1;
    const std::size_t end = command_line.find(' ', start);
    value = command_line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    k = value.size() + 2;
    platform::Trace("ParseOptionValue: %s = %s.\n", option.c_str(), value.c_str());
  }
  // Switch, name, "=", value and the separating character; or everything to the end.
  const std::size_t remaining = command_line.size() - p;
  if (n + k < remaining) {
    command_line.erase(p, n + k + 1);
  } else {
    command_line.erase(p);
  }
  platform::Trace("ParseOptionValue: remain string %s.\n", command_line.c_str() + p);
  return true;
}

}  // namespace app
