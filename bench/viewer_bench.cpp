// The viewer's speed and memory on 1920 x 1080 24-bit BMP pages.
//
//   ViewerStartToFirstPaint  (needs an X display, e.g. under Xvfb): constructs the viewer,
//       runs it with the real window until the first page has been painted, then ends it.
//       Counters: the cold start split in two (a window without a page, which opens the
//       display and the fonts; then the process's first page) and the resident memory that
//       first page adds (its pixels and their converted copy for the screen).
//   ViewerPageTurn           (headless): a click on "Next >" or "< Previous" and the paint
//       that follows: read the file, lay out, convert and draw the page once.
//   ViewerRepaint            (headless): a paint of the page on display; its counter shows
//       that paints reuse the converted page.
//   ViewerPageListWalk       the page list over a real folder of 3 pages, alone or among
//       10,000 other files.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "platform/locale.h"
#include "platform/ui/headless.h"
#include "tests/image/bmp_test_file.h"
#include "viewer/viewer_dlg.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A page folder of three full-HD pages.
const bmp_test::TempFolder& Pages() {
  static const bmp_test::TempFolder folder = [] {
    bmp_test::TempFolder f("viewer-bench");
    const auto bytes = bmp_test::MakeBmp({.width = kWidth, .height = kHeight});
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp"})
      bmp_test::WriteFile(f.Path() / name, bytes);
    return f;
  }();
  return folder;
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::atol(line.c_str() + 6);
  return 0;
}

// Ends itself after its first paint (with the first page, when its folder has one), noting
// the resident memory at that moment.
class FirstPaintViewer final : public CViewerDlg {
 public:
  explicit FirstPaintViewer(const std::string& folder) : CViewerDlg(folder, "") {}
  long resident_kib_at_paint = 0;

 protected:
  void OnPaint() override {
    CViewerDlg::OnPaint();
    resident_kib_at_paint = ResidentKiB();
    EndDialog(kEndFinish);
    // The modal loop sees the end only after the next event; a move by one pixel makes the
    // server send one.
    MoveWindow(GetWindowRect().Offset(1, 0), false);
  }
};

// Milliseconds from construction to the end after the first paint; negative when no window
// could be shown.
double RunToFirstPaint(const std::string& folder, long* resident_kib_at_paint = nullptr) {
  const auto start = std::chrono::steady_clock::now();
  FirstPaintViewer viewer(folder);
  if (viewer.DoModal() != kEndFinish) return -1;
  if (resident_kib_at_paint) *resident_kib_at_paint = viewer.resident_kib_at_paint;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void ViewerStartToFirstPaint(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X display (run under Xvfb)");
    return;
  }
  platform::SetThreadLocale(platform::kLangEnglishUs);
  Pages();
  // First a window without a page: the display, fonts and window of the toolkit's own. Then
  // the first page this process ever shows: its time, and the memory it adds.
  const bmp_test::TempFolder empty("viewer-bench-empty");
  long resident_base = 0;
  long resident_at_paint = 0;
  const double toolkit_ms = RunToFirstPaint(empty.Folder(), &resident_base);
  if (toolkit_ms < 0) {
    state.SkipWithError("cannot show a window on the X display");
    return;
  }
  const double first_page_ms = RunToFirstPaint(Pages().Folder(), &resident_at_paint);
  for (auto _ : state) benchmark::DoNotOptimize(RunToFirstPaint(Pages().Folder()));
  state.counters["cold_toolkit_ms"] = toolkit_ms;
  state.counters["cold_first_page_ms"] = first_page_ms;
  state.counters["page_pixels_MiB"] = kWidth * 3.0 * kHeight / (1 << 20);
  state.counters["page_resident_MiB"] = (resident_at_paint - resident_base) / 1024.0;
}
BENCHMARK(ViewerStartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(20);

// Runs the viewer headless with `driver` as the user.
void RunHeadless(const std::function<void(CViewerDlg&, platform::ui::headless::Session&)>& driver) {
  platform::SetThreadLocale(platform::kLangEnglishUs);
  platform::ui::headless::Session session;
  CViewerDlg viewer(Pages().Folder(), "");
  session.set_driver([&](platform::ui::Dialog&) { driver(viewer, session); });
  viewer.DoModal();
}

void ViewerPageTurn(benchmark::State& state) {
  RunHeadless([&](CViewerDlg& viewer, platform::ui::headless::Session& session) {
    bool forward = true;
    for (auto _ : state) {
      viewer.ClickButton(forward ? kIdNextButton : kIdPrevButton);
      session.Paint(viewer);
      session.ClearRecords();
      forward = !forward;
    }
    state.counters["conversions_per_turn"] =
        benchmark::Counter(viewer.Image().ConversionCount(), benchmark::Counter::kAvgIterations);
  });
}
BENCHMARK(ViewerPageTurn)->Unit(benchmark::kMillisecond);

void ViewerRepaint(benchmark::State& state) {
  RunHeadless([&](CViewerDlg& viewer, platform::ui::headless::Session& session) {
    for (auto _ : state) {
      session.Paint(viewer);
      session.ClearRecords();
    }
    state.counters["conversions"] = viewer.Image().ConversionCount();
  });
}
BENCHMARK(ViewerRepaint)->Unit(benchmark::kMicrosecond);

// Starting the page list and walking it to its end: a folder of 3 pages alone, and the same
// 3 pages among 10,000 other files (range(0) is the count of other files).
void ViewerPageListWalk(benchmark::State& state) {
  bmp_test::TempFolder folder("viewer-bench-list-" + std::to_string(state.range(0)));
  for (const char* name : {"a.bmp", "m.bmp", "z.bmp"})
    bmp_test::WriteFile(folder.Path() / name, {});
  for (int i = 0; i < state.range(0); ++i)
    bmp_test::WriteFile(folder.Path() / ("other" + std::to_string(i) + ".txt"), {});
  for (auto _ : state) {
    CPageList list;
    std::string path;
    list.StartPageList(folder.Folder(), path);
    while (list.GetNextPage(path)) {
    }
    benchmark::DoNotOptimize(path);
  }
}
BENCHMARK(ViewerPageListWalk)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
