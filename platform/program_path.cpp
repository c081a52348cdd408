// The program path from /proc/self/exe, read without a length limit of its own.
#include "platform/program_path.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

std::optional<ProgramPathResult>& Override() {
  static std::optional<ProgramPathResult> result;
  return result;
}

ProgramPathResult ReadProcSelfExe() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {std::nullopt, errno};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return {std::string(buffer.data(), static_cast<std::size_t>(length)), 0};
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

ProgramPathResult ProgramFilePath() {
  return Override() ? *Override() : ReadProcSelfExe();
}

void SetProgramPathForTesting(std::optional<ProgramPathResult> result) {
  Override() = std::move(result);
}

}  // namespace platform
