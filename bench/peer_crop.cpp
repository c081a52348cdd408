// libjpeg reports errors by a call that must not return: it jumps back to the decode, which
// then releases the decompressor. Nothing with a destructor lives across the jump.
#include "bench/peer_crop.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace setuvia::bench {
namespace {

struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}
void IgnoreWarning(j_common_ptr, int) {}

// Rows of the rectangle, after the decompressor has started: the crop widens the columns
// to whole iMCUs, so each row is cut out of the wider scanline.
void ReadRect(jpeg_decompress_struct& info, const PixelRect& rect,
              const jpegtest::DibLayout& layout, uint8_t* pixels) {
  JDIMENSION x = rect.left, width = rect.width;
  jpeg_crop_scanline(&info, &x, &width);
  if (rect.top > 0) jpeg_skip_scanlines(&info, rect.top);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, width * 3, 1);
  const size_t offset = size_t{rect.left - x} * 3;
  for (uint32_t y = 0; y < rect.height; ++y) {
    jpeg_read_scanlines(&info, row, 1);
    std::memcpy(pixels + (layout.height - 1 - y) * layout.Stride(), row[0] + offset,
                layout.RowBytes());
  }
}

}  // namespace

bool PeerDecodeRect(std::span<const uint8_t> jpeg, const PixelRect& rect,
                    const jpegtest::DibLayout& layout, uint8_t* pixels) {
  jpeg_decompress_struct info;
  ErrorJump error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JumpBack;
  error.manager.emit_message = IgnoreWarning;
  if (setjmp(error.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;      // the accurate transform, as the TurboJPEG peer
  info.do_fancy_upsampling = FALSE;  // box upsampling, as ours
  jpeg_start_decompress(&info);
  ReadRect(info, rect, layout, pixels);
  jpeg_destroy_decompress(&info);  // the rows below are never decoded
  return true;
}

}  // namespace setuvia::bench
