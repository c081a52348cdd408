// What the corpus tests share: where the shared data lies, the manifest read once, one test
// case per corpus source, whether our codec decodes images yet, and what a test does when the
// shared data it needs is missing.
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

// True in CI (CI=true, or SETUVIA_REQUIRE_CORPUS=1), where a test that could not test must not
// pass.
bool SharedDataRequired();

}  // namespace setuvia::jpegtest

// In a test body or SetUp: when `present` is false, skips the test with a message, or in CI
// fails it.
#define SETUVIA_NEED_SHARED_DATA(present, what)                                        \
  do {                                                                                 \
    if (present) break;                                                                \
    if (::setuvia::jpegtest::SharedDataRequired()) GTEST_FAIL() << what << " missing"; \
    GTEST_SKIP() << what << " absent";                                                 \
  } while (false)
