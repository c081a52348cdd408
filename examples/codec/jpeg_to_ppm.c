/* jpeg_to_ppm: decodes a JPEG file into a PPM file with the codec's one-call decode.
 * Build against an installed codec:
 *   cc jpeg_to_ppm.c $(pkg-config --cflags --libs setuvia-jpeg) -o jpeg_to_ppm
 * Usage: jpeg_to_ppm IN.jpg OUT.ppm */
#include <stdio.h>
#include <stdlib.h>

#include "jpeg/jpeg_codec.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s IN.jpg OUT.ppm\n", argv[0]);
    return 2;
  }
  FILE* in = fopen(argv[1], "rb");
  if (in == NULL) {
    perror(argv[1]);
    return 1;
  }
  static uint8_t jpeg[64 << 20];
  size_t size = fread(jpeg, 1, sizeof jpeg, in);
  fclose(in);

  uint8_t* pixels;
  uint32_t width, height, stride;
  int32_t status =
      JpegDecodeMemory(jpeg, (uint32_t)size, COLOR_RGB, &pixels, &width, &height, &stride);
  if (status != 0) {
    fprintf(stderr, "%s: %s (%d)\n", argv[1], JpegErrorText(status), status);
    return 1;
  }
  /* Rows run top-down, stride bytes apart. */
  FILE* out = fopen(argv[2], "wb");
  if (out == NULL) {
    perror(argv[2]);
    free(pixels);
    return 1;
  }
  fprintf(out, "P6\n%u %u\n255\n", width, height);
  fwrite(pixels, stride, height, out);
  free(pixels);
  return fclose(out) == 0 ? 0 : 1;
}
