// The extension test: the text after the last dot of the whole name, upper-cased (ASCII only),
// compared with the two page extensions. The content of the file is never looked at.
#include "image/image_file_type.h"

#include <algorithm>

namespace {

std::string UpperAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

}  // namespace

ImageFileType GetImageFileType(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return IMAGE_TYPE_NONE;
  const std::string extension = UpperAscii(name.substr(dot + 1));
  if (extension == "JPG") return IMAGE_TYPE_JPEG;
  if (extension == "BMP") return IMAGE_TYPE_BMP;
  return IMAGE_TYPE_NONE;
}

bool IsPageFile(const std::string& name) {
  return GetImageFileType(name) != IMAGE_TYPE_NONE;
}
