// frambo-cli run in-process: the info --json layout and escaping, the files
// frames writes, what each saving command puts in its file, and the exit
// status of every failed run.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/bmp_writer.h"
#include "colour/global_palette.h"
#include "document/document.h"
#include "document/settings.h"
#include "gif_builder.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// Colours shown by any pixel of the entries, transparency aside.
std::set<uint32_t> Shown(const std::vector<Entry>& entries) {
  std::set<uint32_t> colours;
  for (const Entry& entry : entries) colours.insert(entry.colours.begin(), entry.colours.end());
  colours.erase(kTransparentPixel);
  return colours;
}

bool AllGrey(const Entry& entry) {
  for (uint32_t c : entry.colours)
    if (c != kTransparentPixel && c != (c & 0xFF) * 0x010101u) return false;
  return true;
}

// A fresh folder per test, removed afterwards; every run must leave the save
// options as they were.
class CliOutput : public testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder_); }
  void TearDown() override {
    remapBlockLimit = 0xFFFFFFFF;
    fs::remove_all(folder_);
    EXPECT_TRUE(settings.addCreditComment == 1 && settings.interlacedSave == 0)
        << "expected the save defaults restored after the run";
  }
  std::string Out(const char* name) const { return (folder_ / name).string(); }
  // Runs a command that saves input to out.gif; before_ and after_ get the
  // entries of both files.
  void Run(const std::string& input, std::vector<std::string> args) {
    ASSERT_TRUE(LoadFresh(input)) << input;
    before_ = DocumentEntries();
    args.insert(args.end(), {"-o", Out("out.gif"), "--no-credit"});
    CliResult run = RunTool(args);
    ASSERT_EQ(kExitOk, run.status) << args[0] << ": " << run.err;
    ASSERT_TRUE(LoadFresh(Out("out.gif")));
    after_ = DocumentEntries();
    ASSERT_EQ(before_.size(), after_.size()) << args[0];
  }
  const fs::path folder_ =
      ScratchPath("cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::vector<Entry> before_, after_;
};

// A run that must fail: its arguments, its exit status and how its standard
// error starts; it prints nothing and writes no file at output.
struct CliFailure {
  std::vector<std::string> args;
  int status = kExitUsage;
  std::string message = "usage:";
};

void ExpectCliFailures(const std::vector<CliFailure>& cases, const std::string& output) {
  for (const CliFailure& c : cases) {
    CliResult run = RunTool(c.args);
    std::string line;
    for (const std::string& arg : c.args) line += arg + " ";
    EXPECT_EQ(c.status, run.status) << line;
    EXPECT_EQ(0, run.err.compare(0, c.message.size(), c.message)) << line << ": expected " << c.message << "...";
    EXPECT_EQ("", run.out) << line;
    EXPECT_FALSE(fs::exists(output)) << line << ": expected no file";
  }
}

// Checks that each needle occurs in text after the one before it.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t from = 0;
  for (const std::string& needle : needles) {
    size_t at = text.find(needle, from);
    ASSERT_NE(at, std::string::npos) << "expected " << needle << " after offset " << from << " in\n"
                                     << text.substr(0, 400);
    from = at + needle.size();
  }
}

TEST(CliInfo, JsonOfBinaryCommentKeepsKeyOrderAndEscapesEveryByte) {
  CliResult run = RunTool({"info", "--json", TestDataPath("comment-binary.gif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ExpectInOrder(run.out, {"{\"screenWidth\":8,", "\"screenHeight\":8,", "\"backgroundIndex\":",
                          "\"hasGlobalPalette\":false,", "\"globalColorCount\":", "\"frameCount\":2,\"loopCount\":null,",
                          "\"entries\":[", "{\"kind\":\"comment\",\"length\":256,\"text\":\"",
                          "{\"kind\":\"image\",\"left\":0,", "\"top\":0,", "\"width\":8,", "\"height\":8,",
                          "\"colorCount\":", "\"delay\":", "\"disposal\":", "\"transparent\":false,",
                          "\"transparentIndex\":", "\"useGlobalPalette\":", "\"interlaced\":false,",
                          "\"sortFlag\":false}", "]}"});
  // The comment holds the bytes 0..255 in order.
  ExpectInOrder(run.out, {"\"text\":\"\\u0000\\u0001\\u0002", "\\u0007\\u0008\\t\\n\\u000B\\u000C\\r\\u000E",
                          "\\u001F !\\\"#$%&'()*+,-./0123", "XYZ[\\\\]^_`abc", "xyz{|}~\x7F\\u0080\\u0081",
                          "\\u00FE\\u00FF\"}"});
  for (char c : run.out) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7F)) << "byte " << (c & 0xFF);
}

TEST(CliInfo, TableShowsAnEntryALineAndCommentsUpTo60Bytes) {
  const std::string sixty(60, 'c');
  CliResult run = RunTool({"info", WriteScratchFile("table.gif", GifBuilder().Header().Screen(4, 2, 4).Comment(sixty)
      .Comment(sixty + "d").GraphicControl(2, true, 7, 3).Image(1, 0, 3, 2, {0, 1, 2, 3, 3, 3}).Trailer().bytes)});
  EXPECT_EQ("screen 4x2, background index 0, global palette no, 0 colours\n3 entries, loop count none\nentry kind     left   top "
            "width height colours delay disposal transparent global interlaced sorted\n    0 comment 60 bytes \"" +
                sixty + "\"\n    1 comment 61 bytes \"" + sixty + "\"...\n    2 image       1     0     3      2       "
                "4     7        2           3    yes         no     no\n",
            run.out);
}

TEST_F(CliOutput, FramesWritesPaddedBottomUpBmpWithTheFramePalette) {
  // width-5.gif: one 5x40 image of 8 colours, pixel (x, y) being (x + y) % 8.
  ASSERT_EQ(kExitOk, RunTool({"frames", TestDataPath("width-5.gif"), folder_.string()}).status);
  std::vector<uint8_t> bmp = FileBytes(Out("frame-000.bmp"));
  const uint32_t offBits = 14 + 40 + 1024, imageSize = 8 * 40;
  ASSERT_EQ(offBits + imageSize, bmp.size());
  const uint32_t fields[][3] = {{0, 2, 0x4D42}, {2, 4, offBits + imageSize}, {10, 4, offBits}, {14, 4, 40},
                                {18, 4, 5},     {22, 4, 40},                 {26, 2, 1},       {28, 2, 8},
                                {30, 4, 0},     {34, 4, imageSize},          {46, 4, 256}};
  for (const auto& f : fields) {
    uint32_t got = f[1] == 4 ? ReadLe32(&bmp[f[0]]) : ReadLe16(&bmp[f[0]]);
    EXPECT_EQ(f[2], got) << "header field at offset " << f[0];
  }
  std::vector<uint8_t> want;
  for (const PaletteEntry& e : doc.frames[0]->palette) want.insert(want.end(), {e.blue, e.green, e.red, 0});
  for (int y = 39; y >= 0; --y) {
    for (int x = 0; x < 5; ++x) want.push_back(static_cast<uint8_t>((x + y) % 8));
    want.insert(want.end(), 3, 0);
  }
  EXPECT_TRUE(want == std::vector<uint8_t>(bmp.begin() + 54, bmp.end()))
      << "expected the frame's palette, then the rows bottom-up and padded";

  // A frame without rows still gets a valid, empty bitmap.
  Frame empty;
  empty.width = 6;
  ASSERT_TRUE(WriteFrameBmp(empty, Out("empty.bmp").c_str()));
  bmp = FileBytes(Out("empty.bmp"));
  ASSERT_EQ(offBits, bmp.size());
  EXPECT_TRUE(ReadLe32(&bmp[2]) == offBits && ReadLe32(&bmp[22]) == 0 && ReadLe32(&bmp[34]) == 0)
      << "expected bfSize " << offBits << ", height and image size 0";
}

TEST_F(CliOutput, GrayAndReduceChangeEveryImageFrameOrOnlyEntryK) {
  // animated-red-blue.gif: four coloured frames.
  const std::string gif = TestDataPath("animated-red-blue.gif");
  const std::string local = TestDataPath("local-color-tables.gif");
  Run(gif, {"gray", gif});
  for (size_t i = 0; i < after_.size(); ++i) EXPECT_TRUE(AllGrey(after_[i])) << "gray: entry " << i;
  Run(gif, {"gray", "--frame", "2", gif});
  for (size_t i = 0; i < after_.size(); ++i)
    EXPECT_TRUE(i == 2 ? AllGrey(after_[i]) && !AllGrey(before_[i]) : after_[i].colours == before_[i].colours)
        << "gray --frame 2: entry " << i;
  Run(local, {"reduce", "2", local, "--frame", "2"});
  for (size_t i = 0; i < after_.size(); ++i)
    EXPECT_EQ(i != 2, after_[i].colours == before_[i].colours) << "reduce 2 --frame 2: entry " << i;
  // Frames of 4, 2, 16, 128, 256 and 8 colours: only those above N change.
  Run(local, {"reduce", "4", local});
  for (size_t i = 0; i < after_.size(); ++i) {
    bool few = Shown({before_[i]}).size() <= 4;
    EXPECT_TRUE(few ? after_[i].colours == before_[i].colours : Shown({after_[i]}).size() <= 4)
        << "reduce 4: entry " << i << (few ? " expected unchanged" : " expected at most 4 colours");
  }
}

// netscape-loop-3.gif loops three times: a save keeps that unless --loop
// says otherwise, and info shows the count as --loop takes it.
TEST_F(CliOutput, LoopSetsTheSavedCountAndInfoShowsIt) {
  for (const std::string loop : {"", "none", "forever", "65535"}) {
    std::vector<std::string> args = {"convert", TestDataPath("netscape-loop-3.gif"), "-o", Out("x.gif")};
    if (!loop.empty()) args.insert(args.end(), {"--loop", loop});
    ASSERT_EQ(kExitOk, RunTool(args).status) << loop;
    const std::string shown = loop.empty() ? "3" : loop, json = loop == "none" ? "null" : loop == "forever" ? "0" : shown;
    EXPECT_NE(std::string::npos, RunTool({"info", "--json", Out("x.gif")}).out.find(",\"loopCount\":" + json + ",\"entries\":[")) << loop;
    EXPECT_NE(std::string::npos, RunTool({"info", Out("x.gif")}).out.find(" entries, loop count " + shown + "\n")) << loop;
  }
}

// delays.gif has delays 0, 1, 100 and 65535; the repeated pictures of
// artificial-multiple-loop-counts.gif are merged.
TEST_F(CliOutput, DelaySpeedAndDedupeChangeTheTiming) {
  const std::string gif = TestDataPath("delays.gif");
  Run(gif, {"delay", "25", gif});
  for (const Entry& entry : after_) EXPECT_EQ(25, entry.delay);
  Run(gif, {"speed", "2", gif});
  EXPECT_TRUE(after_[0].delay == 0 && after_[1].delay == 1 && after_[2].delay == 50 && after_[3].delay == 32768);
  const CliResult run =
      RunTool({"dedupe", TestDataPath("artificial-multiple-loop-counts.gif"), "-o", Out("x.gif"), "--no-credit"});
  EXPECT_EQ("3 duplicate frames removed\n", run.out) << run.err;
}

TEST_F(CliOutput, FailedRunsExitWithTheirStatusAndWriteNothing) {
  const std::string gif = TestDataPath("gif87a.gif"), red = TestDataPath("animated-red-blue.gif");
  const std::string comments = TestDataPath("comments-between-frames.gif");  // entry 0 is a comment
  const std::string bad = TestDataPath("malformed-not-a-gif.gif"), missing = TestDataPath("no-such-file.gif");
  const std::string insideAFile = (fs::path(gif) / "out").string(), x = Out("x.gif"), dir = folder_.string();
  // A 65535 x 65535 screen would need a bitmap beyond the format's 4 GiB.
  const std::string huge = WriteScratchFile(
      "huge-screen.gif", GifBuilder().Header().Screen(65535, 65535, 2).Image(0, 0, 1, 1, {1}).Trailer().bytes);
  const int read = kExitFileError, write = kExitFileError;
  const char* unreadable = "Error in reading file";
  const char* unwritable = "Error in writing file";
  std::vector<CliFailure> cases = {
      {{}}, {{"explode", gif}}, {{"info"}}, {{"info", "--yaml", gif}}, {{"info", gif, gif}},
      {{"info", missing}, read, unreadable},
      {{"frames", gif}}, {{"frames", TestDataPath("malformed-empty.gif"), dir}, read, unreadable},
      {{"frames", gif, insideAFile}, write, unwritable},
      {{"render", gif}}, {{"render", missing, dir}, read, unreadable}, {{"render", gif, insideAFile}, write, unwritable},
      {{"render", huge, dir}, write, unwritable},
      // No -o, no input, -o without a name, two of them, an option convert does not take.
      {{"convert", gif}}, {{"convert", "-o", x}}, {{"convert", gif, "-o"}}, {{"convert", gif, "-o", x, "-o", x}},
      {{"convert", gif, "-o", x, "--frame", "1"}},
      {{"convert", gif, bad, "-o", x}, read, unreadable},  // stops before anything is written
      {{"convert", gif, "-o", Out("missing-folder/x.gif")}, write, unwritable},
      {{"optimize", gif}}, {{"optimize", gif, gif, "-o", x}}, {{"unoptimize", "-o", x}},
      {{"unoptimize", gif, "-o", x, "--frame", "1"}}, {{"optimize", bad, "-o", x}, read, unreadable},
      {{"unoptimize", bad, "-o", x}, read, unreadable},
      {{"colors", "16", gif, "-o", x, "--interlaced"}}, {{"reduce", "3", red, "-o", x}},
      {{"reduce", "512", red, "-o", x}}, {{"gray", red, "-o", x, "--frame"}},
      {{"gray", red, "-o", x, "--frame", "1", "--frame", "2"}},
      {{"gray", comments, "-o", x, "--frame", "0"}, kExitUsage, comments},
      {{"reduce", "2", red, "-o", x, "--frame", "4"}, kExitUsage, red},
      {{"palette-save", gif, "1", x}, kExitUsage, gif}, {{"palette-save", red, "-1", x}},
      {{"palette-save", comments, "0", x}, kExitUsage, comments},
      {{"palette-save", red, "0", Out("missing-folder/x.pal")}, write, unwritable},
      {{"palette-load", red, "0", TestDataPath("palette-2.pal")}},  // no -o
      {{"palette-load", red, "0", TestDataPath("malformed-empty.pal"), "-o", x}, read, unreadable},
      {{"convert", gif, "-o", x, "--loop"}}, {{"optimize", gif, "-o", x, "--loop", "65536"}},
      {{"colors", "4", gif, "-o", x, "--loop", "always"}}, {{"gray", red, "-o", x, "--loop", "1", "--loop", "1"}},
      {{"delay", "65536", gif, "-o", x}}, {{"speed", "0", gif, "-o", x}}, {{"speed", "fast", gif, "-o", x}},
      {{"dedupe", gif, red, "-o", x}},
  };
  for (const char* count : {"1", "257", "-4", "16x", "99999999999999999999"})
    cases.push_back({{"colors", count, gif, "-o", x}});
  ExpectCliFailures(cases, x);
  remapBlockLimit = 1;  // no frame's pixels fit in memory
  ExpectCliFailures({{{"gray", red, "-o", x}, read, "Not enough memory"},
                     {{"reduce", "2", red, "-o", x}, read, "Not enough memory"}},
                    x);
  remapBlockLimit = 0xFFFFFFFF;
  CliResult run = RunTool({"colors", "2", gif, "-o", x});
  EXPECT_EQ(run.status, kExitOk) << "colors 2: expected the smallest count taken, got " << run.err;
  EXPECT_EQ(kExitOk, RunTool({"convert", "--interlaced", gif, red, "-o", x}).status) << "options before the files";
}

}  // namespace
