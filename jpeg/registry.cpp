// The registry stand-in: SETUVIA_JPEG_USECPU plays the value "USECPU" of the one key
// the codec reads. Its text is parsed as a decimal number stored as 4 bytes; text
// that is not a number makes the value unreadable, so the processor decides.
#include "jpeg/registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "jpeg/routine_table.h"

namespace jpeg {

struct RegistryLibrary {
  RegOpenKeyFunction open_key;
  RegQueryValueFunction query_value;
  RegCloseKeyFunction close_key;
};

namespace {

constexpr char kCodecKey[] = "Software\\Setuvia\\JpegCodec";
constexpr RegistryKey kCodecKeyHandle = 0x5E7u;
constexpr uint32_t kRegDword = 4;

int32_t OpenKey(RegistryKey root, const char* subkey, uint32_t, uint32_t, RegistryKey* key) {
  if (root != kHkeyLocalMachine || subkey == nullptr || std::strcmp(subkey, kCodecKey) != 0)
    return kRegistryNotFound;
  *key = kCodecKeyHandle;
  return kRegistrySuccess;
}

// The environment text as a 32-bit value, or false when it is absent or not a number.
bool ParseUseCpu(const char* text, int32_t& value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > UINT32_MAX) return false;
  value = static_cast<int32_t>(static_cast<uint32_t>(parsed));
  return true;
}

int32_t QueryValue(RegistryKey key, const char* name, uint32_t*, uint32_t* type, uint8_t* data,
                   uint32_t* size) {
  int32_t value = 0;
  if (key != kCodecKeyHandle || name == nullptr || std::strcmp(name, "USECPU") != 0 ||
      !ParseUseCpu(std::getenv("SETUVIA_JPEG_USECPU"), value))
    return kRegistryNotFound;
  if (type) *type = kRegDword;
  if (size == nullptr || *size < sizeof value) return kRegistryNotFound;
  std::memcpy(data, &value, sizeof value);
  *size = sizeof value;
  return kRegistrySuccess;
}

int32_t CloseKey(RegistryKey) {
  return kRegistrySuccess;
}

const RegistryLibrary kLibrary = {OpenKey, QueryValue, CloseKey};

}  // namespace

const RegistryLibrary* LoadRegistryLibrary() {
  return &kLibrary;
}

void FreeRegistryLibrary(const RegistryLibrary*) {}

void* FindRegistryFunction(const RegistryLibrary* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  if (std::strcmp(name, "RegOpenKeyExA") == 0) return reinterpret_cast<void*>(library->open_key);
  if (std::strcmp(name, "RegQueryValueExA") == 0)
    return reinterpret_cast<void*>(library->query_value);
  if (std::strcmp(name, "RegCloseKey") == 0) return reinterpret_cast<void*>(library->close_key);
  return nullptr;
}

int32_t ReadUseCpuOverride(RoutineTable* table) {
  if (table == nullptr || !table->reg_open_key || !table->reg_query_value || !table->reg_close_key)
    return -1;
  RegistryKey key = 0;
  if (table->reg_open_key(kHkeyLocalMachine, kCodecKey, 0, kKeyQueryValue, &key) !=
      kRegistrySuccess)
    return -1;
  int32_t value = -1;
  uint32_t size = sizeof value;
  uint8_t data[4];
  if (table->reg_query_value(key, "USECPU", nullptr, nullptr, data, &size) == kRegistrySuccess)
    std::memcpy(&value, data, sizeof value);
  table->reg_close_key(key);
  return value;
}

}  // namespace jpeg
