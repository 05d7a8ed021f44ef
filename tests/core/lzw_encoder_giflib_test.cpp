// The writer's LZW data judged by giflib: noisy frames at every code size,
// long enough to fill the string table many times, saved with WriteGif and
// read back by DGifSlurp to the same pixels and colours.
#if FRAMBO_HAVE_GIFLIB

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/gif_writer.h"
#include "document/settings.h"
#include "test_support.h"

namespace {

class EncoderGiflibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    settings = Settings();
    settings.addCreditComment = 0;
  }
  void TearDown() override {
    if (gif_) DGifCloseFile(gif_, nullptr);
    settings = Settings();
    ResetDocument();
  }

  // A frame of width x height noisy pixels below colours, with a local
  // palette whose entry i is (i, 255 - i, 3i).
  std::vector<uint8_t> AddNoisyFrame(int width, int height, int colours, uint32_t seed) {
    EXPECT_TRUE(InsertFrame(doc.frameCount));
    Frame& frame = *doc.frames[doc.frameCount - 1];
    frame.width = static_cast<int16_t>(width);
    frame.height = static_cast<int16_t>(height);
    frame.colorCount = static_cast<int16_t>(colours);
    for (int i = 0; i < 256; ++i)
      frame.palette[i] = PaletteEntry{static_cast<uint8_t>(3 * i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), 0};
    std::vector<uint8_t> rows(static_cast<size_t>(width) * height);
    for (uint8_t& pixel : rows) {
      seed = seed * 1664525u + 1013904223u;
      // Runs now and then, so that long strings are made as well.
      pixel = static_cast<uint8_t>((seed >> 28) < 3 ? rows[0] : (seed >> 16) % static_cast<uint32_t>(colours));
    }
    int32_t stride = RowStride(width);
    frame.dataOffset = doc.swapEnd;
    for (int y = 0; y < height; ++y)
      doc.swapFile.WriteAt(frame.dataOffset + static_cast<uint32_t>((height - 1 - y) * stride), &rows[static_cast<size_t>(y) * width], width);
    doc.swapEnd += static_cast<uint32_t>(stride * height);
    return rows;
  }

  // Saves and lets giflib read the file whole.
  const GifFileType* SaveAndSlurp() {
    std::string path = ScratchPath("giflib-judged.gif");
    EXPECT_TRUE(WriteGif(path.c_str()));
    int error = 0;
    gif_ = DGifOpenFileName(path.c_str(), &error);
    if (gif_ == nullptr) return nullptr;
    EXPECT_EQ(GIF_OK, DGifSlurp(gif_)) << "giflib error " << gif_->Error;
    return gif_;
  }

  GifFileType* gif_ = nullptr;
};

TEST_F(EncoderGiflibTest, NoisyFramesAtEveryCodeSizeReadBackTheSame) {
  std::vector<std::vector<uint8_t>> expected;
  for (int bits = 1; bits <= 8; ++bits) expected.push_back(AddNoisyFrame(301, 199, 1 << bits, 17u * bits));
  for (int interlaced = 0; interlaced <= 1; ++interlaced) {
    settings.interlacedSave = static_cast<uint8_t>(interlaced);
    const GifFileType* gif = SaveAndSlurp();
    ASSERT_NE(nullptr, gif);
    ASSERT_EQ(8, gif->ImageCount);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      ASSERT_NE(nullptr, image.ImageDesc.ColorMap) << "frame " << i;
      EXPECT_EQ(2 << i, image.ImageDesc.ColorMap->ColorCount) << "frame " << i;
      EXPECT_EQ(interlaced != 0, image.ImageDesc.Interlace) << "frame " << i;
      EXPECT_EQ(0, memcmp(expected[i].data(), image.RasterBits, expected[i].size()))
          << "frame " << i << (interlaced ? " interlaced" : "") << ": pixels differ";
      const GifColorType& colour = image.ImageDesc.ColorMap->Colors[1];
      EXPECT_EQ(1, colour.Red);
      EXPECT_EQ(254, colour.Green);
      EXPECT_EQ(3, colour.Blue);
    }
    DGifCloseFile(gif_, nullptr);
    gif_ = nullptr;
  }
}

TEST_F(EncoderGiflibTest, AnEmptyCommentDoesNotMakeTheFileUnreadable) {
  ASSERT_TRUE(InsertFrame(0));
  doc.frames[0]->disposal = kCommentDisposal;
  std::vector<uint8_t> pixels = AddNoisyFrame(8, 8, 4, 1);
  const GifFileType* gif = SaveAndSlurp();
  ASSERT_NE(nullptr, gif);
  ASSERT_EQ(1, gif->ImageCount);
  EXPECT_EQ(0, memcmp(pixels.data(), gif->SavedImages[0].RasterBits, pixels.size()));
}

}  // namespace

#endif  // FRAMBO_HAVE_GIFLIB
