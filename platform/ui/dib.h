// Drawing device-independent bitmaps (the DrawDib stand-in): a bitmap info header of 40
// bytes followed by pixel rows, bottom-up when the height is positive, each row padded to
// a multiple of 4 bytes, 16 (5-5-5), 24 (B, G, R) or 32 (B, G, R, unused) bits per pixel,
// uncompressed. The DIB is stretched onto a rectangle of a control's area.
//
// Converting a DIB to what the screen draws costs a pass over every pixel, so a DrawDib
// keeps the converted image and reuses it while the same header and pixel buffer are drawn
// at the same size: a page is converted once, not on every paint. The owner of the pixels
// calls PixelsChanged whenever it rewrites or replaces them, since a new buffer may reuse
// the address of the old one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/dib_header.h"
#include "platform/ui/geometry.h"

namespace platform::ui {

enum class DibError {
  kNone,
  kBadHeader,       // header size, width, height, planes or compression not usable
  kBadBitCount,     // not 16, 24 or 32 bits per pixel
  kTooLarge,        // the image's size does not fit the arithmetic or the memory bound
  kBufferTooSmall,  // fewer pixel bytes than the header describes
};

// Checks a header against the pixel buffer that goes with it.
DibError ValidateDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits);

// A top-down image, 3 bytes (R, G, B) per pixel, rows not padded.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Converts a valid DIB to width x height: growing picks the nearest source pixel, shrinking
// gives each pixel the mean of the source pixels it covers.
// Returns an empty image (width 0) for an invalid DIB or a non-positive size.
RgbImage ConvertDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits, int width,
                    int height);

class DrawDib {
 public:
  DrawDib();
  ~DrawDib();
  DrawDib(const DrawDib&) = delete;
  DrawDib& operator=(const DrawDib&) = delete;

  // Draws the whole DIB stretched onto `dest` (in the control's client coordinates),
  // clipped to the control. False when the context is empty or the DIB is invalid.
  bool Draw(const DeviceContext& dc, const Rect& dest, const BitmapInfoHeader& header,
            std::span<const std::uint8_t> bits);
  // Forgets the converted image: the pixels were rewritten or replaced.
  void PixelsChanged();
  // How many times this DrawDib has converted a DIB (tests check that paints reuse it).
  int conversion_count() const { return conversion_count_; }

 private:
  struct Cache;
  std::unique_ptr<Cache> cache_;
  int conversion_count_ = 0;
};

}  // namespace platform::ui
