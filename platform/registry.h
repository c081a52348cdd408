// The read-only registry stand-in. Linux has no registry: the codec's processor override
// (HKEY_LOCAL_MACHINE "Software\Setuvia\JpegCodec", value "USECPU") comes from the
// environment variable SETUVIA_JPEG_USECPU (decimal text, a 4-byte value); every other key
// is absent unless a test puts one in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class RegistryHive { kCurrentUser, kLocalMachine };
enum class RegistryValueType { kString, kDword };

struct RegistryValue {
  RegistryValueType type = RegistryValueType::kString;
  std::string text;          // kString
  std::uint32_t number = 0;  // kDword
};

class RegistryKey {
 public:
  // Opens a key for reading; key paths use "\" between their parts.
  bool Open(RegistryHive hive, const std::string& key);
  // The named value ("" for the key's default value), when it exists and its data fits in
  // `buffer_bytes` (a string counts UTF-16 code units and its terminating null, 2 bytes each).
  std::optional<RegistryValue> Query(const std::string& name, std::size_t buffer_bytes) const;
  void Close();

 private:
  std::optional<RegistryHive> hive_;
  std::string key_;
};

// Test doubles: values that exist besides the stand-in's own; Reset removes them all.
void SetRegistryValueForTesting(RegistryHive hive, const std::string& key, const std::string& name,
                                RegistryValue value);
void ResetRegistryForTesting();

}  // namespace platform
