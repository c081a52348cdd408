// CDibImage: the page on display as a device-independent bitmap — one bitmap info header and
// one pixel buffer of bottom-up rows padded to 4 bytes. Every Load replaces the previous page;
// the viewer owns one object for its whole life and draws it into its picture frame.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/bitmap_info_header.h"
#include "image/image_file_type.h"
#include "image/shown_size.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dib.h"

class CDibImage {
 public:
  CDibImage();
  virtual ~CDibImage();
  CDibImage(const CDibImage&) = delete;
  CDibImage& operator=(const CDibImage&) = delete;

  // Frees the held page, then loads the file by the loader its extension names. On success
  // `header` receives a copy of the new page's header. With `shown`, a JPEG page shown
  // smaller than it is may be held at a reduced size (PageSize() keeps its own).
  bool Load(const std::string& path, BitmapInfoHeader& header, const ShownSize& shown = {});
  // Stretches the held page onto the frame control's whole area; nothing without a page.
  void Draw(platform::ui::Control& frame);

  bool HasPixels() const { return !m_pixels.empty(); }
  const BitmapInfoHeader& Header() const { return m_header; }
  // The page's own size, which the held pixels of a reduced decode are smaller than.
  const PageExtent& PageSize() const { return m_pageSize; }
  std::span<const std::uint8_t> Pixels() const { return m_pixels; }
  const std::string& Path() const { return m_strPath; }
  ImageFileType FileType() const { return m_fileType; }
  // Bytes read by the last load: the file length of a JPEG, the pixel bytes of a BMP.
  std::uint32_t DataSize() const { return m_dataSize; }
  // How often the held pages were converted for the screen (once per page and frame size).
  int ConversionCount() const { return m_drawDib.conversion_count(); }

 private:
  void FreePixels();

  BitmapInfoHeader m_header;
  PageExtent m_pageSize;
  ImageFileType m_fileType = IMAGE_TYPE_NONE;
  platform::ui::DrawDib m_drawDib;  // keeps the page converted for the screen between paints
  std::string m_strPath;
  std::vector<std::uint8_t> m_pixels;
  std::uint32_t m_dataSize = 0;
};
