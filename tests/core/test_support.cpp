// Shared helpers of the core tests.
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "headless/headless_ui.h"
#include "platform/temp_file.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

std::string& ScratchFolder() {
  static std::string folder;
  if (folder.empty()) {
    char name[512];
    if (MakeTempFileName(name, sizeof name)) {
      remove(name);
      folder = name;
#ifdef _WIN32
      _mkdir(folder.c_str());
#else
      mkdir(folder.c_str(), 0700);
#endif
    }
  }
  return folder;
}

// The swap file lives for the whole test run, as it does for the editor.
class SwapFileEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(OpenSwapFile()); }
  void TearDown() override {
    CloseSwapFile();
    std::error_code ignored;
    if (!ScratchFolder().empty()) std::filesystem::remove_all(ScratchFolder(), ignored);
  }
};

const auto* const swapEnvironment = ::testing::AddGlobalTestEnvironment(new SwapFileEnvironment);

}  // namespace

std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = ScratchPath(name);
  FILE* file = fopen(path.c_str(), "wb");
  if (file) {
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  return path;
}

std::string TestDataPath(const std::string& name) { return std::string(FRAMBO_TEST_DATA) + "/" + name; }

void ResetDocument() {
  ClearDocument();
  RewindSwapFile();
  doc.swapFile.Truncate(0);  // nothing of an earlier test's data stays behind
  doc.backgroundIndex = 0;
  doc.pendingChange = kNoPendingChange;
  ResetHeadlessUi();
}

std::vector<uint8_t> FramePixels(int index) {
  const Frame& frame = *doc.frames[index];
  int32_t stride = RowStride(frame.width);
  std::vector<uint8_t> block(static_cast<size_t>(stride) * frame.height);
  if (!block.empty()) doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  std::vector<uint8_t> rows;
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    rows.insert(rows.end(), row, row + frame.width);
  }
  return rows;
}

std::string CommentText(int index) {
  const Frame& entry = *doc.frames[index];
  std::string text(static_cast<size_t>(entry.left), '\0');
  if (!text.empty()) doc.swapFile.ReadAt(entry.dataOffset, &text[0], entry.left);
  return text;
}
