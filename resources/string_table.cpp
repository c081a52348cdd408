// The string table in its ten languages: the Next button's labels (ids 1 and 2), the
// names of the languages the language dialog offers (ids 3 to 10) and the text the viewer
// shows in place of a page that cannot be shown (id 11). The Korean and Russian tables carry
// the English language names.
#include "resources/string_table.h"

namespace resources {
namespace {

constexpr StringTable kTables[] = {
    {0x0409,
     {"Next >", "Finish", "English", "French", "German", "Italian", "Japanese",
      "Simplified Chinese", "Traditional Chinese", "Spanish", "This page cannot be shown."}},
    {0x040C,
     {"Suivant >", "Terminer", "Anglais", "Français", "Allemand", "Italien", "Japonais",
      "Chinois (simplifié)", "Chinois (traditionnel)", "Espagnol",
      "Cette page ne peut pas être affichée."}},
    {0x0407,
     {"Weiter >", "Fertigstellen", "Englisch", "Französisch", "Deutsch", "Italienisch", "Japanisch",
      "Chinesisch (vereinfacht)", "Chinesisch (traditionell)", "Spanisch",
      "Diese Seite kann nicht angezeigt werden."}},
    {0x0410,
     {"Avanti >", "Fine", "Inglese", "Francese", "Tedesco", "Italiano", "Giapponese",
      "Cinese (semplificato)", "Cinese (tradizionale)", "Spagnolo",
      "Impossibile visualizzare questa pagina."}},
    {0x0411,
     {"次へ >", "完了", "英語", "フランス語", "ドイツ語", "イタリア語", "日本語", "中国語（簡体）",
      "中国語（繁体）", "スペイン語", "このページは表示できません。"}},
    {0x0804,
     {"下一步 >", "完成", "英语", "法语", "德语", "义大利语", "日语", "简体中文", "繁体中文",
      "西班牙语", "无法显示此页。"}},
    {0x0C0A,
     {"Siguiente >", "Finalizar", "Inglés", "Francés", "Alemán", "Italiano", "Japonés",
      "Chino (simplificado)", "Chino (tradicional)", "Español",
      "No se puede mostrar esta página."}},
    {0x0404,
     {"下一步 >", "完成", "英文", "法文", "德文", "義大利文", "日文", "簡體中文", "繁體中文",
      "西班牙文", "無法顯示此頁。"}},
    {0x0412,
     {"다음 >", "마침", "English", "French", "German", "Italian", "Japanese", "Simplified Chinese",
      "Traditional Chinese", "Spanish", "이 페이지를 표시할 수 없습니다."}},
    {0x0419,
     {"Далее >", "Готово", "English", "French", "German", "Italian", "Japanese",
      "Simplified Chinese", "Traditional Chinese", "Spanish", "Не удаётся показать эту страницу."}},
};

}  // namespace

std::span<const StringTable> StringTables() {
  return kTables;
}

}  // namespace resources
