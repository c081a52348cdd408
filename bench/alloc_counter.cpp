// Replaces the C allocator's entry points with counting wrappers around glibc's own
// (__libc_malloc and friends), which every allocation of the process, the peer library's
// included, then passes through.
#include "bench/alloc_counter.h"

#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace setuvia::bench {
namespace {

bool counting = false;
AllocationCount count;

void Note(size_t size) {
  if (!counting) return;
  ++count.calls;
  count.bytes += size;
  if (size > count.largest) count.largest = size;
}

}  // namespace

CountAllocations::CountAllocations() {
  count = {};
  counting = true;
}

CountAllocations::~CountAllocations() {
  counting = false;
}

AllocationCount CountAllocations::Result() const {
  return count;
}

}  // namespace setuvia::bench

using setuvia::bench::Note;

extern "C" {

void* malloc(size_t size) noexcept {
  Note(size);
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
  Note(count * size);
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) noexcept {
  Note(size);
  return __libc_realloc(pointer, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
  Note(size);
  return __libc_memalign(alignment, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
  Note(size);
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** pointer, size_t alignment, size_t size) noexcept {
  Note(size);
  *pointer = __libc_memalign(alignment, size);
  return *pointer == nullptr ? ENOMEM : 0;
}

void free(void* pointer) noexcept {
  __libc_free(pointer);
}

}  // extern "C"
