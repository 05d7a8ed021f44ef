// BMP import over the corpus files and files built in memory: widths and
// depths, header variants, true-colour palettes, files that end early,
// refusals and hostile sizes.
#include "formats/bmp_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "document/document.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

uint32_t Colour(int red, int green, int blue) { return static_cast<uint32_t>(red << 16 | green << 8 | blue); }

// The corpus's index rule for palette pictures.
int ExpectedIndex(int x, int y, int n) { return (x + 2 * y + (x < y ? 1 : 0)) % n; }

const uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                           0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

uint32_t TableEntry(int bits, int i) {
  if (bits == 1) return i == 0 ? 0x000080 : 0xFFFF00;
  if (bits == 4) return kVga[i];
  return Colour(i, (7 * i) % 256, 255 - i);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> 8 * i));
}

// A file as the clipboard paste writes it: "BM" and zeros, a 40-byte info
// header, then body (colour table and rows).
std::vector<uint8_t> BuiltBmp(int32_t width, int32_t height, int bitCount, uint32_t compression, uint32_t clrUsed,
                              const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out = {'B', 'M'};
  out.resize(14, 0);
  for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                     1u | static_cast<uint32_t>(bitCount) << 16, compression, 0u, 0u, 0u, clrUsed, 0u})
    Put32(out, v);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

class BmpImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }

  bool Import(const std::string& name, int index = 0) { return ImportBmp(TestDataPath(name).c_str(), index); }
  bool ImportBytes(const std::vector<uint8_t>& bytes, int index = 0) {
    return ImportBmp(WriteScratchFile("built.bmp", bytes).c_str(), index);
  }
  int Messages() const { return static_cast<int>(headlessUi().messages.size()); }
};

// Every width of every palette depth, and header variants of the same
// pictures: the full width, the table and the indices.
TEST_F(BmpImportTest, PalettePicturesKeepTheirWidthIndicesAndTable) {
  struct Case {
    std::string file;
    int width, colours, bits;
  };
  std::vector<Case> cases = {
      {"top-down-8bpp-w13.bmp", 13, 256, 8},      {"v4-header-8bpp-w9.bmp", 9, 256, 8},
      {"os2-core-header-8bpp-w9.bmp", 9, 256, 8}, {"v5-header-4bpp-w7.bmp", 7, 16, 4},
      {"bfoffbits-gap-8bpp-w7.bmp", 7, 256, 8},   {"clrused-20-8bpp-w13.bmp", 13, 20, 8},
      {"clrused-5-4bpp-w9.bmp", 9, 5, 4},
  };
  for (int bits : {1, 4, 8})
    for (int w : {1, 7, 8, 9, 13, 20})
      cases.push_back({"bpp" + std::to_string(bits) + "-w" + std::to_string(w) + ".bmp", w, 1 << bits, bits});
  for (const Case& c : cases) {
    ResetDocument();
    ASSERT_TRUE(Import(c.file)) << c.file;
    const Frame& frame = *doc.frames[0];
    EXPECT_TRUE(frame.width == c.width && frame.height == 5 && frame.colorCount == c.colours)
        << c.file << ": " << frame.width << "x" << frame.height << ", " << frame.colorCount << " colours";
    for (int i = 0; i < c.colours; ++i)
      EXPECT_EQ(TableEntry(c.bits, i), Colour(frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue))
          << c.file << " entry " << i;
    std::vector<uint8_t> pixels = FramePixels(0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(ExpectedIndex(x, y, c.colours), pixels[y * c.width + x]) << c.file << " at " << x << "," << y;
    EXPECT_EQ(0, Messages()) << c.file;
  }
}

// Pictures of few colours keep every colour exactly; 16-bit channels are
// widened to the full range.
TEST_F(BmpImportTest, TrueColourPicturesOfFewColoursKeepEveryColourExactly) {
  auto rgb = [](int x, int y, int w) {
    return Colour(w == 1 ? 0 : x * 255 / (w - 1), y * 255 / 4, ((x + y) * 37) % 256);
  };
  auto widen5 = [](int v) { return (v << 3) | (v >> 2); };
  auto rgb555 = [&](int x, int y, int) {
    return Colour(widen5(x * 31 / 12), widen5(y * 31 / 4), widen5(((x + y) * 7) % 32));
  };
  auto rgb565 = [&](int x, int y, int) {
    return Colour(widen5(x * 31 / 6), (y * 63 / 4) << 2 | (y * 63 / 4) >> 4, widen5(((x + y) * 7) % 32));
  };
  // (8,8,8) and (15,15,15) share a 5-bit histogram cell: with two colours both are kept.
  const std::string cell = WriteScratchFile("cell.bmp", BuiltBmp(2, 1, 24, 0, 0, {8, 8, 8, 15, 15, 15, 0, 0}));
  auto grey = [](int x, int, int) { return x ? 0x0F0F0Fu : 0x080808u; };
  struct Case {
    std::string path;
    int width, height;
    std::function<uint32_t(int, int, int)> want;
  } cases[] = {
      {TestDataPath("bpp24-w1.bmp"), 1, 5, rgb},          {TestDataPath("bpp24-w7.bmp"), 7, 5, rgb},
      {TestDataPath("bpp24-w8.bmp"), 8, 5, rgb},          {TestDataPath("bpp24-w9.bmp"), 9, 5, rgb},
      {TestDataPath("bpp24-w13.bmp"), 13, 5, rgb},        {TestDataPath("bpp24-w20.bmp"), 20, 5, rgb},
      {TestDataPath("top-down-24bpp-w9.bmp"), 9, 5, rgb}, {TestDataPath("v5-header-24bpp-w13.bmp"), 13, 5, rgb},
      {TestDataPath("bpp32-w13.bmp"), 13, 5, rgb},        {TestDataPath("os2-core-header-24bpp-w13.bmp"), 13, 5, rgb},
      {TestDataPath("bpp32-bitfields-w9.bmp"), 9, 5, rgb}, {TestDataPath("bpp16-555-w13.bmp"), 13, 5, rgb555},
      {TestDataPath("bpp16-565-bitfields-w7.bmp"), 7, 5, rgb565}, {cell, 2, 1, grey},
  };
  for (const Case& c : cases) {
    ResetDocument();
    ASSERT_TRUE(ImportBmp(c.path.c_str(), 0)) << c.path;
    ASSERT_TRUE(doc.frames[0]->width == c.width && doc.frames[0]->height == c.height) << c.path;
    EXPECT_EQ(256, doc.frames[0]->colorCount) << c.path;
    std::vector<uint32_t> colours = FrameColours(0);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(c.want(x, y, c.width), colours[y * c.width + x]) << c.path << " at " << x << "," << y;
  }
}

// ---- short files, refusals and hostile sizes ---------------------------------

TEST_F(BmpImportTest, RefusedFilesSayOnceAndLeaveTheDocumentAsItWas) {
  std::vector<std::string> paths;
  for (const char* file : {"rle4.bmp", "rle8.bmp", "rle8-delta.bmp", "malformed-not-a-bmp.bmp",
                           "malformed-truncated-header.bmp", "malformed-truncated-8bpp-in-palette.bmp",
                           "width-40000-8bpp.bmp", "no-such-file.bmp"})
    paths.push_back(TestDataPath(file));
  // Hostile headers, refused without a crash or huge work.
  const std::vector<uint8_t> table(256 * 4, 0), short40(40, 1);
  const std::pair<const char*, std::vector<uint8_t>> hostile[] = {
      {"width-0", BuiltBmp(0, 5, 8, 0, 0, table)},
      {"negative-width", BuiltBmp(-5, 5, 8, 0, 0, table)},
      {"height-0", BuiltBmp(5, 0, 8, 0, 0, table)},
      {"height-minus-2^31", BuiltBmp(5, INT32_MIN, 8, 0, 0, table)},
      {"width-32768", BuiltBmp(32768, 1, 8, 0, 0, table)},
      {"height-40000", BuiltBmp(1, 40000, 8, 0, 0, table)},
      {"2-bits-per-pixel", BuiltBmp(4, 4, 2, 0, 0, table)},
      {"bit-fields-on-8-bits", BuiltBmp(4, 4, 8, 3, 0, table)},
      {"split-mask", BuiltBmp(4, 4, 32, 3, 0, {0x0F, 0xF0, 0x0F, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0})},
      {"mask-of-10-bits", BuiltBmp(4, 4, 32, 3, 0, {0xFF, 0x03, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF})},
      {"table-past-the-file-end", BuiltBmp(4, 4, 8, 0, 200, short40)},
      {"table-of-2^32-1-entries", BuiltBmp(4, 4, 8, 0, 0xFFFFFFFF, short40)},
  };
  for (const auto& h : hostile) paths.push_back(WriteScratchFile(std::string(h.first) + ".bmp", h.second));
  ASSERT_TRUE(Import("bpp8-w7.bmp"));
  const std::vector<uint8_t> before = FramePixels(0);
  const uint32_t swapEnd = doc.swapEnd;
  for (const std::string& path : paths) {
    ResetHeadlessUi();
    EXPECT_FALSE(ImportBmp(path.c_str(), 1)) << path;
    ASSERT_EQ(1, Messages()) << path;
    EXPECT_EQ("Error in reading file", headlessUi().messages[0]) << path;
    EXPECT_TRUE(doc.frameCount == 1 && doc.swapEnd == swapEnd) << path << ": the frame list changed";
    EXPECT_TRUE(doc.screenWidth == 7 && doc.screenHeight == 5) << path << ": the screen changed";
    EXPECT_EQ(before, FramePixels(0)) << path;
  }
  // Nothing may pass the swap file's 4 GiB.
  std::vector<uint8_t> body = table;
  body.insert(body.end(), 8 * 4, 1);
  doc.swapEnd = 0xFFFFFFFFu - 16;
  EXPECT_FALSE(ImportBytes(BuiltBmp(8, 4, 8, 0, 0, body))) << "expected a refusal at the swap limit";
  EXPECT_EQ(1, doc.frameCount);
  doc.swapEnd = swapEnd;
}

// A file that ends inside its rows keeps the rows it holds; the rest are
// index 0, whatever older data lies where the picture goes.
TEST_F(BmpImportTest, RowsMissingFromAShortFileAreIndexZeroEvenOverOlderSwapData) {
  std::vector<uint8_t> junk(20 * 16, 7);
  doc.swapFile.WriteBlockAt(0, junk.data(), static_cast<uint32_t>(junk.size()));
  // 20x16, 24 bits: 9 whole rows of 60 bytes and part of a tenth.
  ASSERT_TRUE(Import("malformed-truncated-24bpp.bmp"));
  ASSERT_TRUE(doc.frames[0]->width == 20 && doc.frames[0]->height == 16);
  std::vector<uint8_t> pixels = FramePixels(0);
  for (int i = 0; i < 7 * 20; ++i) ASSERT_EQ(0, pixels[i]) << "missing row " << i / 20 << " at " << i % 20;
  EXPECT_TRUE(doc.frames[0]->usedColors[0]);
}

}  // namespace
