// Languages. A POSIX locale name is mapped to the Windows language id of the same language
// and territory; a language without a territory, or with one the table does not know, takes
// the language's principal id (the first row of that language). The thread locale is set
// once, from the lang_id option; the resource loader prefers it.
#include "platform/locale.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/text.h"

namespace platform {
namespace {

struct LocaleRow {
  std::string_view language;
  std::string_view territory;
  LangId id;
};

// The first row of each language is its principal id.
constexpr LocaleRow kLocales[] = {
    {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "IN", 0x4009},
    {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C}, {"de", "DE", 0x0407}, {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07}, {"de", "LU", 0x1007}, {"de", "LI", 0x1407}, {"it", "IT", 0x0410},
    {"it", "CH", 0x0810}, {"ja", "JP", 0x0411}, {"ko", "KR", 0x0412}, {"ru", "RU", 0x0419},
    {"ru", "MD", 0x0819}, {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004}, {"zh", "MO", 0x1404}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A},
    {"es", "GT", 0x100A}, {"es", "CR", 0x140A}, {"es", "PA", 0x180A}, {"es", "DO", 0x1C0A},
    {"es", "VE", 0x200A}, {"es", "CO", 0x240A}, {"es", "PE", 0x280A}, {"es", "AR", 0x2C0A},
    {"es", "EC", 0x300A}, {"es", "CL", 0x340A}, {"es", "UY", 0x380A}, {"es", "PY", 0x3C0A},
    {"es", "BO", 0x400A}, {"es", "SV", 0x440A}, {"es", "HN", 0x480A}, {"es", "NI", 0x4C0A},
    {"es", "PR", 0x500A}, {"es", "US", 0x540A}, {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816},
    {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813}, {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D},
    {"da", "DK", 0x0406}, {"nb", "NO", 0x0414}, {"no", "NO", 0x0414}, {"nn", "NO", 0x0814},
    {"fi", "FI", 0x040B}, {"is", "IS", 0x040F}, {"pl", "PL", 0x0415}, {"cs", "CZ", 0x0405},
    {"sk", "SK", 0x041B}, {"sl", "SI", 0x0424}, {"hu", "HU", 0x040E}, {"ro", "RO", 0x0418},
    {"bg", "BG", 0x0402}, {"hr", "HR", 0x041A}, {"el", "GR", 0x0408}, {"tr", "TR", 0x041F},
    {"uk", "UA", 0x0422}, {"be", "BY", 0x0423}, {"et", "EE", 0x0425}, {"lv", "LV", 0x0426},
    {"lt", "LT", 0x0427}, {"he", "IL", 0x040D}, {"ar", "SA", 0x0401}, {"ar", "EG", 0x0C01},
    {"fa", "IR", 0x0429}, {"hi", "IN", 0x0439}, {"th", "TH", 0x041E}, {"vi", "VN", 0x042A},
    {"id", "ID", 0x0421}, {"ms", "MY", 0x043E}, {"ca", "ES", 0x0403}, {"eu", "ES", 0x042D},
    {"gl", "ES", 0x0456},
};

std::optional<LangId>& ThreadLocaleSlot() {
  static std::optional<LangId> slot;
  return slot;
}

}  // namespace

LangId LangIdFromLocaleName(const std::string& locale_name) {
  std::string_view name = locale_name;
  name = name.substr(0, name.find_first_of(".@"));
  const std::size_t underscore = name.find('_');
  const std::string language = ToLowerAscii(name.substr(0, underscore));
  const std::string_view territory =
      underscore == std::string_view::npos ? "" : name.substr(underscore + 1);
  std::optional<LangId> principal;
  for (const LocaleRow& row : kLocales) {
    if (row.language != language) continue;
    if (!principal) principal = row.id;
    if (EqualsNoCaseAscii(row.territory, territory)) return row.id;
  }
  return principal.value_or(kLangEnglishUs);
}

LangId UserDefaultUILanguage() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LangIdFromLocaleName(value);
  }
  return kLangEnglishUs;
}

void SetThreadLocale(LangId lang) {
  ThreadLocaleSlot() = lang;
}
std::optional<LangId> ThreadLocale() {
  return ThreadLocaleSlot();
}
void ResetThreadLocaleForTesting() {
  ThreadLocaleSlot().reset();
}

LangId ChooseResourceLanguage(std::span<const LangId> available) {
  auto has = [&](LangId lang) {
    return std::find(available.begin(), available.end(), lang) != available.end();
  };
  if (const auto locale = ThreadLocale(); locale && has(*locale)) return *locale;
  if (const LangId ui = UserDefaultUILanguage(); has(ui)) return ui;
  return kLangEnglishUs;
}

}  // namespace platform
