// What the corpus tests share: where the shared data lies, the manifest read once, one test
// case per corpus source, and whether our codec decodes images yet.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/jpeg/support/corpus.h"

namespace setuvia::jpegtest {

std::filesystem::path SharedDir();  // from SETUVIA_SHARED_DIR, fixed at build time
const std::vector<CorpusEntry>& Manifest();

// Test parameters: the corpus sources, or one placeholder when the corpus is absent.
std::vector<std::string> SourceParams();
std::vector<const CorpusEntry*> EntriesOf(const std::string& source);

// False while the codec's image read refuses a plain baseline picture as not supported.
bool ImageDecodingAvailable();

}  // namespace setuvia::jpegtest
