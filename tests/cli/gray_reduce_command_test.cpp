// frambo-cli gray and reduce: the saved file reloaded shows the greys and
// the colour counts asked for with transparency where it was, --frame
// limits the change to one entry, and bad arguments or a frame that cannot
// be changed end with the right exit status and no file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "colour/global_palette.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

class GrayReduceCommand : public testing::Test {
 protected:
  void TearDown() override {
    remapBlockLimit = 0xFFFFFFFF;
    fs::remove(out_);
  }
  // The input's entries, the command run on it, and the output's entries.
  void Run(std::vector<std::string> args, const std::string& input) {
    ASSERT_TRUE(LoadFresh(input));
    before_ = DocumentEntries();
    args.insert(args.end(), {input, "-o", out_, "--no-credit"});
    CliResult run = RunTool(args);
    ASSERT_EQ(kExitOk, run.status) << run.err;
    ASSERT_TRUE(LoadFresh(out_));
    after_ = DocumentEntries();
    ASSERT_EQ(before_.size(), after_.size());
  }
  std::string out_ = ScratchPath("gray-reduce.gif");
  std::vector<Entry> before_, after_;
};

std::set<uint32_t> Shown(const Entry& entry) { return std::set<uint32_t>(entry.colours.begin(), entry.colours.end()); }

// Every pixel the grey of what it showed, transparent ones still transparent.
void ExpectGrey(const Entry& before, const Entry& after, size_t entry) {
  ASSERT_EQ(before.colours.size(), after.colours.size());
  for (size_t i = 0; i < before.colours.size(); ++i) {
    uint32_t was = before.colours[i];
    if (was == kAnyColour) continue;
    uint32_t grey = ((was >> 16) + ((was >> 8) & 0xFF) + (was & 0xFF)) / 3 * 0x010101u;
    uint32_t want = was == kTransparentPixel ? kTransparentPixel : grey;
    ASSERT_EQ(want, after.colours[i]) << "entry " << entry << " pixel " << i << ": expected " << std::hex << want
                                      << ", got " << after.colours[i];
  }
}

TEST_F(GrayReduceCommand, GrayTurnsEveryImageFrameOrTheOneNamedGreyKeepingTransparency) {
  // animated-red-blue.gif: four frames, three of them transparent.
  Run({"gray"}, TestDataPath("animated-red-blue.gif"));
  for (size_t i = 0; i < after_.size(); ++i) ExpectGrey(before_[i], after_[i], i);
  Run({"gray", "--frame", "2"}, TestDataPath("animated-red-blue.gif"));
  ExpectGrey(before_[2], after_[2], 2);
  for (size_t i : {0, 1, 3})
    EXPECT_EQ(before_[i].colours, after_[i].colours) << "entry " << i << ": expected it left alone";
}

TEST_F(GrayReduceCommand, ReduceCutsFramesAboveNAndLeavesTheOthers) {
  // local-color-tables.gif: frames of 4, 2, 16, 128, 256 and 8 colours.
  Run({"reduce", "4"}, TestDataPath("local-color-tables.gif"));
  for (size_t i = 0; i < after_.size(); ++i) {
    if (before_[i].colours.empty()) continue;
    if (Shown(before_[i]).size() <= 4) {
      EXPECT_EQ(before_[i].colours, after_[i].colours) << "entry " << i << ": expected its colours kept exactly";
    } else {
      EXPECT_LE(Shown(after_[i]).size(), 4u) << "entry " << i;
    }
  }
  // Transparent frames count their transparent entry among the N.
  Run({"reduce", "2"}, TestDataPath("animated-red-blue.gif"));
  for (size_t i = 0; i < after_.size(); ++i) {
    EXPECT_LE(Shown(after_[i]).size(), 2u) << "entry " << i;
    for (size_t p = 0; p < after_[i].colours.size(); ++p)
      ASSERT_EQ(before_[i].colours[p] == kTransparentPixel, after_[i].colours[p] == kTransparentPixel)
          << "entry " << i << " pixel " << p << ": transparency changed";
  }
}

TEST_F(GrayReduceCommand, BadArgumentsAndUnchangeableFramesEndWithoutAFile) {
  const std::string gif = TestDataPath("animated-red-blue.gif");
  const std::string comments = TestDataPath("comments-between-frames.gif");  // entry 0 is a comment
  ExpectCliFailures({
      {{"reduce", "3", gif, "-o", out_}, kExitUsage, "usage:"},
      {{"reduce", "512", gif, "-o", out_}, kExitUsage, "usage:"},
      {{"reduce", "4x", gif, "-o", out_}, kExitUsage, "usage:"},
      {{"gray", gif, "-o", out_, "--frame"}, kExitUsage, "usage:"},
      {{"gray", gif, "-o", out_, "--frame", "1", "--frame", "2"}, kExitUsage, "usage:"},
      {{"gray", comments, "-o", out_, "--frame", "0"}, kExitUsage, comments},
      {{"reduce", "2", gif, "-o", out_, "--frame", "4"}, kExitUsage, gif},
      {{"gray", TestDataPath("no-such-file.gif"), "-o", out_}, kExitFileError, "Error in reading file"},
  }, out_);
  remapBlockLimit = 1;  // no frame's pixels fit
  for (const char* command : {"gray", "reduce"}) {
    std::vector<std::string> args = {command, gif, "-o", out_};
    if (strcmp(command, "reduce") == 0) args.insert(args.begin() + 1, "2");
    CliResult run = RunTool(args);
    EXPECT_EQ(kExitFileError, run.status) << command << ": expected a failure, got " << run.status << " " << run.err;
    EXPECT_FALSE(fs::exists(out_)) << command << ": expected no file";
  }
}

}  // namespace
