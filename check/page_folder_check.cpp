// Page folders as the viewer meets them. The folders are formed by start-up's own page-folder
// code, the pages listed by the viewer's page list and loaded by its page loader, so what is
// reported here is what the viewer does. Beyond that, the first bytes of each page and the
// names the page list skips are looked at: those are the mistakes a packager makes.
#include "check/page_folder_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "app/language_select_dlg.h"
#include "app/page_folder.h"
#include "image/page_file.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "viewer/page_list.h"

namespace check {
namespace {

constexpr std::string_view kEnglish = "0x0409";

// The largest page a common screen shows whole.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// Image files a packager may have meant as pages; the viewer takes only .jpg and .bmp.
constexpr std::array<std::string_view, 9> kImageExtensions = {"jpeg", "jpe",  "jfif", "png", "gif",
                                                              "tif",  "tiff", "dib",  "webp"};

std::string LowerExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : platform::ToLowerAscii(name.substr(dot + 1));
}

std::string SizeText(std::int32_t width, std::int32_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// The image format the file's first bytes show; empty when none is recognised.
std::string_view ContentFormat(const std::string& path) {
  platform::ReadOnlyFile file;
  std::array<std::uint8_t, 12> b{};
  if (!file.Open(path) || file.ReadAt(0, b.data(), b.size()) < 4) return {};
  const auto starts = [&b](const char* magic, std::size_t at = 0) {
    return std::memcmp(b.data() + at, magic, std::strlen(magic)) == 0;
  };
  if (b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "JPEG";
  if (starts("BM")) return "BMP";
  if (starts("\x89PNG")) return "PNG";
  if (starts("GIF8")) return "GIF";
  if ((starts("II*") && b[3] == 0) || (starts("MM") && b[2] == 0 && b[3] == '*')) return "TIFF";
  if (starts("RIFF") && starts("WEBP", 8)) return "WebP";
  return {};
}

void CheckContent(const std::string& path, ImageFileType type, Report& report) {
  const std::string_view format = ContentFormat(path);
  const std::string_view named = type == IMAGE_TYPE_JPEG ? "JPEG" : "BMP";
  if (format.empty() || format == named) return;
  report.Add({"warning", path, "content",
              "holds a " + std::string(format) + " image; its name makes it a " +
                  std::string(named) + " page",
              Verdict::kWarning});
}

void CheckPage(const std::string& path, Report& report) {
  ++report.pages;
  const PageFile page = LoadPageFile(path);
  if (page.failure) {
    report.Add({"page", path, "not shown", PageLoadFailureText(*page.failure), Verdict::kFailure});
  } else {
    ++report.pages_shown;
    const BitmapInfoHeader& h = page.header;
    report.Add({"page", path, "shown", SizeText(h.biWidth, h.biHeight)});
    if (h.biWidth > kScreenWidth || h.biHeight > kScreenHeight) {
      report.Add({"warning", path, "large",
                  SizeText(h.biWidth, h.biHeight) + " is larger than a " +
                      SizeText(kScreenWidth, kScreenHeight) +
                      " screen: a screen too small for it shows it scaled down",
                  Verdict::kWarning});
    }
  }
  CheckContent(path, page.type, report);
}

void CheckSkippedFiles(const std::string& folder, Report& report) {
  platform::DirectoryEnumeration entries;
  std::string name;
  for (bool found = entries.First(folder + "*.*", name); found; found = entries.Next(name)) {
    const std::string extension = LowerExtension(name);
    if (std::find(kImageExtensions.begin(), kImageExtensions.end(), extension) ==
        kImageExtensions.end())
      continue;
    report.Add({"warning", folder + name, "skipped", "only .jpg and .bmp files are pages",
                Verdict::kWarning});
  }
  entries.Close();
}

void CheckLanguageFolder(const std::string& folder, Report& report) {
  const std::size_t at = report.findings.size();
  report.Add({"folder", folder, "", ""});
  CPageList list;
  std::string path;
  int count = 0;
  for (bool more = list.StartPageList(folder, path); more; more = list.GetNextPage(path)) {
    CheckPage(path, report);
    ++count;
  }
  Finding& line = report.findings[at];
  if (count == 0) {
    line.status = "no page";
    line.detail = "the viewer shows an empty window";
    line.verdict = Verdict::kFailure;
  } else {
    line.status = std::to_string(count) + (count == 1 ? " page" : " pages");
  }
  CheckSkippedFiles(folder, report);
}

bool IsDetectableLanguage(const std::string& name) {
  return std::any_of(
      app::kDetectableLanguageFolders.begin(), app::kDetectableLanguageFolders.end(),
      [&name](std::string_view lang) { return platform::EqualsNoCaseAscii(name, lang); });
}

bool IsOfferedLanguage(std::string_view lang) {
  return std::any_of(kLanguageTable.begin(), kLanguageTable.end(), [lang](const LanguageRow& row) {
    return platform::EqualsNoCaseAscii(row.folder_name, lang);
  });
}

// Folders detection never picks: the viewer shows them only when -lang_id names them, and
// never while the language dialog is on (it offers none of them).
void CheckOtherLanguages(const std::string& base, bool language_dialog, Report& report) {
  platform::DirectoryEnumeration entries;
  std::string name;
  for (bool found = entries.First(base + "*.*", name); found; found = entries.Next(name)) {
    if (name == "." || name == ".." || IsDetectableLanguage(name)) continue;
    if (!platform::FileExists(base + name + "/")) continue;
    if (language_dialog) {
      report.Add({"warning", base + name + "/", "not offered",
                  "the language dialog does not offer this language", Verdict::kWarning});
    } else {
      report.Add({"folder", base + name + "/", "not a detected language",
                  "shown only with -lang_id=" + name});
    }
  }
  entries.Close();
}

// The language dialog offers only the folders that exist; without it, start-up shows the
// English pages to a session whose language has no folder.
void ReportMissingLanguages(const std::string& base, const std::string& missing,
                            bool language_dialog, Report& report) {
  Finding line{"languages", base, "missing", missing};
  if (!language_dialog && missing.find(kEnglish) == std::string::npos) {
    line.detail += " (sessions in these languages see the English pages)";
  } else if (!language_dialog) {
    line.detail += " (sessions in these languages see no page: there are no English pages)";
    line.verdict = Verdict::kWarning;
  }
  report.Add(std::move(line));
}

}  // namespace

std::string PageDataFolder(const std::string& root, const std::string& model_part) {
  std::string folder = app::MakePageFolderTemplate(root, "", !model_part.empty(), true);
  app::ReplaceModelPlaceholder(folder, model_part);
  return folder;
}

void CheckPageDataFolder(const std::string& root, const std::string& model_part, bool required,
                         bool language_dialog, Report& report) {
  const std::string base = PageDataFolder(root, model_part);
  if (!platform::FileExists(base)) {
    report.Add({"folder", base, "missing", required ? "the viewer has no page to show" : "",
                required ? Verdict::kFailure : Verdict::kNote});
    return;
  }
  std::string missing;
  std::size_t found = 0;
  for (std::string_view lang : app::kDetectableLanguageFolders) {
    std::string folder =
        app::MakePageFolderTemplate(root, std::string(lang), !model_part.empty(), false);
    app::ReplaceModelPlaceholder(folder, model_part);
    if (platform::FileExists(folder)) {
      if (language_dialog && !IsOfferedLanguage(lang)) {
        report.Add({"warning", folder, "not offered",
                    "the language dialog does not offer this language", Verdict::kWarning});
      }
      CheckLanguageFolder(folder, report);
      ++found;
    } else {
      if (!missing.empty()) missing += ' ';
      missing += lang;
    }
  }
  if (found == 0) {
    report.Add({"languages", base, "none", "no folder of the ten languages", Verdict::kFailure});
  } else if (!missing.empty()) {
    ReportMissingLanguages(base, missing, language_dialog, report);
  }
  CheckOtherLanguages(base, language_dialog, report);
}

}  // namespace check
