// The option scanner on real command-line tails and on adversarial ones.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/trace.h"

namespace {

struct Scan {
  bool found;
  std::string value;
  std::string tail;
};

Scan Scanned(std::string tail, const std::string& option) {
  std::string value = "stale";
  const bool found = app::ParseOptionValue(tail, option, value);
  return {found, value, tail};
}

TEST(CommandLineTail, JoinsArgumentsWithSingleSpaces) {
  const char* argv[] = {"/opt/setuvia", "-root_dir=/media/", "two words", ""};
  EXPECT_EQ(app::CommandLineTail(4, argv), "-root_dir=/media/ two words ");
  EXPECT_EQ(app::CommandLineTail(1, argv), "");
}

TEST(ParseOptionValue, TakesBothOptionsOutOfATypicalTail) {
  std::string tail = "-root_dir=/srv/Setup/ -lang_id=0x0407";
  std::string root, lang;
  ASSERT_TRUE(app::ParseOptionValue(tail, "root_dir", root));
  ASSERT_TRUE(app::ParseOptionValue(tail, "lang_id", lang));
  EXPECT_EQ(root, "/srv/Setup/");
  EXPECT_EQ(lang, "0x0407");
  EXPECT_EQ(tail, "");
}

TEST(ParseOptionValue, AcceptsTheSlashSwitchAndKeepsTheValueAsWritten) {
  EXPECT_EQ(Scanned("/lang_id=0X0411", "lang_id").value, "0X0411");
  const Scan no_separator = Scanned("-root_dir=/srv/Setup", "root_dir");
  EXPECT_EQ(no_separator.value, "/srv/Setup");
  EXPECT_EQ(Scanned("-root_dir=\"/a b\"", "root_dir").value, "\"/a");
  EXPECT_EQ(Scanned("-root_dir=a\tb", "root_dir").value, "a\tb");
}

TEST(ParseOptionValue, EndsTheValueAtTheFirstSpace) {
  const Scan scan = Scanned("-root_dir=/My Pages/", "root_dir");
  EXPECT_EQ(scan.value, "/My");
  EXPECT_EQ(scan.tail, "Pages/");
}

TEST(ParseOptionValue, MatchesNamesCaseSensitively) {
  const Scan scan = Scanned("-ROOT_DIR=/x/", "root_dir");
  EXPECT_FALSE(scan.found);
  EXPECT_EQ(scan.value, "");
  EXPECT_EQ(scan.tail, "-ROOT_DIR=/x/");
}

TEST(ParseOptionValue, ALongerNameMatchesWithAnEmptyValueAndLeavesTheRest) {
  const Scan scan = Scanned("-root_dirx=/x/", "root_dir");
  EXPECT_TRUE(scan.found);
  EXPECT_EQ(scan.value, "");
  EXPECT_EQ(scan.tail, "x=/x/");
}

TEST(ParseOptionValue, TheFirstOccurrenceWinsAndLaterOnesStay) {
  const Scan scan = Scanned("-lang_id=0x0411 -lang_id=0x0407", "lang_id");
  EXPECT_EQ(scan.value, "0x0411");
  EXPECT_EQ(scan.tail, "-lang_id=0x0407");
}

TEST(ParseOptionValue, AnEmptyValueAtTheEndCutsTheTailAtTheSwitch) {
  const Scan scan = Scanned("keep -root_dir=", "root_dir");
  EXPECT_TRUE(scan.found);
  EXPECT_EQ(scan.value, "");
  EXPECT_EQ(scan.tail, "keep ");
}

TEST(ParseOptionValue, WithoutEqualsRemovesOnlySwitchAndName) {
  EXPECT_EQ(Scanned("a -lang_id b", "lang_id").tail, "a  b");
  EXPECT_EQ(Scanned("a -lang_id", "lang_id").tail, "a ");
}

TEST(ParseOptionValue, MatchesInsideWordsAndOtherValues) {
  const Scan scan = Scanned("x-lang_id=1", "lang_id");
  EXPECT_TRUE(scan.found);
  EXPECT_EQ(scan.tail, "x");
  // Taken out with the root folder's value, so never read as lang_id.
  std::string tail = "-root_dir=/a-lang_id=0x0411/ rest";
  std::string value;
  ASSERT_TRUE(app::ParseOptionValue(tail, "root_dir", value));
  EXPECT_FALSE(app::ParseOptionValue(tail, "lang_id", value));
  EXPECT_EQ(tail, "rest");
}

TEST(ParseOptionValue, NeverOverrunsOnShortOrEmptyTails) {
  for (const char* tail : {"", "-", "/", "-root_di", "-root_dir", "-root_dir=", "==", " - / "}) {
    const Scan scan = Scanned(tail, "root_dir");
    EXPECT_EQ(scan.found, std::string(tail).starts_with("-root_dir")) << tail;
    EXPECT_LE(scan.tail.size(), std::string(tail).size());
  }
}

TEST(ParseOptionValue, HandlesAVeryLongTail) {
  const std::string long_value(100000, 'v');
  const Scan scan =
      Scanned(std::string(50000, ' ') + "-root_dir=" + long_value + " end", "root_dir");
  EXPECT_EQ(scan.value, long_value);
  EXPECT_EQ(scan.tail, std::string(50000, ' ') + "end");
}

TEST(ParseOptionValue, TracesTheValueAndTheRemainder) {
  std::vector<std::string> lines;
  platform::SetTraceCapture([&](const std::string& line) { lines.push_back(line); });
  Scanned("-root_dir=/m/ -lang_id=0x0407", "root_dir");
  Scanned("a -lang_id b", "lang_id");
  Scanned("none", "lang_id");
  platform::SetTraceCapture({});
  EXPECT_EQ(lines, (std::vector<std::string>{"ParseOptionValue: root_dir = /m/.\n",
                                             "ParseOptionValue: remain string -lang_id=0x0407.\n",
                                             "ParseOptionValue: remain string  b.\n"}));
}

}  // namespace
