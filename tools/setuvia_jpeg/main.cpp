// setuvia-jpeg: the codec on the command line. `info` prints what a JPEG's headers say;
// `decode` writes its pixels as PNM, BMP or PNG, through the public interface only, so the
// pixels in the file are exactly those a program calling the codec gets.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/setuvia_jpeg/cli_options.h"
#include "tools/setuvia_jpeg/codec_session.h"
#include "tools/setuvia_jpeg/image_files.h"
#include "tools/setuvia_jpeg/info_report.h"

namespace {

using namespace setuvia_jpeg;

bool ReadInput(const std::string& name, std::vector<uint8_t>& bytes) {
  FILE* file = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + n);
  const bool ok = !std::ferror(file);
  if (file != stdin) std::fclose(file);
  return ok;
}

int Fail(const std::string& input, const std::string& reason) {
  std::cerr << "setuvia-jpeg: " << input << ": " << reason << '\n';
  return 1;
}

int Run(const CliOptions& options) {
  // The processor class is read by JpegInit from the codec's registry stand-in.
  if (options.processor_class)
    setenv("SETUVIA_JPEG_USECPU", std::to_string(*options.processor_class).c_str(), 1);
  std::vector<uint8_t> bytes;
  if (!ReadInput(options.input, bytes)) return Fail(options.input, "cannot read the file");
  if (bytes.empty()) return Fail(options.input, "the file is empty");
  CodecSession session(std::move(bytes));
  const int32_t status = session.ReadParameters();
  if (status != JPEG_SUCCESS)
    return Fail(options.input, "cannot read the JPEG header: " + StatusText(status));
  if (options.command == Command::kInfo) {
    std::cout << InfoReport(session.properties(), session.comment(), options.tables);
    return 0;
  }
  Raster raster;
  std::string error;
  if (!session.Decode(options, raster, error)) return Fail(options.input, error);
  const std::vector<uint8_t> file = EncodeRaster(raster, options.format);
  if (file.empty()) return Fail(options.output, "cannot encode the image");
  if (!WriteWholeFile(options.output, file, error)) return Fail(options.output, error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    std::cerr << "setuvia-jpeg: " << parsed.error << '\n' << kUsage;
    return 2;
  }
  return Run(*parsed.options);
}
