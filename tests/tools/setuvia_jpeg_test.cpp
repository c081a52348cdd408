// setuvia-jpeg: its command line, its file encodings, and the program itself over real and
// hostile files (a status and one line of reason, never a crash or a partial output file,
// and pixels identical to the codec's one-call decode).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/corpus.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/peer_codec.h"
#include "tests/platform/temp_folder.h"
#include "tools/setuvia_jpeg/cli_options.h"
#include "tools/setuvia_jpeg/image_files.h"

namespace {

using namespace setuvia_jpeg;
namespace fs = std::filesystem;

TEST(SetuviaJpegCommandLine, AcceptsWhatTheUsageShows) {
  ParseResult r = ParseCommandLine({"decode", "--scale", "1/4", "--region", "8,16,32,64",
                                    "--fast-dct", "--class", "0", "in.jpg", "out.PNG"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_EQ(r.options->command, Command::kDecode);
  EXPECT_EQ(r.options->scale_divisor, 4);
  EXPECT_EQ(r.options->region->x, 8);
  EXPECT_EQ(r.options->region->height, 64);
  EXPECT_TRUE(r.options->fast_dct);
  EXPECT_EQ(r.options->processor_class, 0);
  EXPECT_EQ(r.options->format, OutputFormat::kPng);
  r = ParseCommandLine({"decode", "-", "-"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_EQ(r.options->format, OutputFormat::kPnm);
  r = ParseCommandLine({"decode", "--smooth", "a.jpg", "b.ppm"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->smooth);
  r = ParseCommandLine({"info", "--tables", "a.jpg"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->tables);
}

TEST(SetuviaJpegCommandLine, NamesEachMistake) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "no command"},
      {{"convert", "a.jpg"}, "unknown command"},
      {{"info"}, "one file"},
      {{"decode", "a.jpg"}, "input and an output"},
      {{"decode", "--scale", "1/3", "a.jpg", "b.ppm"}, "--scale takes"},
      {{"decode", "--region", "0,0,0,4", "a.jpg", "b.ppm"}, "--region takes"},
      {{"decode", "--region", "1,2,3", "a.jpg", "b.ppm"}, "--region takes"},
      {{"decode", "--class", "7", "a.jpg", "b.ppm"}, "--class takes"},
      {{"decode", "--format", "gif", "a.jpg", "b"}, "--format takes"},
      {{"decode", "a.jpg", "b.jpg"}, "use --format"},
      {{"decode", "--thumbnail", "--scale", "1/2", "a.jpg", "b.ppm"}, "--thumbnail"},
      {{"decode", "--smooth", "--region", "0,0,8,8", "a.jpg", "b.ppm"}, "--smooth"},
      {{"info", "--fast-dct", "a.jpg"}, "unknown option"},
  };
  for (const auto& c : cases) {
    ParseResult r = ParseCommandLine(c.args);
    EXPECT_FALSE(r.options) << c.says;
    EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
  }
}

TEST(SetuviaJpegFiles, BmpRowsRunBottomUpInBgrPaddedToFourBytes) {
  Raster rgb{2, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
  std::vector<uint8_t> bmp = EncodeRaster(rgb, OutputFormat::kBmp);
  ASSERT_EQ(bmp.size(), 54u + 2 * 8);
  EXPECT_EQ(bmp[28], 24);  // bits per pixel
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 54, bmp.end()),
            (std::vector<uint8_t>{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));
  Raster grey{1, 1, 1, {77}};
  bmp = EncodeRaster(grey, OutputFormat::kBmp);
  ASSERT_EQ(bmp.size(), 54u + 1024 + 4);
  EXPECT_EQ(bmp[54 + 4 * 77], 77);  // the grey palette
  EXPECT_EQ(bmp[54 + 1024], 77);
}

TEST(SetuviaJpegFiles, PnmAndPngCarryTheirSignatures) {
  Raster rgb{3, 1, 3, std::vector<uint8_t>(9, 50)};
  std::vector<uint8_t> ppm = EncodeRaster(rgb, OutputFormat::kPnm);
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + 11), "P6\n3 1\n255\n");
  EXPECT_EQ(ppm.size(), 11u + 9);
  std::vector<uint8_t> png = EncodeRaster(rgb, OutputFormat::kPng);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

TEST(SetuviaJpegFiles, AFailedWriteLeavesNoFile) {
  TempFolder folder;
  std::string error;
  EXPECT_FALSE(WriteWholeFile(folder.Path() + "missing/out.ppm", {1, 2, 3}, error));
  EXPECT_NE(error.find("missing/out.ppm"), std::string::npos);
  const std::string good = folder.Path() + "out.ppm";
  ASSERT_TRUE(WriteWholeFile(good, {1, 2, 3}, error)) << error;
  EXPECT_EQ(fs::file_size(good), 3u);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

struct ToolRun {
  int exit_code = -1;
  std::string errors;
};

ToolRun RunTool(const std::string& args, const TempFolder& folder) {
  const std::string err = folder.Path() + "stderr.txt";
  const std::string command = std::string(SETUVIA_JPEG_TOOL) + " " + args + " 2>" + err;
  const int status = std::system(command.c_str());
  std::ifstream in(err);
  ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
              std::string(std::istreambuf_iterator<char>(in), {})};
  fs::remove(err);
  return run;
}

// Every shared file: exit 0 with a whole output file, or 1 with one line of reason and none.
TEST(SetuviaJpegProgram, EndsEveryCorpusAndHostileFileWithAStatus) {
  const fs::path shared = setuvia::jpegtest::SharedDir();
  std::vector<fs::path> inputs = setuvia::jpegtest::ListFiles(shared / "corpus" / "files");
  for (const fs::path& hostile : setuvia::jpegtest::ListFiles(shared / "hostile"))
    if (hostile.extension() == ".jpg") inputs.push_back(hostile);
  SETUVIA_NEED_SHARED_DATA(!inputs.empty(), "shared corpus");
  TempFolder folder;
  const std::string out = folder.Path() + "out.bmp";
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    const ToolRun run = RunTool("decode '" + input.string() + "' " + out, folder);
    ASSERT_TRUE(run.exit_code == 0 || run.exit_code == 1) << run.errors;
    EXPECT_EQ(run.exit_code == 0, fs::exists(out));
    if (run.exit_code == 1) {
      EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1);
    }
    fs::remove(out);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 0);
  }
}

TEST(SetuviaJpegProgram, WritesTheOneCallDecodesPixels) {
  const fs::path photos = setuvia::jpegtest::SharedDir() / "photos";
  const std::vector<fs::path> inputs = setuvia::jpegtest::ListFiles(photos);
  SETUVIA_NEED_SHARED_DATA(!inputs.empty(), "shared photos");
  TempFolder folder;
  const std::string out = folder.Path() + "out.ppm";
  for (const fs::path& input : inputs) {
    if (input.extension() != ".jpg") continue;
    SCOPED_TRACE(input.string());
    const std::vector<uint8_t> jpeg = setuvia::jpegtest::ReadFileBytes(input);
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0, stride = 0;
    const int32_t status = JpegDecodeMemory(jpeg.data(), static_cast<uint32_t>(jpeg.size()),
                                            COLOR_RGB, &pixels, &width, &height, &stride);
    const ToolRun run = RunTool("decode '" + input.string() + "' " + out, folder);
    ASSERT_EQ(run.exit_code, status == 0 ? 0 : 1) << run.errors;
    if (status != 0) continue;
    const std::vector<uint8_t> ppm = setuvia::jpegtest::ReadFileBytes(out);
    const size_t body = size_t{stride} * height;
    ASSERT_GE(ppm.size(), body);
    EXPECT_TRUE(std::equal(ppm.end() - static_cast<std::ptrdiff_t>(body), ppm.end(), pixels));
    std::free(pixels);
  }
}

TEST(SetuviaJpegProgram, WritesReducedReadsAtTheReducedSizeRoundedUp) {
  const std::vector<uint8_t> jpeg =
      setuvia::jpegtest::EncodeTestImage(75, 43, setuvia::jpegtest::PeerSampling::k420, 90);
  TempFolder folder;
  const std::string in = folder.Path() + "in.jpg", out = folder.Path() + "out.ppm";
  std::string error;
  ASSERT_TRUE(WriteWholeFile(in, jpeg, error)) << error;
  for (const auto& [scale, header] :
       {std::pair{"1/2", "P6\n38 22\n"}, {"1/4", "P6\n19 11\n"}, {"1/8", "P6\n10 6\n"}}) {
    const ToolRun run =
        RunTool(std::string("decode --scale ") + scale + " " + in + " " + out, folder);
    ASSERT_EQ(run.exit_code, 0) << scale << ": " << run.errors;
    const std::vector<uint8_t> ppm = setuvia::jpegtest::ReadFileBytes(out);
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + std::string(header).size()), header);
  }
}

// A thumbnail the parameters read announces (JFIF) and one it does not (JFXX palette) both
// come out at their own size.
TEST(SetuviaJpegProgram, WritesTheThumbnailAtItsOwnSize) {
  const std::vector<uint8_t> rgb = {10, 20, 30, 40, 50, 60};
  std::vector<uint8_t> jfif = {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, 2, 1};
  jfif.insert(jfif.end(), rgb.begin(), rgb.end());
  std::vector<uint8_t> palette = {'J', 'F', 'X', 'X', 0, 0x11, 2, 1};
  palette.insert(palette.end(), rgb.begin(), rgb.end());
  palette.resize(8 + 768);
  palette.insert(palette.end(), {0, 1});
  TempFolder folder;
  const std::string in = folder.Path() + "in.jpg", out = folder.Path() + "out.ppm";
  for (const auto& app0 : {jfif, palette}) {
    std::vector<uint8_t> file = {0xFF,
                                 0xD8,
                                 0xFF,
                                 0xE0,
                                 static_cast<uint8_t>((app0.size() + 2) >> 8),
                                 static_cast<uint8_t>(app0.size() + 2)};
    file.insert(file.end(), app0.begin(), app0.end());
    file.insert(file.end(), {0xFF, 0xD9});
    std::string error;
    ASSERT_TRUE(WriteWholeFile(in, file, error)) << error;
    const ToolRun run = RunTool("decode --thumbnail " + in + " " + out, folder);
    ASSERT_EQ(run.exit_code, 0) << run.errors;
    std::vector<uint8_t> expected = {'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n'};
    expected.insert(expected.end(), rgb.begin(), rgb.end());
    EXPECT_EQ(setuvia::jpegtest::ReadFileBytes(out), expected);
  }
}

}  // namespace
