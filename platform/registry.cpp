// The registry stand-in: a fixed mapping of the one value the codec reads, plus test values.
#include "platform/registry.h"

#include <cstdlib>
#include <map>
#include <tuple>

#include "platform/text.h"

namespace platform {
namespace {

using ValueKey =
    std::tuple<RegistryHive, std::string, std::string>;  // hive, key, name (lower case)

std::map<ValueKey, RegistryValue>& TestValues() {
  static std::map<ValueKey, RegistryValue> values;
  return values;
}

constexpr const char* kCodecKey = "software\\setuvia\\jpegcodec";

std::optional<RegistryValue> CodecOverride(const std::string& name) {
  if (ToLowerAscii(name) != "usecpu") return std::nullopt;
  const char* text = std::getenv("SETUVIA_JPEG_USECPU");
  if (text == nullptr || *text == '\0') return std::nullopt;
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 10);
  if (*end != '\0') return std::nullopt;
  return RegistryValue{RegistryValueType::kDword, {}, static_cast<std::uint32_t>(number)};
}

bool KeyExists(RegistryHive hive, const std::string& key) {
  if (hive == RegistryHive::kLocalMachine && key == kCodecKey) return true;
  for (const auto& [id, value] : TestValues()) {
    if (std::get<0>(id) == hive && std::get<1>(id) == key) return true;
  }
  return false;
}

std::size_t DataBytes(const RegistryValue& value) {
  if (value.type == RegistryValueType::kDword) return 4;
  std::size_t units = 0;
  for (std::size_t i = 0; i < value.text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value.text[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return (units + 1) * 2;
}

}  // namespace

bool RegistryKey::Open(RegistryHive hive, const std::string& key) {
  Close();
  const std::string folded = ToLowerAscii(key);
  if (!KeyExists(hive, folded)) return false;
  hive_ = hive;
  key_ = folded;
  return true;
}

std::optional<RegistryValue> RegistryKey::Query(const std::string& name,
                                                std::size_t buffer_bytes) const {
  if (!hive_) return std::nullopt;
  std::optional<RegistryValue> value;
  const auto found = TestValues().find({*hive_, key_, ToLowerAscii(name)});
  if (found != TestValues().end()) {
    value = found->second;
  } else if (*hive_ == RegistryHive::kLocalMachine && key_ == kCodecKey) {
    value = CodecOverride(name);
  }
  if (!value || DataBytes(*value) > buffer_bytes) return std::nullopt;
  return value;
}

void RegistryKey::Close() {
  hive_.reset();
  key_.clear();
}

void SetRegistryValueForTesting(RegistryHive hive, const std::string& key, const std::string& name,
                                RegistryValue value) {
  TestValues()[{hive, ToLowerAscii(key), ToLowerAscii(name)}] = std::move(value);
}

void ResetRegistryForTesting() {
  TestValues().clear();
}

}  // namespace platform
