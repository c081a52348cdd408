// Parses setuvia-jpeg's command line: a command word, options in any order, then the
// input file (and, for decode, the output file). Every mistake gets a message of its own.
#include "tools/setuvia_jpeg/cli_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace setuvia_jpeg {

const char kUsage[] =
    "usage: setuvia-jpeg info [--tables] FILE\n"
    "       setuvia-jpeg decode [options] FILE OUT\n"
    "FILE and OUT may be '-' for standard input and output.\n"
    "decode options:\n"
    "  --format ppm|bmp|png   output format (default: from OUT's extension; ppm for '-')\n"
    "  --scale 1/2|1/4|1/8    decode at a reduced size\n"
    "  --region X,Y,W,H       decode only this rectangle of the image\n"
    "  --thumbnail            write the embedded thumbnail instead of the image\n"
    "  --fast-dct             use the fast inverse DCT\n"
    "  --smooth               fill in 4:2:2 and 4:2:0 chroma with the triangle filter\n"
    "  --class N              force the codec's processor class (0 plain ... 6)\n";

namespace {

bool ParseInt(const std::string& text, int32_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::optional<Region> ParseRegion(const std::string& text) {
  Region r;
  int32_t* fields[] = {&r.x, &r.y, &r.width, &r.height};
  size_t start = 0;
  for (size_t i = 0; i < 4; ++i) {
    size_t comma = i < 3 ? text.find(',', start) : text.size();
    if (comma == std::string::npos) return std::nullopt;
    if (!ParseInt(text.substr(start, comma - start), *fields[i])) return std::nullopt;
    start = comma + 1;
  }
  if (r.x < 0 || r.y < 0 || r.width <= 0 || r.height <= 0) return std::nullopt;
  return r;
}

std::optional<int32_t> ParseScale(const std::string& text) {
  if (text == "1/2") return 2;
  if (text == "1/4") return 4;
  if (text == "1/8") return 8;
  return std::nullopt;
}

std::optional<OutputFormat> ParseFormat(const std::string& text) {
  if (text == "ppm" || text == "pgm" || text == "pnm") return OutputFormat::kPnm;
  if (text == "bmp") return OutputFormat::kBmp;
  if (text == "png") return OutputFormat::kPng;
  return std::nullopt;
}

ParseResult Fail(std::string message) {
  return {std::nullopt, std::move(message)};
}

}  // namespace

std::optional<OutputFormat> FormatFromFileName(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return std::nullopt;
  std::string ext = name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ParseFormat(ext);
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("no command given");
  CliOptions options;
  if (args[0] == "info") {
    options.command = Command::kInfo;
  } else if (args[0] == "decode") {
    options.command = Command::kDecode;
  } else {
    return Fail("unknown command '" + args[0] + "'");
  }
  std::vector<std::string> files;
  std::optional<OutputFormat> format;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    const bool decode = options.command == Command::kDecode;
    if (arg == "--tables" && !decode) {
      options.tables = true;
    } else if (arg == "--thumbnail" && decode) {
      options.thumbnail = true;
    } else if (arg == "--fast-dct" && decode) {
      options.fast_dct = true;
    } else if (arg == "--smooth" && decode) {
      options.smooth = true;
    } else if (arg == "--scale" && decode && has_value) {
      std::optional<int32_t> divisor = ParseScale(args[++i]);
      if (!divisor) return Fail("--scale takes 1/2, 1/4 or 1/8, not '" + args[i] + "'");
      options.scale_divisor = *divisor;
    } else if (arg == "--region" && decode && has_value) {
      options.region = ParseRegion(args[++i]);
      if (!options.region) return Fail("--region takes X,Y,W,H with W and H above 0");
    } else if (arg == "--format" && decode && has_value) {
      format = ParseFormat(args[++i]);
      if (!format) return Fail("--format takes ppm, bmp or png, not '" + args[i] + "'");
    } else if (arg == "--class" && decode && has_value) {
      int32_t n = 0;
      if (!ParseInt(args[++i], n) || n < 0 || n > 6)
        return Fail("--class takes a number from 0 to 6");
      options.processor_class = n;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return Fail("unknown option '" + arg + "'" + (has_value ? "" : " or missing value"));
    } else {
      files.push_back(arg);
    }
  }
  const size_t wanted = options.command == Command::kDecode ? 2 : 1;
  if (files.size() != wanted)
    return Fail(wanted == 2 ? "decode takes an input and an output file" : "info takes one file");
  options.input = files[0];
  if (options.command == Command::kDecode) {
    options.output = files[1];
    if (options.thumbnail && (options.region || options.scale_divisor != 1))
      return Fail("--thumbnail goes with neither --scale nor --region");
    // The codec's smooth reads are whole reads at full size.
    if (options.smooth && (options.region || options.scale_divisor != 1 || options.thumbnail))
      return Fail("--smooth goes with neither --scale, --region nor --thumbnail");
    if (!format)
      format = options.output == "-" ? OutputFormat::kPnm : FormatFromFileName(options.output);
    if (!format) return Fail("cannot tell the format from '" + options.output + "': use --format");
    options.format = *format;
  }
  return {options, ""};
}

}  // namespace setuvia_jpeg
