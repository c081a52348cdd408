// Counts the heap allocations of this process while switched on: every malloc, calloc,
// realloc and aligned allocation (operator new goes through malloc), so that the benchmark
// can report what one decode allocates.
#pragma once

#include <cstddef>

namespace setuvia::bench {

struct AllocationCount {
  size_t calls = 0;
  size_t bytes = 0;
  size_t largest = 0;
};

// Counts from construction until destruction; one at a time.
class CountAllocations {
 public:
  CountAllocations();
  ~CountAllocations();
  CountAllocations(const CountAllocations&) = delete;
  CountAllocations& operator=(const CountAllocations&) = delete;
  AllocationCount Result() const;
};

}  // namespace setuvia::bench
