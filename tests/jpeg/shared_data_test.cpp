// The shared data the corpus tests read. Those tests are listed per corpus source when they
// are built, so when the data is moved away later they find nothing to run; this test, always
// listed, says so: a failure in CI, a skip with a message elsewhere.
#include <gtest/gtest.h>

#include "tests/jpeg/support/corpus.h"
#include "tests/jpeg/support/corpus_test_env.h"

namespace setuvia::jpegtest {
namespace {

TEST(SharedData, TheCorpusAndTheHostileFilesArePresent) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  SETUVIA_NEED_SHARED_DATA(!ListFiles(SharedDir() / "hostile").empty(),
                           "hostile files " << SharedDir() / "hostile");
}

}  // namespace
}  // namespace setuvia::jpegtest
