// The viewer's speed and memory on 1920 x 1080 pages (24-bit BMP and baseline JPEG) and on a
// 6000 x 4000 JPEG page that must be shrunk to fit the screen.
//
//   ViewerStartToFirstPaint  (needs an X display, e.g. under Xvfb): constructs the viewer,
//       runs it with the real window until the first page has been painted, then ends it.
//       Counters: the cold start split in two (a window without a page, which opens the
//       display and the fonts; then the process's first page) and the resident memory that
//       first page adds (its pixels and their converted copy for the screen).
//   ViewerPageTurn           (headless): a click on "Next >" or "< Previous" and the paint
//       that follows: read the file, lay out, convert and draw the page once. Arg 0: BMP
//       pages; arg 1: JPEG pages (the decode included).
//   ViewerLargeJpegPage      (headless, a 1600 x 1200 screen): from the viewer's start to the
//       first paint of a 6000 x 4000 4:2:0 JPEG page: decoded at 1/2 (3000 x 2000, the largest
//       reduction that still covers the shown size), shrunk the rest of the way by area
//       averaging. Counters: the resident memory the page adds, against its decoded
//       pixels plus the shrunk copy.
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
#include "tests/jpeg/support/peer_codec.h"
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

// A page folder of JPEG pages of one size, 4:2:0 at quality 90.
bmp_test::TempFolder JpegPages(const std::string& name, std::uint32_t width, std::uint32_t height,
                               int count) {
  bmp_test::TempFolder folder(name);
  const auto bytes =
      setuvia::jpegtest::EncodeTestImage(width, height, setuvia::jpegtest::PeerSampling::k420, 90);
  for (int i = 1; i <= count; ++i)
    bmp_test::WriteFile(folder.Path() / (std::to_string(i) + ".jpg"), bytes);
  return folder;
}

const bmp_test::TempFolder& FullHdJpegPages() {
  static const bmp_test::TempFolder folder = JpegPages("viewer-bench-jpeg", kWidth, kHeight, 3);
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

// Runs the viewer headless over `folder` with `driver` as the user.
void RunHeadless(const std::function<void(CViewerDlg&, platform::ui::headless::Session&)>& driver,
                 const bmp_test::TempFolder& folder = Pages()) {
  platform::SetThreadLocale(platform::kLangEnglishUs);
  platform::ui::headless::Session session;
  CViewerDlg viewer(folder.Folder(), "");
  session.set_driver([&](platform::ui::Dialog&) { driver(viewer, session); });
  viewer.DoModal();
}

void ViewerPageTurn(benchmark::State& state) {
  const bmp_test::TempFolder& folder = state.range(0) == 0 ? Pages() : FullHdJpegPages();
  RunHeadless(
      [&](CViewerDlg& viewer, platform::ui::headless::Session& session) {
        bool forward = true;
        for (auto _ : state) {
          viewer.ClickButton(forward ? kIdNextButton : kIdPrevButton);
          session.Paint(viewer);
          session.ClearRecords();
          forward = !forward;
        }
        state.counters["conversions_per_turn"] = benchmark::Counter(
            viewer.Image().ConversionCount(), benchmark::Counter::kAvgIterations);
      },
      folder);
}
BENCHMARK(ViewerPageTurn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Milliseconds from the viewer's start to its first paint on a 1600 x 1200 screen, and the
// resident memory at that paint.
double LargePageToFirstPaint(const bmp_test::TempFolder& folder, long& resident_kib_at_paint) {
  platform::ui::headless::Session session;
  session.set_screen({{0, 0, 1600, 1200}, {0, 0, 1600, 1200}});
  const auto start = std::chrono::steady_clock::now();
  CViewerDlg viewer(folder.Folder(), "");
  session.set_driver([&](platform::ui::Dialog&) {
    session.Paint(viewer);
    resident_kib_at_paint = ResidentKiB();
  });
  viewer.DoModal();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void ViewerLargeJpegPage(benchmark::State& state) {
  constexpr int kLargeWidth = 6000;
  constexpr int kLargeHeight = 4000;
  platform::SetThreadLocale(platform::kLangEnglishUs);
  const bmp_test::TempFolder folder = JpegPages("viewer-bench-large", kLargeWidth, kLargeHeight, 1);
  const long resident_before = ResidentKiB();
  long resident_at_paint = 0;
  const double first_ms = LargePageToFirstPaint(folder, resident_at_paint);
  for (auto _ : state) {
    long ignored = 0;
    benchmark::DoNotOptimize(LargePageToFirstPaint(folder, ignored));
  }
  // Shown in 1600 x 1120 (80 pixels for the buttons): 1600 x 1066, from a half-size decode.
  const double mib = 1 << 20;
  state.counters["first_page_ms"] = first_ms;
  state.counters["page_resident_MiB"] = (resident_at_paint - resident_before) / 1024.0;
  state.counters["pixels_plus_copy_MiB"] =
      (kLargeWidth / 2 * 3.0 * kLargeHeight / 2 + 1600 * 3.0 * 1066) / mib;
}
BENCHMARK(ViewerLargeJpegPage)->Unit(benchmark::kMillisecond)->Iterations(5);

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
