/* Uses the codec from C through its one public header: a parameter read of every
 * file named on the command line, from memory and from the file, must agree.
 * Exit status 0 when every file gave the same status and size both ways. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "jpeg/jpeg_codec.h"

static unsigned char* LoadFile(const char* path, long* size) {
  FILE* file = fopen(path, "rb");
  unsigned char* bytes = NULL;
  if (file == NULL) return NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (*size = ftell(file)) >= 0 &&
      fseek(file, 0, SEEK_SET) == 0) {
    bytes = (unsigned char*)malloc((size_t)*size + 1);
    if (bytes != NULL && fread(bytes, 1, (size_t)*size, file) != (size_t)*size) {
      free(bytes);
      bytes = NULL;
    }
  }
  fclose(file);
  return bytes;
}

static int32_t ReadParams(JPEG_PROPERTIES* p, const unsigned char* bytes, long size,
                          const char* path) {
  int32_t status;
  memset(p, 0, sizeof *p);
  if (JpegInit(p) != JPEG_SUCCESS) return -1000;
  p->jpeg_buffer = bytes;
  p->jpeg_buffer_size = (uint32_t)size;
  p->jpeg_file = path;
  status = JpegRead(p, path ? READ_PARAMS_FILE : READ_PARAMS_BUFFER);
  if (JpegFree(p) != JPEG_SUCCESS) return -1001;
  return status;
}

static int CheckFile(const char* path) {
  JPEG_PROPERTIES memory, file;
  long size = 0;
  unsigned char* bytes = LoadFile(path, &size);
  int32_t from_memory, from_file;
  int same;
  if (bytes == NULL) return 0;
  from_memory = ReadParams(&memory, bytes, size, NULL);
  from_file = ReadParams(&file, bytes, size, path);
  free(bytes);
  if (size == 0) return from_memory == JPEG_ERR_INVALID_PROPERTIES;
  same = from_memory == from_file || (from_memory == JPEG_ERR_MEMORY && from_file == JPEG_ERR_FILE);
  if (same && from_memory == JPEG_SUCCESS)
    same = memory.jpeg_width == file.jpeg_width && memory.jpeg_height == file.jpeg_height &&
           memory.jpeg_channels == file.jpeg_channels;
  if (!same)
    printf("%s: memory %d (%s), file %d (%s)\n", path, (int)from_memory, JpegErrorText(from_memory),
           (int)from_file, JpegErrorText(from_file));
  return same;
}

int main(int argc, char** argv) {
  int i, failures = 0;
  for (i = 1; i < argc; ++i) failures += !CheckFile(argv[i]);
  printf("%d files, %d disagreements\n", argc - 1, failures);
  return failures == 0 ? 0 : 1;
}
