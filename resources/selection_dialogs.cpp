// Templates 133 (the language dialog) and 135 (the model dialog) in their eight languages:
// a drop-down list above one default OK button, no Cancel button (Esc and the close box
// cancel). Korean and Russian have neither; the loader falls back for them.
#include <array>
#include <string_view>

#include "resources/dialog_tables.h"
#include "resources/resources.h"

namespace resources {
namespace {

using platform::ui::ControlKind;
using platform::ui::ControlTemplate;
using platform::ui::DialogTemplate;
using platform::ui::DluRect;

struct SelectionLayout {
  int list_id;
  int list_dropped_height;
  std::string_view ok_text;
  DluRect ok_rect;
};

constexpr std::array<ControlTemplate, 2> SelectionControls(const SelectionLayout& l) {
  using platform::ui::kDefaultButton;
  using platform::ui::kTabStop;
  using platform::ui::kVerticalScroll;
  return {{
      {ControlKind::kDropDownList,
       l.list_id,
       "",
       {7, 7, 147, l.list_dropped_height},
       kTabStop | kVerticalScroll},
      {ControlKind::kPushButton, 1, l.ok_text, l.ok_rect, kDefaultButton | kTabStop},
  }};
}

constexpr DluRect kWideOk{56, 29, 50, 14};
constexpr DluRect kNarrowOk{55, 29, 50, 14};
constexpr DluRect kShortOk{55, 28, 50, 14};

constexpr auto kLanguageEnglish = SelectionControls({1001, 16, "OK", kWideOk});
constexpr auto kLanguageFrench = SelectionControls({1001, 66, "OK", kWideOk});
constexpr auto kLanguageGerman = SelectionControls({1001, 16, "OK", kWideOk});
constexpr auto kLanguageItalian = SelectionControls({1001, 16, "OK", kNarrowOk});
constexpr auto kLanguageJapanese = SelectionControls({1001, 16, "OK", kWideOk});
constexpr auto kLanguageSimplifiedChinese = SelectionControls({1001, 16, "确定", kNarrowOk});
constexpr auto kLanguageSpanish = SelectionControls({1001, 16, "Aceptar", kWideOk});
constexpr auto kLanguageTraditionalChinese = SelectionControls({1001, 16, "確定", kShortOk});

constexpr auto kModelLatin = SelectionControls({1003, 16, "OK", kShortOk});
constexpr auto kModelChinese = SelectionControls({1003, 16, "確定", kShortOk});

constexpr DialogTemplate Selection(int id, std::uint16_t language, DluRect rect,
                                   std::string_view caption, std::string_view face, int points,
                                   std::span<const ControlTemplate> controls) {
  return {id, language, rect, caption, face, points, controls};
}

constexpr DluRect kLanguageRect{0, 0, 161, 50};
constexpr DluRect kSmallRect{0, 0, 160, 49};

constexpr DialogTemplate kTemplates[] = {
    Selection(kLanguageDialog, 0x0409, kLanguageRect, "Select Language", "MS Sans Serif", 8,
              kLanguageEnglish),
    Selection(kLanguageDialog, 0x040C, kLanguageRect, "Selecione une langue", "MS Sans Serif", 8,
              kLanguageFrench),
    Selection(kLanguageDialog, 0x0407, kLanguageRect, "Wählen Sie Sprache vor", "MS Sans Serif", 8,
              kLanguageGerman),
    Selection(kLanguageDialog, 0x0410, kLanguageRect, "Selezioni la lingua", "MS Sans Serif", 8,
              kLanguageItalian),
    Selection(kLanguageDialog, 0x0411, kLanguageRect, "言語設定", "Tahoma", 8, kLanguageJapanese),
    Selection(kLanguageDialog, 0x0804, kLanguageRect, "选择语言", "Tahoma", 8,
              kLanguageSimplifiedChinese),
    Selection(kLanguageDialog, 0x0C0A, kLanguageRect, "Seleccione la lengua", "MS Sans Serif", 8,
              kLanguageSpanish),
    Selection(kLanguageDialog, 0x0404, kSmallRect, "選擇語言", "新細明體", 9,
              kLanguageTraditionalChinese),
    Selection(kModelDialog, 0x0409, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x040C, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x0407, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x0410, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x0411, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x0804, kSmallRect, "選擇型號", "Tahoma", 8, kModelChinese),
    Selection(kModelDialog, 0x0C0A, kSmallRect, "Select Model", "Tahoma", 8, kModelLatin),
    Selection(kModelDialog, 0x0404, kSmallRect, "選擇型號", "Tahoma", 8, kModelChinese),
};

}  // namespace

std::span<const DialogTemplate> SelectionDialogTemplates() {
  return kTemplates;
}

}  // namespace resources
