// Loading of page files into CDibImage. A BMP's pixel rows are read straight into the pixel
// buffer, which is allocated only after the headers passed the page rules (image/bmp_page.h);
// bytes a short file lacks read as zero. A JPEG is read whole and handed to the JPEG
// hand-over (image/jpeg_page.h), whose buffer becomes the page.
#include "image/dib_image.h"

#include <array>
#include <new>

#include "image/bmp_page.h"
#include "image/jpeg_page.h"
#include "platform/file_system.h"

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

}  // namespace

CDibImage::CDibImage() = default;

CDibImage::~CDibImage() = default;

bool CDibImage::Load(const std::string& path, BitmapInfoHeader& header) {
  FreePixels();
  m_strPath = path;
  m_fileType = GetImageFileType(path);
  bool loaded = false;
  if (m_fileType == IMAGE_TYPE_JPEG) loaded = LoadJpegFile();
  if (m_fileType == IMAGE_TYPE_BMP) loaded = LoadBmpFile();
  if (loaded) header = m_header;
  return loaded;
}

// The header goes with the pixels, so an empty object describes no page.
void CDibImage::FreePixels() {
  m_drawDib.PixelsChanged();
  m_pixels = {};
  m_dataSize = 0;
  m_header = {};
}

bool CDibImage::LoadJpegFile() {
  platform::ReadOnlyFile file;
  if (!file.Open(m_strPath)) return false;
  const std::uint64_t size = file.Size();
  if (size == 0 || size > UINT32_MAX) return false;
  std::vector<std::uint8_t> bytes;
  if (!TryResize(bytes, size)) return false;
  if (file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return false;
  m_dataSize = static_cast<std::uint32_t>(size);
  m_pixels = DecodeJpegFromMemory(bytes.data(), bytes.size(), &m_header);
  return HasPixels();
}

bool CDibImage::LoadBmpFile() {
  platform::ReadOnlyFile file;
  if (!file.Open(m_strPath)) return false;
  std::array<std::uint8_t, kBmpHeadersSize> head{};
  file.ReadAt(0, head.data(), head.size());
  const BmpHeaders headers = ParseBmpHeaders(head);
  const std::optional<std::size_t> pixel_bytes = PageBmpPixelBytes(headers, file.Size());
  if (!pixel_bytes) return false;
  if (!TryResize(m_pixels, *pixel_bytes)) return false;
  m_header = headers.info;
  file.ReadAt(headers.pixel_offset, m_pixels.data(), m_pixels.size());
  m_dataSize = static_cast<std::uint32_t>(m_pixels.size());
  return true;
}

void CDibImage::Draw(platform::ui::Control& frame) {
  if (!HasPixels()) return;
  const platform::ui::DeviceContext dc = frame.GetDC();
  if (dc) m_drawDib.Draw(dc, frame.GetClientRect(), m_header, m_pixels);
}
