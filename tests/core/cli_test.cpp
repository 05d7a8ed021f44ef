// frambo-cli run in-process: the info --json layout and escaping, the BMP
// files of frames, and the exit statuses of failed reads, failed writes and
// usage errors.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bmp_writer.h"
#include "document/document.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(FILE* file) {
  std::string text;
  rewind(file);
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  fclose(file);
  return text;
}

CliResult RunTool(std::vector<std::string> args) {
  args.insert(args.begin(), "frambo-cli");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  CliResult result;
  result.status = RunCli(static_cast<int>(args.size()), argv.data(), out, err);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

std::string ReadFile(const fs::path& path) {
  FILE* file = fopen(path.string().c_str(), "rb");
  if (file == nullptr) return std::string();
  return ReadAll(file);
}

uint32_t U32(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint32_t U16(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}

// A fresh folder in the tests' scratch folder, removed afterwards.
class CliOutput : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = ScratchPath(
        "cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

// Checks that each needle occurs in text after the one before it.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t from = 0;
  for (const std::string& needle : needles) {
    size_t at = text.find(needle, from);
    ASSERT_NE(at, std::string::npos)
        << "expected " << needle << " after offset " << from << ", got none in\n"
        << text.substr(0, 400);
    from = at + needle.size();
  }
}

TEST(CliInfo, JsonOfBinaryCommentKeepsKeyOrderAndEscapesEveryByte) {
  CliResult run = RunTool({"info", "--json", TestDataPath("comment-binary.gif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ExpectInOrder(run.out, {"{\"screenWidth\":8,",
                          "\"screenHeight\":8,",
                          "\"backgroundIndex\":",
                          "\"hasGlobalPalette\":false,",
                          "\"globalColorCount\":",
                          "\"frameCount\":2,",
                          "\"entries\":[",
                          "{\"kind\":\"comment\",\"length\":256,\"text\":\"",
                          "{\"kind\":\"image\",\"left\":0,",
                          "\"top\":0,",
                          "\"width\":8,",
                          "\"height\":8,",
                          "\"colorCount\":",
                          "\"delay\":",
                          "\"disposal\":",
                          "\"transparent\":false,",
                          "\"transparentIndex\":",
                          "\"useGlobalPalette\":",
                          "\"interlaced\":false,",
                          "\"sortFlag\":false}",
                          "]}"});
  // The comment holds the bytes 0..255 in order.
  ExpectInOrder(run.out,
                {"\"text\":\"\\u0000\\u0001\\u0002", "\\u0007\\u0008\\t\\n\\u000B\\u000C\\r\\u000E",
                 "\\u001F !\\\"#$%&'()*+,-./0123", "XYZ[\\\\]^_`abc", "xyz{|}~\x7F\\u0080\\u0081",
                 "\\u00FE\\u00FF\"}"});
  for (char c : run.out) {
    EXPECT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7F))
        << "expected ASCII output, got byte " << (c & 0xFF);
  }
}

TEST_F(CliOutput, FramesWritesPaddedBottomUpBmpWithTheFramePalette) {
  // width-5.gif: one 5x40 image, 8 colours, pixel (x, y) = (x + y) % 8.
  CliResult run = RunTool({"frames", TestDataPath("width-5.gif"), folder_.string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  std::string bmp = ReadFile(folder_ / "frame-000.bmp");
  const uint32_t stride = 8, height = 40, pixels = 14 + 40 + 1024;
  ASSERT_EQ(bmp.size(), pixels + stride * height);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  const uint32_t fields[][3] = {{2, 4, pixels + stride * height},  // bfSize
                                {10, 4, pixels},                   // bfOffBits
                                {14, 4, 40},
                                {18, 4, 5},
                                {22, 4, height},
                                {26, 2, 1},
                                {28, 2, 8},
                                {30, 4, 0},  // BI_RGB
                                {34, 4, stride * height},
                                {46, 4, 256}};
  for (const auto& field : fields) {
    uint32_t got = field[1] == 4 ? U32(bmp, field[0]) : U16(bmp, field[0]);
    EXPECT_EQ(got, field[2]) << "header field at offset " << field[0] << ": expected " << field[2]
                             << ", got " << got;
  }
  const Frame& frame = *doc.frames[0];
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& want = frame.palette[i];
    const size_t at = 54 + 4 * i;
    EXPECT_TRUE(uint8_t(bmp[at]) == want.blue && uint8_t(bmp[at + 1]) == want.green &&
                uint8_t(bmp[at + 2]) == want.red && bmp[at + 3] == 0)
        << "palette entry " << i << " differs from the frame's";
  }
  // The first stored row is the image's bottom row.
  for (uint32_t row = 0; row < height; ++row) {
    const uint32_t y = height - 1 - row;
    for (uint32_t x = 0; x < 5; ++x) {
      const int got = uint8_t(bmp[pixels + row * stride + x]);
      ASSERT_EQ(got, static_cast<int>((x + y) % 8))
          << "pixel (" << x << "," << y << "): expected " << (x + y) % 8 << ", got " << got;
    }
  }
}

TEST_F(CliOutput, FramesWritesCommentsAsTextBesideTheImages) {
  // comments-between-frames.gif: comment, image, comment, image, comment.
  CliResult run = RunTool({"frames", TestDataPath("comments-between-frames.gif"),
                           (folder_ / "made" / "here").string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const fs::path made = folder_ / "made" / "here";
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
  fs::create_directories(folder_);
  const fs::path path = folder_ / "empty.bmp";
  ASSERT_TRUE(WriteFrameBmp(frame, path.string().c_str()));
  std::string bmp = ReadFile(path);
  ASSERT_EQ(bmp.size(), 1078u);
  EXPECT_EQ(U32(bmp, 2), 1078u) << "bfSize";
  EXPECT_EQ(U32(bmp, 22), 0u) << "biHeight";
  EXPECT_EQ(U32(bmp, 34), 0u) << "biSizeImage";
}

TEST_F(CliOutput, ExitStatusSaysWhatFailed) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;  // expected at the start of stderr
  };
  const std::string gif = TestDataPath("gif87a.gif");
  const Case cases[] = {
      {{}, kExitUsage, "usage:"},
      {{"explode", gif}, kExitUsage, "usage:"},
      {{"info"}, kExitUsage, "usage:"},
      {{"info", "--yaml", gif}, kExitUsage, "usage:"},
      {{"info", gif, gif}, kExitUsage, "usage:"},
      {{"frames", gif}, kExitUsage, "usage:"},
      {{"info", TestDataPath("no-such-file.gif")}, kExitFileError, "Error in reading file"},
      {{"info", TestDataPath("malformed-not-a-gif.gif")}, kExitFileError, "Error in reading file"},
      {{"frames", TestDataPath("malformed-empty.gif"), folder_.string()},
       kExitFileError,
       "Error in reading file"},
      // The output folder would have to live inside a regular file.
      {{"frames", gif, (fs::path(gif) / "out").string()}, kExitFileError, "Error in writing file"},
  };
  for (const Case& c : cases) {
    CliResult run = RunTool(c.args);
    std::string line =
        c.args.empty() ? "(no arguments)" : c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
    EXPECT_EQ(run.status, c.status)
        << line << ": expected exit " << c.status << ", got " << run.status;
    EXPECT_EQ(run.err.compare(0, strlen(c.message), c.message), 0)
        << line << ": expected stderr to start with " << c.message << ", got " << run.err;
    if (c.status != kExitOk) {
      EXPECT_TRUE(run.out.empty()) << line << ": expected no output, got " << run.out;
    }
  }
}

}  // namespace
