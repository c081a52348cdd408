// The codec's own stand-in for the registry functions it calls: one read-only value,
// "USECPU" under HKEY_LOCAL_MACHINE "Software\Setuvia\JpegCodec", taken from the
// environment variable SETUVIA_JPEG_USECPU as decimal text. Every other key is absent.
// The functions are reached the way the routine table expects: load a "library", look
// the three functions up by name, call them through pointers.
#pragma once

#include <cstdint>

struct RoutineTable;

namespace jpeg {

inline constexpr uintptr_t kHkeyLocalMachine = 0x80000002u;
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr int32_t kRegistrySuccess = 0;
inline constexpr int32_t kRegistryNotFound = 2;

using RegistryKey = uintptr_t;
using RegOpenKeyFunction = int32_t (*)(RegistryKey root, const char* subkey, uint32_t options,
                                       uint32_t access, RegistryKey* key);
using RegQueryValueFunction = int32_t (*)(RegistryKey key, const char* name, uint32_t* reserved,
                                          uint32_t* type, uint8_t* data, uint32_t* size);
using RegCloseKeyFunction = int32_t (*)(RegistryKey key);

struct RegistryLibrary;

// The library handle, or none when the stand-in is unavailable.
const RegistryLibrary* LoadRegistryLibrary();
void FreeRegistryLibrary(const RegistryLibrary* library);
// "RegOpenKeyExA", "RegQueryValueExA" or "RegCloseKey"; none for any other name.
void* FindRegistryFunction(const RegistryLibrary* library, const char* name);

// Reads the value "USECPU" through the table's registry functions: the value, or -1.
int32_t ReadUseCpuOverride(RoutineTable* table);

}  // namespace jpeg
