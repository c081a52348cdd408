// CDibImage's loading and drawing. The page file itself is read by LoadPageFile
// (image/page_file.h); the object keeps what it loaded and the converted screen image.
#include "image/dib_image.h"

#include <utility>

#include "image/page_file.h"

CDibImage::CDibImage() = default;

CDibImage::~CDibImage() = default;

bool CDibImage::Load(const std::string& path, BitmapInfoHeader& header, const ShownSize& shown) {
  FreePixels();
  m_strPath = path;
  PageFile page = LoadPageFile(path, shown);
  m_fileType = page.type;
  m_dataSize = page.data_size;
  if (page.failure) return false;
  m_header = page.header;
  m_pageSize = page.page_size;
  m_pixels = std::move(page.pixels);
  header = m_header;
  return true;
}

// The header goes with the pixels, so an empty object describes no page.
void CDibImage::FreePixels() {
  m_drawDib.PixelsChanged();
  m_pixels = {};
  m_dataSize = 0;
  m_header = {};
  m_pageSize = {};
}

void CDibImage::Draw(platform::ui::Control& frame) {
  if (!HasPixels()) return;
  const platform::ui::DeviceContext dc = frame.GetDC();
  if (dc) m_drawDib.Draw(dc, frame.GetClientRect(), m_header, m_pixels);
}
