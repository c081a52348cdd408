// Loading one page file into a bitmap info header and bottom-up pixel rows, by the loader its
// extension names, without drawing anything: the viewer's page object and the tree checker
// load pages through this one routine, so both see the same pages fail for the same reasons.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/bitmap_info_header.h"
#include "image/image_file_type.h"
#include "image/page_load_failure.h"

struct PageFile {
  ImageFileType type = IMAGE_TYPE_NONE;
  BitmapInfoHeader header;           // describes `pixels`; empty after a failure
  std::vector<std::uint8_t> pixels;  // empty after a failure
  std::uint32_t data_size = 0;       // the file length of a JPEG, the pixel bytes of a BMP
  std::optional<PageLoadFailure> failure;
};

// Loads the page at `path`. A failure is traced, with the path, the step and the reason:
// "Page <path> not shown: <step>: <reason>".
PageFile LoadPageFile(const std::string& path);

// "<step>: <reason>", as the trace line and the tree checker give it.
std::string PageLoadFailureText(const PageLoadFailure& failure);
