// The hand-over of a JPEG page's bytes to the codec: one decode into a bottom-up DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap_info_header.h"

// Decodes `size` bytes of a JPEG file into a freshly allocated bottom-up pixel buffer, rows
// padded to 4 bytes, and fills `header` (when given) to describe it. An empty buffer means
// the decode failed. The caller (CDibImage) takes the buffer over.
std::vector<std::uint8_t> DecodeJpegFromMemory(const std::uint8_t* bytes, std::size_t size,
                                               BitmapInfoHeader* header);

// The post-pass for four-component pages: RGBA rows become BGRA with each colour byte
// scaled by the pixel's alpha, (c × a + 1) >> 8.
void ConvertRgbaToBgraPremultiplied(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height);
