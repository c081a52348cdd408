// The corpus tests' shared set-up; see corpus_test_env.h.
#include "tests/jpeg/support/corpus_test_env.h"

#include <cstdlib>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::jpegtest {

std::filesystem::path SharedDir() {
  return SETUVIA_SHARED_DIR;
}

const std::vector<CorpusEntry>& Manifest() {
  static const std::vector<CorpusEntry> entries = ReadManifest(SharedDir() / "corpus");
  return entries;
}

std::vector<std::string> SourceParams() {
  std::vector<std::string> sources = SourceNames(Manifest());
  if (sources.empty()) sources.push_back("no_corpus");
  return sources;
}

std::vector<const CorpusEntry*> EntriesOf(const std::string& source) {
  std::vector<const CorpusEntry*> entries;
  for (const CorpusEntry& entry : Manifest())
    if (entry.Field("source") == source) entries.push_back(&entry);
  return entries;
}

bool ImageDecodingAvailable() {
  static const bool available = [] {
    const std::vector<uint8_t> jpeg = EncodeTestImage(32, 32, PeerSampling::k420, 90);
    const CodecImage image = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
    return image.run.image_status != JPEG_ERR_NOT_SUPPORTED;
  }();
  return available;
}

bool SharedDataRequired() {
  const char* ci = std::getenv("CI");
  const char* require = std::getenv("SETUVIA_REQUIRE_CORPUS");
  return (ci != nullptr && std::string(ci) == "true") ||
         (require != nullptr && std::string(require) == "1");
}

}  // namespace setuvia::jpegtest
