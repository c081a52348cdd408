// The one trace routine. Every diagnostic of the program goes through Trace with a
// printf-style format. It discards its input unless SETUVIA_TRACE=1 is set in the
// environment; then each line goes to standard error. Tests can capture the lines.
#pragma once

#include <functional>
#include <string>

namespace platform {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the destination of trace lines (tests); an empty function restores the default.
// While a capture is installed every line is delivered, whatever SETUVIA_TRACE says. The
// capture receives the formatted text exactly, with the format's own line feed.
using TraceCapture = std::function<void(const std::string& line)>;
void SetTraceCapture(TraceCapture capture);

}  // namespace platform
