// The tables a scan decodes with: every quantisation and Huffman slot the scan names
// must have been defined before its data is read, else the scan would decode as a
// flat page and report success.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Checks the slots a scan's components decode with. A Huffman slot 0 or 1 that no
// DHT defined gets the standard table of T.81 K.3 (Motion JPEG frames carry none);
// any other missing Huffman slot is JPEG_ERR_NO_HUFFMAN, a missing quantisation slot
// JPEG_ERR_NO_QUANT.
[[nodiscard]] int32_t PrepareScanTables(JpegState& state, const JpegScanHeader& scan);

}  // namespace jpeg
