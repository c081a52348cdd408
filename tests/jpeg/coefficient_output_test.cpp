// Coefficient reads against libjpeg's jpeg_read_coefficients (test-only oracle): over the
// corpus, sequential and progressive, every block of every component holds exactly the
// quantised coefficients libjpeg decodes; a frame component without a plane is refused.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using namespace setuvia::jpegtest;
using Bytes = std::vector<uint8_t>;

// The oracle's blocks of one component, natural order, block rows of width_in_blocks.
struct OracleComponent {
  int h, v;
  uint32_t blocks_across, blocks_down;
  std::vector<int16_t> blocks;
};

struct Oracle {
  bool clean = false;  // decoded without error or warning
  int h_max = 1, v_max = 1;
  uint32_t width = 0, height = 0;
  std::vector<OracleComponent> components;
};

struct ErrorExit {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

Oracle ReadWithLibjpeg(const Bytes& jpeg) {
  Oracle oracle;
  jpeg_decompress_struct cinfo;
  ErrorExit error;
  cinfo.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<ErrorExit*>(c->err)->jump, 1);
  };
  error.manager.output_message = [](j_common_ptr) {};
  jpeg_create_decompress(&cinfo);
  if (setjmp(error.jump) == 0) {
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
    oracle.h_max = cinfo.max_h_samp_factor, oracle.v_max = cinfo.max_v_samp_factor;
    oracle.width = cinfo.image_width, oracle.height = cinfo.image_height;
    for (int c = 0; c < cinfo.num_components; ++c) {
      const jpeg_component_info& info = cinfo.comp_info[c];
      OracleComponent component{
          info.h_samp_factor, info.v_samp_factor, info.width_in_blocks, info.height_in_blocks, {}};
      for (JDIMENSION by = 0; by < info.height_in_blocks; ++by) {
        JBLOCKARRAY row = cinfo.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&cinfo),
                                                        arrays[c], by, 1, FALSE);
        for (JDIMENSION bx = 0; bx < info.width_in_blocks; ++bx)
          component.blocks.insert(component.blocks.end(), row[0][bx], row[0][bx] + 64);
      }
      oracle.components.push_back(std::move(component));
    }
    jpeg_finish_decompress(&cinfo);
    oracle.clean = error.manager.num_warnings == 0;
  }
  jpeg_destroy_decompress(&cinfo);
  return oracle;
}

// Our coefficient read into planes laid out as jpeg_codec.h says; compares every block.
void ExpectCoefficientsOfOracle(const Bytes& jpeg, const std::string& name) {
  const Oracle oracle = ReadWithLibjpeg(jpeg);
  if (!oracle.clean || oracle.components.size() > 4) return;
  const uint32_t mcus_across = (oracle.width + 8 * oracle.h_max - 1) / (8 * oracle.h_max);
  const uint32_t mcus_down = (oracle.height + 8 * oracle.v_max - 1) / (8 * oracle.v_max);
  std::vector<std::vector<int16_t>> planes;
  JpegRawCoefficients raw{};
  for (size_t c = 0; c < oracle.components.size(); ++c) {
    const OracleComponent& o = oracle.components[c];
    planes.emplace_back(size_t{mcus_across} * o.h * 8 * mcus_down * o.v * 8 + 64, int16_t{0x5A5A});
    raw.planes[c] = planes.back().data();
  }
  JPEG_PROPERTIES p;
  ASSERT_EQ(OpenRecord(jpeg, p), 0);
  p.state.raw_coefficients = &raw;
  const int32_t status = JpegRead(&p, READ_IMAGE_BUFFER);
  JpegFree(&p);
  // A file this codec refuses is refused alike whatever the read delivers.
  if (status != JPEG_SUCCESS) {
    const CodecRun run = DecodeWithCodec(jpeg, ColorChoice::kAsProgram).run;
    EXPECT_EQ(status, run.params_status != 0 ? run.params_status : run.image_status) << name;
    return;
  }
  for (size_t c = 0; c < oracle.components.size(); ++c) {
    const OracleComponent& o = oracle.components[c];
    const size_t stride = size_t{mcus_across} * o.h * 8;
    EXPECT_EQ(planes[c].back(), 0x5A5A) << name << " writes past plane " << c;
    for (uint32_t by = 0; by < o.blocks_down; ++by)
      for (uint32_t bx = 0; bx < o.blocks_across; ++bx)
        for (int k = 0; k < 64; ++k) {
          const int16_t ours = planes[c][(by * 8 + k / 8) * stride + bx * 8 + k % 8];
          const int16_t theirs = o.blocks[(size_t{by} * o.blocks_across + bx) * 64 + k];
          ASSERT_EQ(ours, theirs) << name << " component " << c << " block " << bx << "," << by
                                  << " coefficient " << k;
        }
  }
}

class CoefficientCorpus : public testing::TestWithParam<std::string> {};

TEST_P(CoefficientCorpus, CoefficientsEqualThoseLibjpegDecodes) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "corpus");
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!(entry->IsSequential() || entry->IsProgressive()) || entry->Pixels() > (4u << 20))
      continue;
    ExpectCoefficientsOfOracle(ReadFileBytes(SharedDir() / "corpus" / entry->path), entry->path);
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, CoefficientCorpus, testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

TEST(CoefficientOutput, AFrameComponentWithoutAPlaneIsRefused) {
  const Bytes jpeg = EncodeTestImage(32, 16, PeerSampling::k420, 90);
  std::vector<int16_t> plane(32 * 16);
  JpegRawCoefficients raw{0, {plane.data(), plane.data(), nullptr, nullptr}};
  JPEG_PROPERTIES p;
  ASSERT_EQ(OpenRecord(jpeg, p), 0);
  p.state.raw_coefficients = &raw;
  EXPECT_EQ(JpegRead(&p, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  JpegFree(&p);
}

// A second frame header of another size (a fuzzer found one 239 high behind a 24 x 16
// frame) would not fit the planes laid out for the first.
TEST(CoefficientOutput, AFrameOfAnotherShapeLaterInTheStreamIsRefused) {
  const Bytes jpeg = ReadFileBytes(std::string(SETUVIA_SOURCE_DIR) +
                                   "/fuzz/corpus/image/regression_coefficients_second_frame.jpg");
  ASSERT_FALSE(jpeg.empty());
  std::vector<int16_t> y(32 * 16), c(16 * 8);  // 24 x 16 at 2x2, 1x1, 1x1
  JpegRawCoefficients raw{0, {y.data(), c.data(), c.data(), nullptr}};
  JPEG_PROPERTIES p;
  ASSERT_EQ(OpenRecord(jpeg, p), 0);
  ASSERT_EQ(JpegRead(&p, READ_PARAMS_BUFFER), 0);
  ASSERT_EQ(p.jpeg_height, 16u);
  p.state.raw_coefficients = &raw;
  EXPECT_EQ(JpegRead(&p, READ_IMAGE_BUFFER), JPEG_ERR_MULTIPLE_FRAMES);
  JpegFree(&p);
}

}  // namespace
