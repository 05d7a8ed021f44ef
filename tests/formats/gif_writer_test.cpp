// The GIF writer: the bytes of an empty document, and saves that fail
// part-way. What it writes for real files is judged in save_roundtrip_test.cpp.
#include "formats/gif_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/gif_screen.h"
#include "document/settings.h"
#include "platform/file_calls.h"
#include "test_support.h"

namespace {

// Palette entry i is (i, 2i, 255 - i).
std::vector<RgbTriple> Ramp(int n) {
  std::vector<RgbTriple> colours;
  for (int i = 0; i < n; ++i) colours.push_back(RgbTriple{uint8_t(i), uint8_t(2 * i), uint8_t(255 - i)});
  return colours;
}

class GifWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    settings = Settings();
    settings.addCreditComment = 0;
    screenDescriptor.aspect = 0;
  }
  void TearDown() override {
    SetWriteFailureAfter(-1);
    settings = Settings();
    ResetDocument();
  }
  std::vector<uint8_t> Save(const std::string& name = "saved.gif") {
    std::string path = ScratchPath(name);
    EXPECT_TRUE(WriteGif(path.c_str())) << name;
    return FileBytes(path);
  }
};

TEST_F(GifWriterTest, AnEmptyDocumentIsScreenLoopingCreditAndTrailer) {
  settings.addCreditComment = 1;
  std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x7F, 0, 0, 0x21, 0xFF, 0x0B,
                                   'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  size_t length = strlen(creditComment);
  expected.insert(expected.end(), {0x21, 0xFE, static_cast<uint8_t>(length)});
  expected.insert(expected.end(), creditComment, creditComment + length);
  expected.insert(expected.end(), {0, 0x3B});
  EXPECT_EQ(expected, Save());
}

// Tables and codes as small as the indices a frame uses (at least 2 bits):
// a 256-colour palette using indices 0..2 is written as 4 entries, the
// local table of the only frame, or the global table two frames share.
TEST_F(GifWriterTest, TablesAndCodeSizesFollowTheHighestIndexUsed) {
  AppendImage(2, 2, Ramp(256), {0, 1, 2, 1});
  std::vector<uint8_t> bytes = Save();
  ASSERT_GT(bytes.size(), 62u);
  EXPECT_EQ(0, bytes[10] & 0x80) << "no global table";
  EXPECT_EQ(0x81, bytes[49] & 0x87) << "a local table of 4 entries";
  EXPECT_EQ(2, bytes[62]) << "LZW minimum code size";
  doc.frames[0]->useGlobalPalette = 1;
  AppendImage(2, 2, Ramp(256), {2, 2, 0, 0}).useGlobalPalette = 1;
  bytes = Save();
  EXPECT_EQ(0x81, bytes[10] & 0x87) << "a global table of 4 entries";
}

// The writer's temporary file lies beside the target: a failed save must
// leave the scratch folder as it found it.
size_t ScratchFiles() {
  auto items = std::filesystem::directory_iterator(std::filesystem::path(ScratchPath("")));
  return static_cast<size_t>(std::distance(begin(items), end(items)));
}

TEST_F(GifWriterTest, AWriteFailingAtAnyByteKeepsTheOldFileAndName) {
  settings.addCreditComment = 1;
  auto build = [] {
    ResetDocument();
    AppendImage(24, 24, Ramp(16), Noise(576, 16));  // data of two sub-blocks
    AppendComment(std::string(300, 'c'));
    Frame& small = AppendImage(4, 4, Ramp(4), Noise(16, 4));
    small.left = small.top = 1;
  };
  build();
  size_t fileSize = Save("probe.gif").size();
  build();
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  std::string target = WriteScratchFile("target.gif", old);
  const size_t files = ScratchFiles();
#ifndef _WIN32
  chmod(target.c_str(), 0644);
#endif
  for (size_t failAt = 0; failAt < fileSize; ++failAt) {
    SetWriteFailureAfter(static_cast<int64_t>(failAt));
    ASSERT_FALSE(WriteGif(target.c_str())) << "expected failure with byte " << failAt << " failing";
    ASSERT_EQ(old, FileBytes(target)) << "byte " << failAt;
    ASSERT_EQ(files, ScratchFiles()) << "byte " << failAt << ": a temporary file was left";
    ASSERT_STREQ("untitled", doc.fileName) << "byte " << failAt;
    ASSERT_EQ(3, doc.frameCount) << "byte " << failAt << ": the credit comment stays out";
  }
  SetWriteFailureAfter(static_cast<int64_t>(fileSize));
  ASSERT_TRUE(WriteGif(target.c_str())) << "every byte fits";
  EXPECT_EQ(fileSize, FileBytes(target).size());
  EXPECT_EQ(files, ScratchFiles());
  EXPECT_EQ(4, doc.frameCount);
#ifndef _WIN32
  struct stat status;
  ASSERT_EQ(0, stat(target.c_str(), &status));
  EXPECT_EQ(0644u, status.st_mode & 0777) << "the replaced file keeps its permissions";
  SetWriteFailureAfter(-1);
  const std::string fresh = ScratchPath("fresh.gif");
  const mode_t mask = umask(022);
  ASSERT_TRUE(WriteGif(fresh.c_str()));
  umask(mask);
  ASSERT_EQ(0, stat(fresh.c_str(), &status));
  EXPECT_EQ(0644u, status.st_mode & 0777) << "a new file is as readable as the umask lets any new file be";
  remove(fresh.c_str());
#endif
}

}  // namespace
