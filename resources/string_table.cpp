// The string table in its ten languages: the Next button's labels (ids 1 and 2) and the
// names of the languages the language dialog offers (ids 3 to 10). The Korean and Russian
// tables carry the English names.
#include "resources/string_table.h"

namespace resources {
namespace {

constexpr StringTable kTables[] = {
    {0x0409,
     {"Next >", "Finish", "English", "French", "German", "Italian", "Japanese",
      "Simplified Chinese", "Traditional Chinese", "Spanish"}},
    {0x040C,
     {"Suivant >", "Terminer", "Anglais", "Français", "Allemand", "Italien", "Japonais",
      "Chinois (simplifié)", "Chinois (traditionnel)", "Espagnol"}},
    {0x0407,
     {"Weiter >", "Fertigstellen", "Englisch", "Französisch", "Deutsch", "Italienisch", "Japanisch",
      "Chinesisch (vereinfacht)", "Chinesisch (traditionell)", "Spanisch"}},
    {0x0410,
     {"Avanti >", "Fine", "Inglese", "Francese", "Tedesco", "Italiano", "Giapponese",
      "Cinese (semplificato)", "Cinese (tradizionale)", "Spagnolo"}},
    {0x0411,
     {"次へ >", "完了", "英語", "フランス語", "ドイツ語", "イタリア語", "日本語", "中国語（簡体）",
      "中国語（繁体）", "スペイン語"}},
    {0x0804,
     {"下一步 >", "完成", "英语", "法语", "德语", "义大利语", "日语", "简体中文", "繁体中文",
      "西班牙语"}},
    {0x0C0A,
     {"Siguiente >", "Finalizar", "Inglés", "Francés", "Alemán", "Italiano", "Japonés",
      "Chino (simplificado)", "Chino (tradicional)", "Español"}},
    {0x0404,
     {"下一步 >", "完成", "英文", "法文", "德文", "義大利文", "日文", "簡體中文", "繁體中文",
      "西班牙文"}},
    {0x0412,
     {"다음 >", "마침", "English", "French", "German", "Italian", "Japanese", "Simplified Chinese",
      "Traditional Chinese", "Spanish"}},
    {0x0419,
     {"Далее >", "Готово", "English", "French", "German", "Italian", "Japanese",
      "Simplified Chinese", "Traditional Chinese", "Spanish"}},
};

}  // namespace

std::span<const StringTable> StringTables() {
  return kTables;
}

}  // namespace resources
