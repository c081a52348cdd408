// Font face per resource language, and choosing the first installed family of a list.
#include "platform/ui/font_choice.h"

namespace platform::ui {

std::string_view FontFamiliesFor(std::uint16_t language) {
  switch (language) {
    case 0x0411:
      return "Noto Sans CJK JP,WenQuanYi Micro Hei";
    case 0x0804:
      return "Noto Sans CJK SC,WenQuanYi Micro Hei";
    case 0x0404:
      return "Noto Sans CJK TC,WenQuanYi Micro Hei";
    case 0x0412:
      return "Noto Sans CJK KR,WenQuanYi Micro Hei";
    default:
      return "DejaVu Sans,WenQuanYi Micro Hei";
  }
}

std::string FirstInstalledFamily(std::string_view families,
                                 const std::function<bool(const std::string&)>& installed) {
  std::string family;
  while (!families.empty()) {
    const std::size_t comma = families.find(',');
    family = std::string(families.substr(0, comma));
    if (installed(family)) return family;
    families = comma == std::string_view::npos ? std::string_view{} : families.substr(comma + 1);
  }
  return family;
}

int PointsToPixels(int points) {
  return (points * 96 + 36) / 72;
}

}  // namespace platform::ui
