// The command line of setuvia-jpeg: what to do, with which file, and how to read it.
// Parsing is kept apart from the codec so that every rule is tested without a file.
#ifndef SETUVIA_TOOLS_SETUVIA_JPEG_CLI_OPTIONS_H
#define SETUVIA_TOOLS_SETUVIA_JPEG_CLI_OPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace setuvia_jpeg {

enum class Command { kInfo, kDecode };
enum class OutputFormat { kPnm, kBmp, kPng };

struct Region {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct CliOptions {
  Command command = Command::kInfo;
  std::string input;   // a file name, or "-" for standard input
  std::string output;  // decode: a file name, or "-" for standard output
  OutputFormat format = OutputFormat::kPnm;
  int32_t scale_divisor = 1;  // 1, 2, 4 or 8
  std::optional<Region> region;
  bool thumbnail = false;
  bool fast_dct = false;
  bool smooth = false;                     // smooth_upsampling
  bool tables = false;                     // info: print the quantisation and Huffman tables
  std::optional<int32_t> processor_class;  // forces the codec's routine class
};

// The options, or the message that says what is wrong with the command line.
struct ParseResult {
  std::optional<CliOptions> options;
  std::string error;
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);

// The output format a file name's extension asks for (.ppm/.pgm/.pnm, .bmp, .png).
std::optional<OutputFormat> FormatFromFileName(const std::string& name);

extern const char kUsage[];

}  // namespace setuvia_jpeg

#endif  // SETUVIA_TOOLS_SETUVIA_JPEG_CLI_OPTIONS_H
