// One JPEG in memory behind the codec's public interface: its parameters, and a decode
// into a top-down raster in the layout the image's colour calls for.
#ifndef SETUVIA_TOOLS_SETUVIA_JPEG_CODEC_SESSION_H
#define SETUVIA_TOOLS_SETUVIA_JPEG_CODEC_SESSION_H

#include <cstdint>
#include <string>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tools/setuvia_jpeg/cli_options.h"
#include "tools/setuvia_jpeg/image_files.h"

namespace setuvia_jpeg {

// The largest raster the tool allocates: a header may claim 65535x65535 in a few bytes.
inline constexpr uint64_t kMaxOutputPixels = uint64_t{1} << 28;

class CodecSession {
 public:
  explicit CodecSession(std::vector<uint8_t> bytes);
  ~CodecSession();
  CodecSession(const CodecSession&) = delete;
  CodecSession& operator=(const CodecSession&) = delete;

  // The parameters read; a codec status (0 on success).
  int32_t ReadParameters();
  // A decode as the options ask; on failure `error` says what failed and why.
  bool Decode(const CliOptions& options, Raster& raster, std::string& error);

  const JPEG_PROPERTIES& properties() const { return properties_; }
  const std::string& comment() const { return comment_; }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> comment_buffer_;
  std::string comment_;
  JPEG_PROPERTIES properties_{};
};

// "Not supported (-12)": the codec's text and code of a status.
std::string StatusText(int32_t status);

}  // namespace setuvia_jpeg

#endif  // SETUVIA_TOOLS_SETUVIA_JPEG_CODEC_SESSION_H
