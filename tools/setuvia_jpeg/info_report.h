// The text `setuvia-jpeg info` prints about a JPEG: what the parameters read found.
#ifndef SETUVIA_TOOLS_SETUVIA_JPEG_INFO_REPORT_H
#define SETUVIA_TOOLS_SETUVIA_JPEG_INFO_REPORT_H

#include <string>

#include "jpeg/jpeg_codec.h"

namespace setuvia_jpeg {

// Lines of "name: value"; with `tables`, the quantisation and Huffman tables follow.
std::string InfoReport(const JPEG_PROPERTIES& properties, const std::string& comment, bool tables);

}  // namespace setuvia_jpeg

#endif  // SETUVIA_TOOLS_SETUVIA_JPEG_INFO_REPORT_H
