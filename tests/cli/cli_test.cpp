// frambo-cli run in-process: the info --json layout and escaping, the BMP
// files of frames, what convert and colors save, and the exit statuses of
// failed reads, failed writes and usage errors.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/bmp_writer.h"
#include "document/document.h"
#include "document/settings.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::vector<uint8_t> bytes = FileBytes(path.string());
  return std::string(bytes.begin(), bytes.end());
}

uint32_t U32(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint32_t U16(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}

// A fresh folder in the tests' scratch folder, removed afterwards; every run
// must leave the save options as they were.
class CliOutput : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = ScratchPath("cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    EXPECT_EQ(settings.addCreditComment, 1) << "expected the default restored after the run";
    EXPECT_EQ(settings.interlacedSave, 0) << "expected the default restored after the run";
  }
  std::string Out(const char* name) {
    fs::create_directories(folder_);
    return (folder_ / name).string();
  }
  fs::path folder_;
};

// Checks that each needle occurs in text after the one before it.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t from = 0;
  for (const std::string& needle : needles) {
    size_t at = text.find(needle, from);
    ASSERT_NE(at, std::string::npos) << "expected " << needle << " after offset " << from << ", got none in\n"
                                     << text.substr(0, 400);
    from = at + needle.size();
  }
}

TEST(CliInfo, JsonOfBinaryCommentKeepsKeyOrderAndEscapesEveryByte) {
  CliResult run = RunTool({"info", "--json", TestDataPath("comment-binary.gif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ExpectInOrder(run.out, {"{\"screenWidth\":8,", "\"screenHeight\":8,", "\"backgroundIndex\":",
                          "\"hasGlobalPalette\":false,", "\"globalColorCount\":", "\"frameCount\":2,",
                          "\"entries\":[", "{\"kind\":\"comment\",\"length\":256,\"text\":\"",
                          "{\"kind\":\"image\",\"left\":0,", "\"top\":0,", "\"width\":8,", "\"height\":8,",
                          "\"colorCount\":", "\"delay\":", "\"disposal\":", "\"transparent\":false,",
                          "\"transparentIndex\":", "\"useGlobalPalette\":", "\"interlaced\":false,",
                          "\"sortFlag\":false}", "]}"});
  // The comment holds the bytes 0..255 in order.
  ExpectInOrder(run.out, {"\"text\":\"\\u0000\\u0001\\u0002", "\\u0007\\u0008\\t\\n\\u000B\\u000C\\r\\u000E",
                          "\\u001F !\\\"#$%&'()*+,-./0123", "XYZ[\\\\]^_`abc", "xyz{|}~\x7F\\u0080\\u0081",
                          "\\u00FE\\u00FF\"}"});
  for (char c : run.out) {
    EXPECT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7F)) << "expected ASCII output, got byte " << (c & 0xFF);
  }
}

TEST_F(CliOutput, FramesWritesPaddedBottomUpBmpWithTheFramePalette) {
  // width-5.gif: one 5x40 image of 8 colours.
  CliResult run = RunTool({"frames", TestDataPath("width-5.gif"), folder_.string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  std::string bmp = ReadFile(folder_ / "frame-000.bmp");
  const uint32_t stride = 8, height = 40, pixels = 14 + 40 + 1024;
  ASSERT_EQ(bmp.size(), pixels + stride * height);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  const uint32_t fields[][3] = {{2, 4, pixels + stride * height},  // bfSize
                                {10, 4, pixels},                   // bfOffBits
                                {14, 4, 40}, {18, 4, 5}, {22, 4, height}, {26, 2, 1}, {28, 2, 8},
                                {30, 4, 0},  // BI_RGB
                                {34, 4, stride * height}, {46, 4, 256}};
  for (const auto& field : fields) {
    uint32_t got = field[1] == 4 ? U32(bmp, field[0]) : U16(bmp, field[0]);
    EXPECT_EQ(got, field[2]) << "header field at offset " << field[0] << ": expected " << field[2] << ", got " << got;
  }
  std::string table;
  for (const PaletteEntry& e : doc.frames[0]->palette) table += {char(e.blue), char(e.green), char(e.red), 0};
  EXPECT_TRUE(table == bmp.substr(54, 1024)) << "expected the frame's palette as the colour table, got another";
  // The first stored row is the image's bottom row; pixel (x, y) is (x + y) % 8.
  std::string rows;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < 5; ++x) rows += char((x + y) % 8);
    rows.append(3, '\0');
  }
  EXPECT_TRUE(rows == bmp.substr(pixels)) << "expected the rows bottom-up and padded, got other bytes";
}

TEST_F(CliOutput, FramesWritesCommentsAsTextBesideTheImages) {
  // comments-between-frames.gif: comment, image, comment, image, comment.
  const fs::path made = folder_ / "made" / "here";
  CliResult run = RunTool({"frames", TestDataPath("comments-between-frames.gif"), made.string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(ReadFile(made / "frame-000.txt"), "first");
  EXPECT_EQ(ReadFile(made / "frame-002.txt"), "second");
  EXPECT_EQ(ReadFile(made / "frame-004.txt"), "third");
  EXPECT_TRUE(fs::exists(made / "frame-001.bmp") && fs::exists(made / "frame-003.bmp"))
      << "expected frame-001.bmp and frame-003.bmp, got them missing";
  EXPECT_FALSE(fs::exists(made / "frame-000.bmp")) << "expected no bitmap for a comment entry";
}

TEST_F(CliOutput, ZeroHeightFrameGivesAValidEmptyBmp) {
  Frame frame;
  frame.width = 6;
  frame.height = 0;
  const std::string path = Out("empty.bmp");
  ASSERT_TRUE(WriteFrameBmp(frame, path.c_str()));
  std::string bmp = ReadFile(path);
  ASSERT_EQ(bmp.size(), 1078u);
  EXPECT_EQ(U32(bmp, 2), 1078u) << "bfSize";
  EXPECT_EQ(U32(bmp, 22), 0u) << "biHeight";
  EXPECT_EQ(U32(bmp, 34), 0u) << "biSizeImage";
}

TEST_F(CliOutput, ExitStatusSaysWhatFailedAndNothingIsWritten) {
  const std::string gif = TestDataPath("gif87a.gif");
  const std::string x = Out("x.gif");
  std::vector<CliFailure> cases = {
      {{}, kExitUsage, "usage:"},
      {{"explode", gif}, kExitUsage, "usage:"},
      {{"info"}, kExitUsage, "usage:"},
      {{"info", "--yaml", gif}, kExitUsage, "usage:"},
      {{"info", gif, gif}, kExitUsage, "usage:"},
      {{"frames", gif}, kExitUsage, "usage:"},
      {{"convert", gif}, kExitUsage, "usage:"},            // no -o
      {{"convert", "-o", x}, kExitUsage, "usage:"},        // no input
      {{"convert", gif, "-o"}, kExitUsage, "usage:"},      // -o without a name
      {{"convert", gif, "-o", x, "-o", Out("y.gif")}, kExitUsage, "usage:"},
      {{"convert", gif, "-o", x, "--frame", "1"}, kExitUsage, "usage:"},
      {{"colors", "16", gif, "-o", x, "--interlaced"}, kExitUsage, "usage:"},
      {{"info", TestDataPath("no-such-file.gif")}, kExitFileError, "Error in reading file"},
      {{"info", TestDataPath("malformed-not-a-gif.gif")}, kExitFileError, "Error in reading file"},
      {{"frames", TestDataPath("malformed-empty.gif"), folder_.string()}, kExitFileError, "Error in reading file"},
      // The output folder would have to live inside a regular file.
      {{"frames", gif, (fs::path(gif) / "out").string()}, kExitFileError, "Error in writing file"},
      // A file that cannot be read stops the run before anything is written.
      {{"convert", gif, TestDataPath("malformed-not-a-gif.gif"), "-o", x}, kExitFileError, "Error in reading file"},
      {{"convert", gif, "-o", Out("missing-folder/x.gif")}, kExitFileError, "Error in writing file"},
  };
  for (const char* count : {"1", "257", "0", "-4", "16x", "", "abc", "99999999999999999999"})
    cases.push_back({{"colors", count, gif, "-o", x}, kExitUsage, "usage:"});
  ExpectCliFailures(cases, x);
  CliResult run = RunTool({"colors", "2", gif, "-o", x});
  EXPECT_EQ(run.status, kExitOk) << "colors 2: expected the smallest count taken, got " << run.err;
}

// ---- convert and colors ----------------------------------------------------------

TEST_F(CliOutput, ConvertAppendsEachFileBehindThePrevious) {
  ASSERT_TRUE(LoadFresh(TestDataPath("muybridge.gif")));
  std::vector<Entry> expected = DocumentEntries();
  ASSERT_TRUE(LoadFresh(TestDataPath("local-color-tables.gif")));
  std::vector<Entry> second = DocumentEntries();
  expected.insert(expected.end(), second.begin(), second.end());

  CliResult run = RunTool({"convert", TestDataPath("muybridge.gif"), TestDataPath("local-color-tables.gif"), "-o",
                           Out("both.gif"), "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(LoadFresh(Out("both.gif")));
  std::vector<std::string> faults = EntryDifferences(expected, DocumentEntries(), kColoursOnly);
  EXPECT_TRUE(faults.empty()) << "convert of two files:\n" << Join(faults);
}

TEST_F(CliOutput, ConvertOptionsReachTheSavedFile) {
  CliResult run = RunTool({"convert", "--interlaced", "-o", Out("i.gif"), TestDataPath("treescap.gif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(LoadFresh(Out("i.gif")));
  std::vector<Entry> entries = DocumentEntries();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_TRUE(IsCredit(entries[0])) << "expected the credit as entry 0 by default";
  for (size_t i = 1; i < entries.size(); ++i)
    EXPECT_TRUE(entries[i].interlaced) << "entry " << i << ": expected --interlaced to interlace, got plain";
}

// A colour, or transparency, shown by any pixel of any image entry.
std::set<uint32_t> ColoursShown(const std::vector<Entry>& entries) {
  std::set<uint32_t> colours;
  for (const Entry& entry : entries) colours.insert(entry.colours.begin(), entry.colours.end());
  colours.erase(kTransparentPixel);
  return colours;
}

TEST_F(CliOutput, ColorsPutsEveryFrameOnOneGlobalPaletteOfAtMostN) {
  ASSERT_TRUE(LoadFresh(TestDataPath("local-color-tables.gif")));
  std::vector<Entry> source = DocumentEntries();
  ASSERT_GT(ColoursShown(source).size(), 4u);

  CliResult run = RunTool({"colors", "4", TestDataPath("local-color-tables.gif"), "-o", Out("c.gif"), "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(LoadFresh(Out("c.gif")));
  std::vector<Entry> reduced = DocumentEntries();
  ASSERT_EQ(reduced.size(), source.size());
  for (size_t i = 0; i < reduced.size(); ++i) {
    if (reduced[i].comment) continue;
    EXPECT_TRUE(reduced[i].useGlobalPalette) << "entry " << i << ": expected the global palette, got a local one";
    EXPECT_TRUE(reduced[i].left == source[i].left && reduced[i].width == source[i].width)
        << "entry " << i << ": expected the rectangle kept";
  }
  size_t shown = ColoursShown(reduced).size();
  EXPECT_TRUE(shown >= 2 && shown <= 4) << "expected 2 to 4 colours, got " << shown;
}

TEST_F(CliOutput, ColorsWithRoomForEveryColourKeepsThemAll) {
  // Three local palettes, few colours between them.
  ASSERT_TRUE(LoadFresh(TestDataPath("no-global-table.gif")));
  std::vector<Entry> source = DocumentEntries();
  ASSERT_LE(ColoursShown(source).size(), 32u);
  CliResult run = RunTool({"colors", "32", TestDataPath("no-global-table.gif"), "-o", Out("all.gif"), "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(LoadFresh(Out("all.gif")));
  std::vector<std::string> faults = EntryDifferences(source, DocumentEntries(), kColoursOnly);
  EXPECT_TRUE(faults.empty()) << "colors 32 changed the picture:\n" << Join(faults);
}

}  // namespace

// ---- palette files ---------------------------------------------------------------

namespace {

TEST_F(CliOutput, APaletteSavedAndLoadedBackKeepsEveryColour) {
  const std::string gif = TestDataPath("hippopotamus-regular.gif");
  ASSERT_TRUE(LoadFresh(gif));
  std::vector<Entry> before = DocumentEntries();
  const int colorCount = doc.frames[0]->colorCount;

  CliResult saved = RunTool({"palette-save", gif, "0", Out("frame.pal")});
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  EXPECT_EQ(fs::file_size(Out("frame.pal")), static_cast<uintmax_t>(4 * colorCount + 28))
      << "expected the RIFF layout of " << colorCount << " colours";

  CliResult loaded = RunTool({"palette-load", gif, "0", Out("frame.pal"), "-o", Out("back.gif"), "--no-credit"});
  ASSERT_EQ(loaded.status, kExitOk) << loaded.err;
  ASSERT_TRUE(LoadFresh(Out("back.gif")));
  std::vector<Entry> after = DocumentEntries();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[0].colours, before[0].colours) << "a frame given its own palette shows the same colours";

  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"palette-save", gif, "1", Out("x.pal")}, kExitUsage},   // no such entry
      {{"palette-save", gif, "-1", Out("x.pal")}, kExitUsage},
      {{"palette-save", TestDataPath("comment-short.gif"), "0", Out("x.pal")}, kExitUsage},  // a comment
      {{"palette-load", gif, "0", Out("frame.pal")}, kExitUsage},  // no -o
      {{"palette-load", gif, "0", TestDataPath("malformed-empty.pal"), "-o", Out("x.gif")}, kExitFileError},
  };
  for (const Case& c : cases) {
    CliResult run = RunTool(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[2] << ": expected exit " << c.status << ", got "
                                    << run.status;
  }
  EXPECT_FALSE(fs::exists(Out("x.gif"))) << "a refused palette writes no animation";
}

}  // namespace
