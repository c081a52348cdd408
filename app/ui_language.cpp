// The user-interface language: the lang_id option, else detection from exactly one source
// (the platform's function when it exists, else the Windows 9x registry value, else the
// languages of the NT system module's version resource); no source falls back to another.
#include "app/ui_language.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/command_line.h"
#include "app/harbel_app.h"
#include "app/page_folder.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace app {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FormatFolderName(platform::LangId id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(id));
  return text;
}

// A hexadecimal number as "%x" scans it: leading blanks, a sign and "0x" allowed.
std::optional<unsigned long> ScanHex(const std::string& text) {
  const char* start = text.c_str();
  char* end = nullptr;
  const unsigned long number = std::strtoul(start, &end, 16);
  if (end == start) return std::nullopt;
  return number;
}

}  // namespace

std::optional<platform::LangId> ReadLangId(const std::string& text) {
  if (text.size() < 3 || text[0] != '0' || text[1] != 'x' || HexDigit(text[2]) < 0)
    return std::nullopt;
  unsigned id = 0;
  for (std::size_t i = 2; i < text.size() && i < 6 && HexDigit(text[i]) >= 0; ++i) {
    id = id * 16 + static_cast<unsigned>(HexDigit(text[i]));
  }
  return static_cast<platform::LangId>(id);
}

}  // namespace app

// A value with no readable id (empty, decimal, text) is still the folder name, but sets no
// thread locale: the program's own texts then follow the user-interface language.
std::string CHarbelApp::MakeLangIDString() {
  std::string value;
  if (app::ParseOptionValue(m_lpCmdLine, "lang_id", value)) {
    value = platform::ToLowerAscii(value);
    if (value == "0x040a") value = "0x0C0A";
    if (const auto id = app::ReadLangId(value)) {
      platform::Trace("LangID = 0x%04x.\n", static_cast<unsigned>(*id));
      platform::SetThreadLocale(*id);
    }
    return value;
  }
  value = platform::ToLowerAscii(app::FormatFolderName(DetectUILanguage()));
  if (!app::IsDetectableLanguageFolder(value)) value = "0x0409";
  return value;
}

namespace {

void DetectFromRegistry(platform::LangId& id) {
  platform::RegistryKey key;
  if (!key.Open(platform::RegistryHive::kCurrentUser, "Control Panel\\Desktop\\ResourceLocale"))
    return;
  const auto value = key.Query("", 32);
  if (value && value->type == platform::RegistryValueType::kString) {
    if (const auto number = app::ScanHex(value->text)) {
      id = static_cast<platform::LangId>(*number & 0xFFFF);
      platform::Trace("CHarbelApp(Windows 9x)::DetectUILanguage() 9X1st/2nd = %04X\n",
                      static_cast<unsigned>(id));
    }
  }
  key.Close();
}

// The last language the version resource lists wins.
void DetectFromVersionResource(platform::LangId& id) {
  const bool loaded =
      platform::EnumVersionResourceLanguages("ntdll.dll", [&id](platform::LangId lang) {
        id = lang;
        return true;
      });
  if (loaded && id != 0) {
    platform::Trace("CHarbelApp(Windows NT)::DetectUILanguage() NT1st/2nd = %04X\n",
                    static_cast<unsigned>(id));
  }
}

}  // namespace

platform::LangId CHarbelApp::DetectUILanguage() {
  platform::LangId id = platform::kLangEnglishUs;
  if (const auto function = platform::FindUserDefaultUILanguage()) return function();
  if (platform::IsWindows9xFamily()) {
    DetectFromRegistry(id);
  } else {
    DetectFromVersionResource(id);
  }
  return id;
}
