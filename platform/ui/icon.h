// An icon as straight pixel data: rows top-down, one 0xAARRGGBB value per pixel.
#pragma once

#include <cstdint>
#include <span>

namespace platform::ui {

struct Icon {
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> pixels;  // width * height values
};

}  // namespace platform::ui
