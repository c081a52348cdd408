// Progressive Huffman decoding (T.81 G.1.2): DC and AC scans, first and refinement
// passes, end-of-band runs, decoded into the whole-image coefficient store.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

struct HuffmanLookup;

// The bookkeeping of a new progressive scan, before it is decoded: checks its
// progression parameters (T.81 B.2.3, G.1.1.1), counts it against kMaxProgressiveScans
// ("Not supported" beyond), updates the completion counters and allocates the store on
// the first one.
[[nodiscard]] int32_t StartProgressiveScan(JpegState& state, const JpegScanHeader& scan);

// Decodes the scan into the store; 0 or a negative status. Data that ends early (a
// marker, or memory input that ran dry) ends the scan with its blocks as far as decoded.
[[nodiscard]] int32_t DecodeProgressiveScan(JpegState& state, JpegScanHeader& scan);

// The block procedures, on blocks in natural order (the band Ss..Se in zigzag positions): 0 or
// a negative status; a marker met in the data ends the block quietly with what it has decoded. The
// end-of-band run lives in stream.eob_run.
[[nodiscard]] int32_t DecodeDcFirst(JpegInputStream& stream, const HuffmanLookup& dc,
                                    int16_t* block, int32_t* dc_pred, int32_t al);
[[nodiscard]] int32_t DecodeDcRefine(JpegInputStream& stream, int16_t* block, int32_t al);
[[nodiscard]] int32_t DecodeAcFirst(JpegInputStream& stream, const HuffmanLookup& ac,
                                    int16_t* block, int32_t ss, int32_t se, int32_t al);
[[nodiscard]] int32_t DecodeAcRefine(JpegInputStream& stream, const JpegHuffmanDecodeTable& ac,
                                     int16_t* block, int32_t ss, int32_t se, int32_t al);

}  // namespace jpeg
