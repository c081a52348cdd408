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
#include "image/shown_size.h"

struct PageFile {
  ImageFileType type = IMAGE_TYPE_NONE;
  BitmapInfoHeader header;           // describes `pixels`; empty after a failure
  std::vector<std::uint8_t> pixels;  // empty after a failure
  PageExtent page_size;              // the page's own size; a reduced decode's pixels are fewer
  std::uint32_t data_size = 0;       // the file length of a JPEG, the pixel bytes of a BMP
  std::optional<PageLoadFailure> failure;
};

// Loads the page at `path`. A failure is traced, with the path, the step and the reason:
// "Page <path> not shown: <step>: <reason>". With `shown`, a JPEG page to be shown smaller
// than it is is decoded at a reduced size that still covers the shown size.
PageFile LoadPageFile(const std::string& path, const ShownSize& shown = {});

// "<step>: <reason>", as the trace line and the tree checker give it.
std::string PageLoadFailureText(const PageLoadFailure& failure);
