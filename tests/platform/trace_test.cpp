// The trace routine: formatting, capture, and silence unless SETUVIA_TRACE=1.
#include "platform/trace.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

namespace {

class Trace : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::SetTraceCapture({});
    ::unsetenv("SETUVIA_TRACE");
  }
};

TEST_F(Trace, CaptureReceivesTheFormattedTextWithItsLineFeed) {
  std::vector<std::string> lines;
  platform::SetTraceCapture([&](const std::string& line) { lines.push_back(line); });
  platform::Trace("LangID = 0x%04x.\n", 0x407);
  platform::Trace("Command line = %s.\n", "");
  EXPECT_EQ(lines, (std::vector<std::string>{"LangID = 0x0407.\n", "Command line = .\n"}));
}

TEST_F(Trace, FormatsLongLinesWhole) {
  std::string line;
  platform::SetTraceCapture([&](const std::string& l) { line = l; });
  const std::string path(10000, 'p');
  platform::Trace("MakePageDirString: PageRoot = %s.\n", path.c_str());
  EXPECT_EQ(line, "MakePageDirString: PageRoot = " + path + ".\n");
}

TEST_F(Trace, IsSilentUnlessEnabled) {
  ::unsetenv("SETUVIA_TRACE");
  testing::internal::CaptureStderr();
  platform::Trace("hidden %d\n", 1);
  ::setenv("SETUVIA_TRACE", "yes", 1);
  platform::Trace("hidden %d\n", 2);
  ::setenv("SETUVIA_TRACE", "1", 1);
  platform::Trace("shown %d\n", 3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown 3\n");
}

}  // namespace
