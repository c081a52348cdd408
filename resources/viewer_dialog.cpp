// Template 102, the viewer dialog, in its ten languages: the page frame, the etched line
// and the button row "< Previous", "Next >", "Exit". The languages differ in texts and in
// a few positions; the viewer lays the controls out anew as soon as a page is shown.
#include <array>
#include <string_view>

#include "resources/dialog_tables.h"
#include "resources/resources.h"

namespace resources {
namespace {

using platform::ui::ControlKind;
using platform::ui::ControlTemplate;
using platform::ui::DialogTemplate;

struct ViewerTexts {
  std::string_view exit, previous, next;
  int exit_x, previous_x, previous_width, next_x;
  int frame_x, frame_y, line_width;
};

constexpr std::array<ControlTemplate, 5> ViewerControls(const ViewerTexts& t) {
  using platform::ui::kSunken;
  using platform::ui::kTabStop;
  return {{
      {ControlKind::kPushButton, 2, t.exit, {t.exit_x, 289, 50, 14}, kTabStop},
      {ControlKind::kPushButton,
       3,
       t.previous,
       {t.previous_x, 289, t.previous_width, 14},
       kTabStop},
      {ControlKind::kPushButton, 4, t.next, {t.next_x, 289, 50, 14}, kTabStop},
      {ControlKind::kBlackFrame, 1000, "", {t.frame_x, t.frame_y, 400, 277}, 0},
      {ControlKind::kBlackFrame, 1002, "", {4, 282, t.line_width, 1}, kSunken},
  }};
}

constexpr DialogTemplate ViewerDialog(std::uint16_t language, std::string_view caption,
                                      std::span<const ControlTemplate> controls) {
  using namespace platform::ui;
  return {kViewerDialog,    language,
          {0, 0, 403, 310}, caption,
          "Tahoma",         8,
          controls,         kCaption | kSystemMenu | kModalFrame | kVisible | kAppWindow};
}

constexpr auto kTraditionalChinese =
    ViewerControls({"離開", "< 上一步", "下一步 >", 340, 221, 50, 280, 1, 1, 394});
constexpr auto kGerman =
    ViewerControls({"Beenden", "< Zurück", "Weiter >", 345, 225, 50, 285, 0, 0, 393});
constexpr auto kEnglish =
    ViewerControls({"Exit", "< Previous", "Next >", 345, 225, 50, 285, 0, 0, 393});
constexpr auto kFrench =
    ViewerControls({"Quitter", "< Précédent", "Suivant >", 345, 225, 50, 285, 0, 0, 393});
constexpr auto kItalian =
    ViewerControls({"Esci", "< Indietro", "Avanti >", 345, 225, 50, 285, 0, 0, 393});
constexpr auto kJapanese =
    ViewerControls({"終了", "< 戻る", "次へ >", 341, 220, 50, 279, 1, 1, 395});
constexpr auto kKorean = ViewerControls({"종료", "< 뒤로", "다음 >", 346, 227, 50, 286, 0, 0, 393});
constexpr auto kRussian =
    ViewerControls({"Выход", "< Назад", "Далее >", 345, 225, 50, 285, 0, 0, 393});
constexpr auto kSimplifiedChinese =
    ViewerControls({"离开", "< 上一步", "下一步 >", 349, 231, 50, 291, 1, 1, 400});
constexpr auto kSpanish =
    ViewerControls({"Salir", "< Atrás", "Siguiente >", 345, 221, 54, 285, 0, 0, 393});

constexpr DialogTemplate kTemplates[] = {
    ViewerDialog(0x0404, "ProductName 產品安裝說明", kTraditionalChinese),
    ViewerDialog(0x0407, "ProductName Installationsanleitung", kGerman),
    ViewerDialog(0x0409, "ProductName Installation Instruction", kEnglish),
    ViewerDialog(0x040C, "Instructions d'installation de ProductName", kFrench),
    ViewerDialog(0x0410, "Istruzioni sull'installazione di ProductName", kItalian),
    ViewerDialog(0x0411, "ProductNameのインストールに関する指示", kJapanese),
    ViewerDialog(0x0412, "ProductName 설치 지침", kKorean),
    ViewerDialog(0x0419, "Инструкция по установке  ProductName", kRussian),
    ViewerDialog(0x0804, "ProductName 产品安装说明", kSimplifiedChinese),
    ViewerDialog(0x0C0A, "Instrucciones de Instalación de ProductName", kSpanish),
};

}  // namespace

std::span<const DialogTemplate> ViewerDialogTemplates() {
  return kTemplates;
}

}  // namespace resources
