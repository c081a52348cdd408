// Formats what a parameters read left in the record. The read stops on the first scan
// header, so the frame, the tables defined before it, the restart interval and that first
// scan are known; a first scan other than the full spectrum at full precision can only
// belong to a progressive image (T.81 G.1.1.1.1: DC and AC never share a progressive scan).
#include "tools/setuvia_jpeg/info_report.h"

#include <sstream>

namespace setuvia_jpeg {
namespace {

const char* ColorName(uint32_t color) {
  switch (color) {
    case COLOR_RGB:
      return "RGB";
    case COLOR_BGR:
      return "BGR";
    case COLOR_YCBCR:
      return "YCbCr";
    case COLOR_GRAY:
      return "grey";
    case COLOR_RGBA:
      return "CMYK (Adobe, no transform)";
    case COLOR_YCBCRA:
      return "YCCK";
    default:
      return "other";
  }
}

std::string Sampling(const JpegFrameHeader& frame) {
  std::string text;
  for (int32_t i = 0; i < frame.component_count && i < JPEG_MAX_COMPONENTS; ++i) {
    if (i > 0) text += ' ';
    text += std::to_string(frame.components[i].h) + "x" + std::to_string(frame.components[i].v);
  }
  return text;
}

bool IsProgressive(const JpegScanHeader& first_scan) {
  return !(first_scan.ss == 0 && first_scan.se == 63 && first_scan.ah == 0 && first_scan.al == 0);
}

void PrintQuantTables(std::ostream& out, const JpegState& s) {
  for (int32_t slot = 0; slot < s.max_quant_index && slot < 4; ++slot) {
    out << "quantisation table " << slot << " (zigzag order):";
    for (int i = 0; i < 64; ++i)
      out << (i % 16 == 0 ? "\n  " : " ") << s.quant_tables[slot].stream_values[i];
    out << '\n';
  }
}

// Code counts per length follow from the canonical code ranges (T.81 C.2).
void PrintHuffmanTable(std::ostream& out, const char* kind, int slot,
                       const JpegHuffmanDecodeTable& t) {
  int total = 0;
  out << kind << " Huffman table " << slot << "\n  codes per length:";
  for (int length = 1; length <= 16; ++length) {
    const int count = t.maxcode[length] < 0 ? 0 : t.maxcode[length] - t.mincode[length] + 1;
    out << ' ' << count;
    total += count;
  }
  out << "\n  symbols:";
  for (int i = 0; i < total && i < 256; ++i) out << (i % 16 == 0 ? "\n  " : " ") << t.values[i];
  out << '\n';
}

}  // namespace

std::string InfoReport(const JPEG_PROPERTIES& p, const std::string& comment, bool tables) {
  const JpegState& s = p.state;
  std::ostringstream out;
  out << "size: " << p.jpeg_width << "x" << p.jpeg_height << '\n'
      << "components: " << p.jpeg_channels << '\n'
      << "colour: " << ColorName(p.jpeg_color) << '\n'
      << "sampling: " << Sampling(s.frame) << '\n'
      << "process: " << (IsProgressive(s.scan) ? "progressive" : "sequential") << '\n'
      << "restart interval: " << s.frame.restart_interval << '\n'
      << "thumbnail: ";
  if (p.thumb_width != 0 && p.thumb_height != 0) {
    out << p.thumb_width << "x" << p.thumb_height << '\n';
  } else {
    out << "none\n";
  }
  out << "comment: " << (comment.empty() ? "none" : comment) << '\n';
  if (tables) {
    PrintQuantTables(out, s);
    for (int slot = 0; slot < s.max_huff_index && slot < 4; ++slot) {
      PrintHuffmanTable(out, "DC", slot, s.dc_tables[slot]);
      PrintHuffmanTable(out, "AC", slot, s.ac_tables[slot]);
    }
  }
  return out.str();
}

}  // namespace setuvia_jpeg
