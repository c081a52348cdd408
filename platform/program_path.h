// The full path of the program file (the module-file-name service), with a test double
// for a path that cannot be obtained or has no folder part.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct ProgramPathResult {
  std::optional<std::string> path;  // nothing when the path could not be obtained
  int error_code = 0;               // the platform's error code (errno) when it failed
};

ProgramPathResult ProgramFilePath();

// Makes ProgramFilePath return `result` (tests); nothing restores the real source.
void SetProgramPathForTesting(std::optional<ProgramPathResult> result);

}  // namespace platform
