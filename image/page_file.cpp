// Page file loading. A BMP's pixel rows are read straight into the pixel buffer, which is
// allocated only after the headers passed the page rules (image/bmp_page.h); bytes a short
// file lacks read as zero. A JPEG is read whole and handed to the JPEG hand-over
// (image/jpeg_page.h), whose buffer becomes the page.
#include "image/page_file.h"

#include <array>
#include <new>
#include <utility>

#include "image/bmp_page.h"
#include "image/jpeg_page.h"
#include "platform/file_system.h"
#include "platform/trace.h"

namespace {

// Allocation failure is a failed load, not an exception.
bool TryResize(std::vector<std::uint8_t>& buffer, std::size_t size) {
  try {
    buffer.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void Refuse(PageFile& page, PageLoadFailure failure) {
  page.pixels = {};
  page.header = {};
  page.failure = std::move(failure);
}

void LoadJpegFile(const std::string& path, const ShownSize& shown, PageFile& page) {
  platform::ReadOnlyFile file;
  if (!file.Open(path))
    return Refuse(page, {"file read failed", "cannot open (missing, unreadable or not a file)"});
  const std::uint64_t size = file.Size();
  if (size == 0) return Refuse(page, {"file read failed", "empty file"});
  if (size > UINT32_MAX) return Refuse(page, {"file read failed", "larger than 4 GB"});
  std::vector<std::uint8_t> bytes;
  if (!TryResize(bytes, size))
    return Refuse(page, {"out of memory", std::to_string(size) + " bytes"});
  if (file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size())
    return Refuse(page, {"file read failed", "read error"});
  page.data_size = static_cast<std::uint32_t>(size);
  PageLoadFailure failure;
  page.pixels = DecodeJpegFromMemory(bytes.data(), bytes.size(), &page.header, &failure, shown,
                                     &page.page_size);
  if (page.pixels.empty()) Refuse(page, std::move(failure));
}

void LoadBmpFile(const std::string& path, PageFile& page) {
  platform::ReadOnlyFile file;
  if (!file.Open(path))
    return Refuse(page, {"file read failed", "cannot open (missing, unreadable or not a file)"});
  std::array<std::uint8_t, kBmpHeadersSize> head{};
  file.ReadAt(0, head.data(), head.size());
  const BmpHeaders headers = ParseBmpHeaders(head);
  std::string refusal;
  const std::optional<std::size_t> pixel_bytes = PageBmpPixelBytes(headers, file.Size(), &refusal);
  if (!pixel_bytes) return Refuse(page, {"BMP refused", refusal});
  if (!TryResize(page.pixels, *pixel_bytes))
    return Refuse(page, {"out of memory", std::to_string(*pixel_bytes) + " bytes"});
  page.header = headers.info;
  page.page_size = {page.header.biWidth, page.header.biHeight};  // as the viewer traces it
  file.ReadAt(headers.pixel_offset, page.pixels.data(), page.pixels.size());
  page.data_size = static_cast<std::uint32_t>(page.pixels.size());
}

}  // namespace

PageFile LoadPageFile(const std::string& path, const ShownSize& shown) {
  PageFile page;
  page.type = GetImageFileType(path);
  if (page.type == IMAGE_TYPE_JPEG) LoadJpegFile(path, shown, page);
  if (page.type == IMAGE_TYPE_BMP) LoadBmpFile(path, page);
  if (page.type == IMAGE_TYPE_NONE)
    Refuse(page, {"not a page", "the name does not end in .jpg or .bmp"});
  if (page.failure) {
    platform::Trace("Page %s not shown: %s\n", path.c_str(),
                    PageLoadFailureText(*page.failure).c_str());
  }
  return page;
}

std::string PageLoadFailureText(const PageLoadFailure& failure) {
  return failure.step + ": " + failure.reason;
}
