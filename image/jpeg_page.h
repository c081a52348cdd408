// The hand-over of a JPEG page's bytes to the codec: one decode into a bottom-up DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap_info_header.h"
#include "image/page_load_failure.h"
#include "image/shown_size.h"
#include "jpeg/jpeg_codec.h"

// Decodes `size` bytes of a JPEG file into a freshly allocated bottom-up pixel buffer, rows
// padded to 4 bytes, and fills `header` (when given) to describe it. An empty buffer means
// the decode failed; then `failure` (when given) says at which step and why. The caller
// (CDibImage) takes the buffer over. With `shown`, a page to be shown smaller than it is
// is decoded at the largest reduction (1/2, 1/4, 1/8) that still covers the shown size;
// `page_size` (when given) receives the page's own size.
std::vector<std::uint8_t> DecodeJpegFromMemory(const std::uint8_t* bytes, std::size_t size,
                                               BitmapInfoHeader* header,
                                               PageLoadFailure* failure = nullptr,
                                               const ShownSize& shown = {},
                                               PageExtent* page_size = nullptr);

// After a parameters read: chooses the page's output for the frame's component count and
// the colour the read reported (jpeg_color, dib_channels, dib_color) and lays out bottom-up rows
// padded to 4 bytes (dib_width, dib_height, dib_pad_bytes) for the image at 1/scale of its
// size, rounded up. Returns the pixel buffer's size in bytes.
std::uint64_t SetJpegPageOutput(JPEG_PROPERTIES& p, std::uint32_t scale = 1);

// The largest reduction (8, 4 or 2) of a width x height page that still covers `shown`;
// 1 when none does.
std::uint32_t PageReduction(std::uint32_t width, std::uint32_t height, const PageExtent& shown);

// The post-pass for four-component pages: RGBA rows become BGRA with each colour byte
// scaled by the pixel's alpha, (c × a + 1) >> 8.
void ConvertRgbaToBgraPremultiplied(std::uint8_t* pixels, std::uint32_t width,
                                    std::uint32_t height);
