// Which kind of page a file is, judged by the extension of its name alone. The same test
// decides which directory entries of a page folder become pages.
#pragma once

#include <string>

enum ImageFileType {
  IMAGE_TYPE_NONE = 0,
  IMAGE_TYPE_JPEG = 1,
  IMAGE_TYPE_BMP = 2,
};

// "JPG" or "BMP" after the last dot, in any ASCII case; every other spelling ("JPEG", "DIB"),
// an empty extension or no dot at all is IMAGE_TYPE_NONE.
ImageFileType GetImageFileType(const std::string& name);

// True when the name is that of a JPEG or BMP page.
bool IsPageFile(const std::string& name);
