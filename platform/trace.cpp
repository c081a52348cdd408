// The trace routine: formats a printf-style line and hands it to the capture installed by a
// test, else to standard error when SETUVIA_TRACE=1, else nowhere (the delivered behaviour).
#include "platform/trace.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {
namespace {

TraceCapture& Capture() {
  static TraceCapture capture;
  return capture;
}

bool TraceEnabledByEnvironment() {
  const char* value = std::getenv("SETUVIA_TRACE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string FormatLine(const char* format, std::va_list args) {
  std::va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return {};
  std::string line(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(line.data(), line.size(), format, args);
  line.resize(static_cast<std::size_t>(length));
  return line;
}

// One write per line, so lines from the trace never interleave with other output mid-line.
void WriteToStandardError(const std::string& line) {
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t written = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
    if (written <= 0) return;
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace

void Trace(const char* format, ...) {
  const bool captured = static_cast<bool>(Capture());
  if (!captured && !TraceEnabledByEnvironment()) return;
  std::va_list args;
  va_start(args, format);
  const std::string line = FormatLine(format, args);
  va_end(args);
  if (captured) {
    Capture()(line);
  } else {
    WriteToStandardError(line);
  }
}

void SetTraceCapture(TraceCapture capture) {
  Capture() = std::move(capture);
}

}  // namespace platform
