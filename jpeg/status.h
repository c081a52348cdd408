// The status internal code hands on: a code of the public status table (0, 1, 2 or
// negative) in a type no caller can drop unread. Marker codes are not statuses and
// never travel in one.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

class [[nodiscard]] Status {
 public:
  // Implicit, so that a function returns a status code as it is.
  constexpr Status(int32_t code) : code_(code) {}
  constexpr int32_t code() const { return code_; }
  constexpr bool ok() const { return code_ == JPEG_SUCCESS; }
  friend constexpr bool operator==(Status a, Status b) = default;

 private:
  int32_t code_;
};

}  // namespace jpeg
