/* The JPEG codec's one public header, usable from C and C++.
 *
 * A caller zero-fills a JPEG_PROPERTIES record, calls JpegInit, fills the public
 * fields (where the JPEG data is, what pixel buffer to produce), calls JpegRead with
 * a read mode any number of times and JpegFree once. JpegInit takes the record as
 * new: calling it again on a record that was initialised and not freed leaks what
 * the record held (its routine table, an open file), so free a record before
 * initialising it again. The public part comes first, in
 * a fixed order of 32-bit fields (pointers are native); the codec's internal state
 * follows as the named struct `state`, which callers may reach for the documented
 * options (dct_method, roi_rect, interrupt_flag, raw_coefficients, comment buffer,
 * table export buffers) but otherwise leave alone.
 */
#ifndef SETUVIA_JPEG_JPEG_CODEC_H
#define SETUVIA_JPEG_JPEG_CODEC_H

#include <stdint.h>

#ifdef __cplusplus
#define JPEG_ALIGN(n) alignas(n)
extern "C" {
#else
#define JPEG_ALIGN(n) _Alignas(n)
#endif

/* The codec's version: the version record and the shared library's soname (the major
 * number) are made from these three numbers. */
#define JPEG_CODEC_VERSION_MAJOR 1
#define JPEG_CODEC_VERSION_MINOR 0
#define JPEG_CODEC_VERSION_BUILD 0

/* Status codes and their texts: one table generates both (texts in jpeg_status.cpp). */
#define JPEG_STATUS_TABLE(X)                                             \
  X(JPEG_ROI_SUCCESS, 2, "ROI Success")                                  \
  X(JPEG_INTERRUPT_SUCCESS, 1, "Interrupt Success")                      \
  X(JPEG_SUCCESS, 0, "Success")                                          \
  X(JPEG_ERR_EXCEPTION, -1, "Exception detected")                        \
  X(JPEG_ERR_INVALID_ENCODER, -2, "Invalid Encoder")                     \
  X(JPEG_ERR_SUBSAMPLING, -3, "Unsupported subsampling")                 \
  X(JPEG_ERR_BYTES_PER_PIXEL, -4, "Unsupported bytes per pixel")         \
  X(JPEG_ERR_MEMORY, -5, "Memory error")                                 \
  X(JPEG_ERR_BAD_HUFFMAN, -6, "Bad Huffman table")                       \
  X(JPEG_ERR_BAD_QUANT, -7, "Bad Quantization table")                    \
  X(JPEG_ERR_INVALID_PROPERTIES, -8, "Invalid JPEG_PROPERTIES")          \
  X(JPEG_ERR_CLOSE_FILE, -9, "Error close file")                         \
  X(JPEG_ERR_FILE_NAME, -10, "Invalid file name")                        \
  X(JPEG_ERR_EOF, -11, "Error EOF")                                      \
  X(JPEG_ERR_NOT_SUPPORTED, -12, "Not supported")                        \
  X(JPEG_ERR_NOT_JPEG, -13, "Not JPEG")                                  \
  X(JPEG_ERR_COMP, -14, "Error COMP")                                    \
  X(JPEG_ERR_SOF, -15, "Error SOF")                                      \
  X(JPEG_ERR_DNL, -16, "Error DNL")                                      \
  X(JPEG_ERR_NO_HUFFMAN, -17, "No Huffman table")                        \
  X(JPEG_ERR_NO_QUANT, -18, "No Quantization table")                     \
  X(JPEG_ERR_NO_FRAME, -19, "No frame")                                  \
  X(JPEG_ERR_MULTIPLE_FRAMES, -20, "Multiply frame")                     \
  X(JPEG_ERR_DATA, -21, "Data error")                                    \
  X(JPEG_ERR_NO_IMAGE, -22, "No image")                                  \
  X(JPEG_ERR_FILE, -23, "File error")                                    \
  X(JPEG_ERR_INTERNAL, -24, "Internal error")                            \
  X(JPEG_ERR_BAD_RST, -25, "Bad RST marker")                             \
  X(JPEG_ERR_THUMB_TOO_SMALL, -26, "Thumbnail too small")                \
  X(JPEG_ERR_THUMB_COLOR, -27, "Thumbnail has wrong color")              \
  X(JPEG_ERR_OUTPUT_TOO_SMALL, -28, "Output buffer too small")           \
  X(JPEG_ERR_UNSUPPORTED_FRAME, -29, "Unsupported frame was found")      \
  X(JPEG_ERR_COMMENT_BUFFER, -30, "Error access to jpeg_comment buffer") \
  X(JPEG_ERR_RESERVED, -99, "Reserved")

#define JPEG_STATUS_ENUM_ENTRY(name, value, text) name = value,
enum JpegStatus { JPEG_STATUS_TABLE(JPEG_STATUS_ENUM_ENTRY) };
#undef JPEG_STATUS_ENUM_ENTRY

/* Colour codes (dib_color, jpeg_color). */
enum JpegColor {
  COLOR_RGB = 1,
  COLOR_BGR = 2,
  COLOR_YCBCR = 3,
  COLOR_GRAY = 4,
  COLOR_RGBA = 5,
  COLOR_YCBCRA = 6,
  COLOR_OTHER = 255
};

/* Subsampling codes (jpeg_subsampling). */
enum JpegSubsampling {
  SUBSAMPLING_NONE = 0,
  SUBSAMPLING_H2V2 = 1,
  SUBSAMPLING_H2V1 = 2,
  SUBSAMPLING_H2V2_4CH = 3,
  SUBSAMPLING_H2V1_4CH = 4,
  SUBSAMPLING_OTHER = 255
};

/* Read modes: even values read from jpeg_file, odd values from jpeg_buffer.
 * 8 to 13 belong to the encoder, which is not part of this codec.
 * HALF, QUARTER and EIGHTH decode the image at 1/2, 1/4 or 1/8 of its size, each extent
 * rounded up, whole, as a region or interrupted (roi_rect then in pixels of the reduced
 * image); not with raw_coefficients, whose coefficients have no reduced form
 * (JPEG_ERR_NOT_SUPPORTED).
 * THUMBNAIL writes the JFIF or JFXX thumbnail (RGB triples, palette or JPEG-coded) into the
 * top-left of the buffer as dib_color COLOR_RGB or COLOR_BGR asks and sets thumb_width and
 * thumb_height: JPEG_ERR_THUMB_TOO_SMALL when the buffer cannot hold it, JPEG_ERR_NO_IMAGE
 * when the file has none, both before a byte is written. */
enum JpegReadMode {
  READ_PARAMS_FILE = 0,
  READ_PARAMS_BUFFER = 1,
  READ_IMAGE_FILE = 2,
  READ_IMAGE_BUFFER = 3,
  READ_TABLES_FILE = 4,
  READ_TABLES_BUFFER = 5,
  READ_ENTROPY_FILE = 6,
  READ_ENTROPY_BUFFER = 7,
  READ_HALF_FILE = 14,
  READ_HALF_BUFFER = 15,
  READ_QUARTER_FILE = 16,
  READ_QUARTER_BUFFER = 17,
  READ_EIGHTH_FILE = 18,
  READ_EIGHTH_BUFFER = 19,
  READ_THUMBNAIL_FILE = 20,
  READ_THUMBNAIL_BUFFER = 21
};

/* dct_method: the dequantisation and inverse-transform variant. */
enum JpegDctMethod { DCT_METHOD_FAST = 0, DCT_METHOD_PRECISE = 1 };

#define JPEG_MAX_COMPONENTS 4 /* frame and scan component tables */
#define JPEG_MCU_BLOCKS 11    /* blocks the MCU work buffer holds */
#define JPEG_FILE_BUFFER_SIZE 4096

struct RoutineTable; /* processor-specific routines, internal */

/* Input source and bit reader (memory or file). */
typedef struct JpegInputStream {
  uint64_t bit_buffer;            /* entropy-coded bits, new bytes enter at the low end */
  int32_t bit_count;              /* valid bits at the low end of bit_buffer */
  const uint8_t* next_byte;       /* next unread byte */
  const uint8_t* buffer_start;    /* jpeg_buffer or file_buffer */
  const uint8_t* buffer_end;      /* one past the last valid byte */
  uint32_t bytes_consumed;        /* bytes taken since the stream start; survives reads */
  uint32_t stream_size;           /* total size of a memory stream */
  int32_t bytes_left;             /* unread bytes in the current buffer */
  int32_t eob_run;                /* progressive AC end-of-band run */
  uint8_t pending_marker;         /* marker met inside entropy-coded data, 0 = none */
  uint8_t components_decoded;     /* bit i: frame component i has had its sequential scan */
  uint32_t scan_components_done;  /* components whose sequential scans are decoded */
  void* file_handle;              /* open JPEG file (FILE*), or none for memory input */
  uint32_t origin;                /* stream offset at which bytes_consumed counts from 0 */
  const uint8_t* position_buffer; /* the memory buffer origin + bytes_consumed refers to */
  uint32_t position_size;         /* and its size; another buffer starts at offset 0 */
  uint64_t file_size;             /* size of the open file when it was opened */
  uint8_t file_buffer[JPEG_FILE_BUFFER_SIZE];
} JpegInputStream;

typedef struct JpegFrameComponent {
  int32_t id;         /* Ci */
  int32_t h;          /* Hi */
  int32_t v;          /* Vi */
  int32_t quant_slot; /* Tqi */
} JpegFrameComponent;

typedef struct JpegFrameHeader {
  int32_t precision;  /* P */
  uint32_t width;     /* X */
  uint32_t height;    /* Y */
  int32_t mcu_height; /* MCU size in pixels, set by the frame set-up */
  int32_t mcu_width;
  int32_t h_max; /* largest sampling factors, set by the frame set-up */
  int32_t v_max;
  int32_t component_count; /* Nf */
  int32_t mcus_per_row;
  int32_t mcu_total;
  JpegFrameComponent components[JPEG_MAX_COMPONENTS];
  uint32_t restart_interval; /* Ri from DRI, 0 = none */
} JpegFrameHeader;

typedef struct JpegScanComponent {
  int32_t frame_index; /* index of the matching frame component */
  int32_t h;
  int32_t v;
  int32_t dc_table;    /* Huffman slot Tdj */
  int32_t ac_table;    /* Huffman slot Taj */
  int32_t quant_table; /* quantisation slot of the frame component */
} JpegScanComponent;

typedef struct JpegScanHeader {
  int32_t component_count; /* Ns */
  int32_t ss, se, ah, al;
  uint32_t restart_interval;
  int32_t mcu_column; /* next MCU to decode; kept by an interrupted read */
  int32_t mcu_row;
  int32_t dc_pred[JPEG_MAX_COMPONENTS]; /* DC predictors, used as 16-bit values */
  JpegScanComponent components[JPEG_MAX_COMPONENTS];
} JpegScanHeader;

typedef struct JpegQuantTableSlot {
  int32_t precision; /* Pq */
  int32_t id;
  /* 64 entries (zigzag as read, natural once prepared) and 16 zero entries behind. */
  JPEG_ALIGN(16) int16_t values[80];
  int16_t stream_values[64]; /* the entries as read, kept to prepare them again */
  int32_t prepared_for;      /* the dct_method values was prepared for */
  int32_t defined;           /* 1 once a DQT (or the caller) filled the slot */
} JpegQuantTableSlot;

typedef struct JpegHuffmanLookahead {
  uint16_t symbol;
  uint16_t length; /* 0: the code is longer than 8 bits */
} JpegHuffmanLookahead;

typedef struct JpegHuffmanDecodeTable {
  int32_t table_class; /* Tc: 0 DC, 1 AC */
  int32_t table_id;    /* Th */
  JpegHuffmanLookahead lookahead[256];
  uint16_t values[256]; /* HUFFVAL in code order */
  uint16_t mincode[17]; /* first code per length */
  int32_t maxcode[18];  /* last code per length, -1 = none; 32-bit so 16-bit codes fit */
  uint16_t valptr[17];  /* index in values of the first code per length */
  int32_t defined;      /* 1 once built from a DHT, the caller's or the standard tables */
} JpegHuffmanDecodeTable;

/* Optional coefficient output instead of pixels: with data_kind 0 an image read needs no
 * pixel buffer and writes the quantised DCT coefficients of every block, as decoded, into
 * one plane per frame component. Plane i is a picture of int16_t coefficients
 * mcus_across x Hi x 8 wide and mcus_down x Vi x 8 high, where mcus_across =
 * ceil(jpeg_width / (8 x Hmax)), mcus_down = ceil(jpeg_height / (8 x Vmax)) and Hi, Vi
 * are the component's sampling factors (Hmax, Vmax the largest): block (bx, by) of the
 * component fills the 8 x 8 patch at column 8 bx, row 8 by, in natural (row-major)
 * order. Blocks the read does not deliver (outside a region, never coded) read as 0. A
 * frame component without a plane gives JPEG_ERR_INVALID_PROPERTIES; a later frame header
 * of another size or sampling in the stream, which the planes would not fit, gives
 * JPEG_ERR_MULTIPLE_FRAMES. */
typedef struct JpegRawCoefficients {
  int32_t data_kind;                    /* 0: deliver DCT coefficients */
  int16_t* planes[JPEG_MAX_COMPONENTS]; /* one coefficient plane per component */
} JpegRawCoefficients;

/* The codec's internal state.
 *
 * Region reads: roi_rect = {left, top, right, bottom} in image pixels (of the image at the
 * read's scale: a reduced read's region is a rectangle of the reduced image), right and bottom
 * exclusive (0: to the image's edge; all four 0: the whole image). The region's top-left
 * pixel lands at pixel (0, 0) of the buffer; a buffer smaller than the region gets its
 * top-left part. A region read ends with JPEG_ROI_SUCCESS (2); one that leaves nothing
 * of the image (starting beyond its edge, right or bottom negative or not beyond left or
 * top) is refused with JPEG_ERR_INVALID_PROPERTIES before a pixel is written.
 *
 * Interrupted reads: set interrupt_flag before a call and the image read returns
 * JPEG_INTERRUPT_SUCCESS (1) after one MCU (one row of MCUs of a progressive scan of one
 * component), with interrupt_flag cleared and roi_rect naming the pixels just decoded:
 * left, top, right, bottom (exclusive) in image pixels at the read's scale, clipped to the
 * image. The next image read of the same input goes on from there (set interrupt_flag
 * again to stop after the next MCU) until the read ends with 0 or 2, when roi_rect holds
 * the region the read began with again. Pixels of a progressive image are written when
 * its read ends. JpegFree at any point releases what the read holds.
 *
 * Smooth upsampling: smooth_upsampling = 1 before an image read fills in chroma sampled
 * at half the width (4:2:2), or half the width and height (4:2:0), with the triangle
 * filter (3/4 of the nearest sample, 1/4 of the next one, each way) instead of repeating
 * each sample; other samplings are read as without it. The filter needs the samples
 * right of and below each MCU, so the MCUs are written one MCU (and for 4:2:0 one MCU
 * row) after they are decoded, the last ones when the scan ends. It combines with whole
 * reads of sequential and progressive images at full size; reduced, region and
 * interrupted reads, and a sequential 4:2:2 or 4:2:0 image whose components come in
 * scans of their own, give JPEG_ERR_NOT_SUPPORTED before a pixel is written; with
 * raw_coefficients it gives JPEG_ERR_INVALID_PROPERTIES. */
typedef struct JpegState {
  int32_t io_mode;     /* read mode of the current call, -1 after JpegInit */
  int32_t roi_rect[4]; /* left, top, right, bottom; also an interrupted read's position */
  int32_t dct_method;  /* DCT_METHOD_PRECISE after JpegInit */

  /* Copies of the public fields, taken at the start of a read. */
  uint8_t* dib_pixels;
  uint32_t dib_width;
  int32_t dib_height;
  uint32_t dib_pad_bytes;
  uint32_t dib_channels;
  uint32_t dib_color;
  uint32_t dib_subsampling;
  const char* jpeg_file;
  const uint8_t* jpeg_buffer;
  uint32_t jpeg_buffer_size;
  uint32_t jpeg_width;
  uint32_t jpeg_height;
  uint32_t jpeg_channels;
  uint32_t jpeg_color;
  uint32_t jpeg_subsampling;
  uint32_t thumb_width;
  uint32_t thumb_height;
  uint32_t color_convert_flag;
  uint32_t upsample_flag;
  uint32_t quality;
  uint8_t* output_start; /* image row 0 in dib_pixels (the last buffer row when bottom-up) */
  int32_t row_stride;    /* bytes from one image row to the next; negative when bottom-up */

  JpegInputStream stream;
  JpegFrameHeader frame;
  JpegScanHeader scan;          /* storage of the one scan in progress */
  JpegScanHeader* current_scan; /* &scan while a scan is in progress, else none */
  uint8_t scan_dc_ids[JPEG_MAX_COMPONENTS];
  uint8_t scan_ac_ids[JPEG_MAX_COMPONENTS];

  JpegQuantTableSlot quant_tables[4];
  JpegHuffmanDecodeTable dc_tables[4];
  JpegHuffmanDecodeTable ac_tables[4];
  int32_t quant_table_count;
  int32_t dc_table_count;
  int32_t ac_table_count;
  int32_t max_quant_index;
  int32_t max_huff_index;

  /* Raw-table export, caller-supplied; Huffman slot = class * 4 + identifier. The
   * present marks say that a table was exported; an image read rebuilds the tables
   * from marked export buffers, so a caller can also install tables of its own. */
  uint8_t* quant_export[4]; /* 64 or 128 bytes each */
  uint8_t quant_export_id[4];
  uint8_t quant_export_present[4];
  uint8_t* huff_counts_export[8]; /* 16 bytes each */
  uint8_t* huff_values_export[8]; /* up to 256 bytes each */
  uint8_t huff_export_class[8];
  uint8_t huff_export_id[8];
  uint8_t huff_export_present[8];

  int32_t frame_needed;    /* 1 until a frame header has been accepted */
  int32_t interrupt_flag;  /* non-zero: scan drivers return after one MCU */
  int32_t read_region[4];  /* roi_rect as the read in progress was asked, kept while
                              roi_rect reports an interrupted read's position */
  int32_t interleave_type; /* 1: sequential image with fewer components per scan than the frame */
  int32_t progressive_scan_count;
  int32_t dc_final_count;
  int32_t ac_final_count;
  int32_t smooth_upsampling; /* 1: triangle filter for 4:2:2 and 4:2:0 chroma, see above */
  int32_t output_path;       /* code of the installed output converter */
  int32_t output_component;  /* frame component of the block a non-interleaved writer gets */
  int32_t mcus_across;       /* frame MCU grid, set by the frame set-up */
  int32_t mcus_down;

  /* Application data. */
  int32_t jfif_present;
  uint16_t jfif_version;
  uint8_t jfif_units;
  uint16_t jfif_x_density;
  uint16_t jfif_y_density;
  int32_t thumbnail_written; /* a thumbnail read delivered a picture */
  int32_t adobe_present;
  uint16_t adobe_version;
  uint16_t adobe_flags0;
  uint16_t adobe_flags1;
  uint8_t adobe_transform;
  uint8_t* comment_buffer; /* caller-supplied */
  uint16_t comment_size;   /* in: capacity; out: length of the last comment */
  /* The capacity the caller gave, kept while comment_size holds a reported length. */
  uint16_t comment_capacity;
  uint16_t comment_reported;
  const uint8_t* comment_capacity_buffer;

  JpegRawCoefficients* raw_coefficients;            /* none by default */
  int16_t* coefficient_planes[JPEG_MAX_COMPONENTS]; /* progressive images: one per component */
  /* An entry per pair of blocks of each plane, at the start of the plane's allocation:
     which of the two have AC coefficients, and where their lower rows are. */
  uint16_t* coefficient_pairs[JPEG_MAX_COMPONENTS];
  void* restart_index;   /* row-state index of region reads */
  void* huffman_lookups; /* the block decoders' lookups, built from the Huffman slots */
  void* delay_buffers;   /* smooth upsampling */

  struct RoutineTable* routine_table;

  /* The blocks of one MCU, 64 coefficients (128 bytes) each. */
  JPEG_ALIGN(32) int16_t mcu_work_buffer[JPEG_MCU_BLOCKS * 64];
} JpegState;

typedef struct JPEG_PROPERTIES {
  uint32_t use_internal_properties;
  uint8_t* dib_pixels;
  uint32_t dib_width;
  int32_t dib_height;
  uint32_t dib_pad_bytes;
  uint32_t dib_channels;
  uint32_t dib_color;
  uint32_t dib_subsampling;
  const char* jpeg_file;
  const uint8_t* jpeg_buffer;
  uint32_t jpeg_buffer_size;
  uint32_t jpeg_width;
  uint32_t jpeg_height;
  uint32_t jpeg_channels;
  uint32_t jpeg_color;
  uint32_t jpeg_subsampling;
  uint32_t thumb_width;
  uint32_t thumb_height;
  uint32_t color_convert_flag;
  uint32_t upsample_flag;
  uint32_t quality;
  uint32_t reserved;
  JpegState state;
} JPEG_PROPERTIES;

typedef struct JpegVersionInfo {
  int32_t major;
  int32_t minor;
  int32_t build;
  const char* library_name;
  const char* version;
  const char* internal_version;
  const char* build_date; /* "Mmm dd yyyy" */
  const char* built_with;
} JpegVersionInfo;

int32_t JpegInit(JPEG_PROPERTIES* properties);
int32_t JpegRead(JPEG_PROPERTIES* properties, int32_t mode);
int32_t JpegFree(JPEG_PROPERTIES* properties);
const char* JpegErrorText(int32_t code);
const JpegVersionInfo* JpegGetVersionInfo(void);

/* The image read from a buffer at 1/scale of the size: READ_HALF_BUFFER, READ_QUARTER_BUFFER
 * or READ_EIGHTH_BUFFER for scale 2, 4 or 8, READ_IMAGE_BUFFER for any other scale. */
static inline int32_t JpegScaledReadMode(uint32_t scale) {
  return scale == 2   ? READ_HALF_BUFFER
         : scale == 4 ? READ_QUARTER_BUFFER
         : scale == 8 ? READ_EIGHTH_BUFFER
                      : READ_IMAGE_BUFFER;
}

/* The width or height a read at 1/scale delivers: the image's, divided and rounded up. */
static inline uint32_t JpegScaledExtent(uint32_t extent, uint32_t scale) {
  return extent / scale + (extent % scale != 0);
}

/* One call for the common case, built on the operations above: decodes the whole JPEG in
 * `data` into a new buffer of top-down rows without padding, in `color` (COLOR_RGB,
 * COLOR_BGR, COLOR_RGBA or COLOR_GRAY). Returns the codec's status. On success *pixels
 * holds *height rows of *stride = *width x channels bytes, which the caller releases with
 * free(); on any failure *pixels is NULL (a stream cut short included: the record-based
 * reads keep the rows decoded so far). A colour the image cannot be decoded into gives
 * JPEG_ERR_INVALID_PROPERTIES, as it does for JpegRead. Records are independent: reads
 * of different records may run on different threads at once. */
int32_t JpegDecodeMemory(const uint8_t* data, uint32_t size, int32_t color, uint8_t** pixels,
                         uint32_t* width, uint32_t* height, uint32_t* stride);

#ifdef __cplusplus
}
#endif

#endif /* SETUVIA_JPEG_JPEG_CODEC_H */
