// BMP import over the corpus files and files built in memory: widths and
// depths, header variants, true-colour palettes, files that end early,
// refusals and hostile sizes, and the reader chosen by a name's last letter.
#include "formats/bmp_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "colour/nearest_color.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.red << "," << c.green << "," << c.blue << ")";
}

// The corpus's index rule for palette pictures.
int ExpectedIndex(int x, int y, int n) { return (x + 2 * y + (x < y ? 1 : 0)) % n; }

// The corpus's colour rule for 24- and 32-bit pictures.
Rgb ExpectedRgb(int x, int y, int w, int h) {
  return Rgb{w == 1 ? 0 : x * 255 / (w - 1), y * 255 / (h - 1), ((x + y) * 37) % 256};
}

const Rgb kVga[16] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
                      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
                      {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

Rgb TableEntry(int bits, int i) {
  if (bits == 1) return i == 0 ? Rgb{0, 0, 128} : Rgb{255, 255, 0};
  if (bits == 4) return kVga[i];
  return Rgb{i, (7 * i) % 256, 255 - i};
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A file as the clipboard paste writes it: "BM" and zeros, a 40-byte info
// header, then body (colour table and rows).
std::vector<uint8_t> BuiltBmp(int32_t width, int32_t height, int bitCount, uint32_t compression, uint32_t clrUsed,
                              const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out = {'B', 'M'};
  out.resize(14, 0);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bitCount));
  Put32(out, compression);
  for (int i = 0; i < 3; ++i) Put32(out, 0);
  Put32(out, clrUsed);
  Put32(out, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

class BmpImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override {
    trueColorSearch = TrueColorSearch::kRemembered;
    ResetDocument();
  }

  bool Import(const std::string& name, int index = 0) { return ImportBmp(TestDataPath(name).c_str(), index); }
  bool ImportBytes(const std::vector<uint8_t>& bytes, int index = 0) {
    return ImportBmp(WriteScratchFile("built.bmp", bytes).c_str(), index);
  }
  int Messages() const { return static_cast<int>(headlessUi().messages.size()); }

  // The colour every pixel of frame index shows, top row first.
  std::vector<Rgb> Colours(int index) {
    const Frame& frame = *doc.frames[index];
    std::vector<Rgb> out;
    for (uint8_t i : FramePixels(index))
      out.push_back(Rgb{frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue});
    return out;
  }
};

// ---- palette pictures --------------------------------------------------------

TEST_F(BmpImportTest, PalettePicturesKeepTheirFullWidthIndicesAndTable) {
  for (int bits : {1, 4, 8}) {
    for (int w : {1, 7, 8, 9, 13, 20}) {
      std::string name = "bpp" + std::to_string(bits) + "-w" + std::to_string(w) + ".bmp";
      ResetDocument();
      ASSERT_TRUE(Import(name)) << name;
      const Frame& frame = *doc.frames[0];
      int n = 1 << bits;
      EXPECT_EQ(w, frame.width) << name;
      EXPECT_EQ(5, frame.height) << name;
      EXPECT_EQ(n, frame.colorCount) << name;
      for (int i = 0; i < n; ++i) {
        Rgb got{frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue};
        EXPECT_EQ(TableEntry(bits, i), got) << name << " entry " << i;
      }
      std::vector<uint8_t> pixels = FramePixels(0);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < w; ++x)
          EXPECT_EQ(ExpectedIndex(x, y, n), pixels[y * w + x]) << name << " at " << x << "," << y;
      EXPECT_EQ(0, Messages()) << name;
    }
  }
}

TEST_F(BmpImportTest, HeaderVariantsReadTheSameIndicesAsThePlainFile) {
  struct Case {
    const char* file;
    int width;
    int n;
    int bits;
  } cases[] = {
      {"top-down-8bpp-w13.bmp", 13, 256, 8},       {"v4-header-8bpp-w9.bmp", 9, 256, 8},
      {"os2-core-header-8bpp-w9.bmp", 9, 256, 8},  {"v5-header-4bpp-w7.bmp", 7, 16, 4},
      {"bfoffbits-gap-8bpp-w7.bmp", 7, 256, 8},    {"clrused-20-8bpp-w13.bmp", 13, 20, 8},
      {"clrused-5-4bpp-w9.bmp", 9, 5, 4},
  };
  for (const Case& c : cases) {
    ResetDocument();
    ASSERT_TRUE(Import(c.file)) << c.file;
    const Frame& frame = *doc.frames[0];
    EXPECT_EQ(c.width, frame.width) << c.file;
    EXPECT_EQ(c.n, frame.colorCount) << c.file;
    for (int i = 0; i < c.n; ++i) {
      Rgb got{frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue};
      EXPECT_EQ(TableEntry(c.bits, i), got) << c.file << " entry " << i;
    }
    std::vector<uint8_t> pixels = FramePixels(0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(ExpectedIndex(x, y, c.n), pixels[y * c.width + x]) << c.file << " at " << x << "," << y;
  }
}

// ---- true colour -------------------------------------------------------------

TEST_F(BmpImportTest, TrueColourPicturesOfFewColoursKeepEveryColourExactly) {
  struct Case {
    const char* file;
    int width;
  } cases[] = {
      {"bpp24-w1.bmp", 1},         {"bpp24-w7.bmp", 7},          {"bpp24-w8.bmp", 8},
      {"bpp24-w9.bmp", 9},         {"bpp24-w13.bmp", 13},        {"bpp24-w20.bmp", 20},
      {"top-down-24bpp-w9.bmp", 9}, {"v5-header-24bpp-w13.bmp", 13}, {"os2-core-header-24bpp-w13.bmp", 13},
      {"bpp32-w13.bmp", 13},       {"bpp32-bitfields-w9.bmp", 9},
  };
  for (const Case& c : cases) {
    ResetDocument();
    ASSERT_TRUE(Import(c.file)) << c.file;
    ASSERT_EQ(c.width, doc.frames[0]->width) << c.file;
    EXPECT_EQ(256, doc.frames[0]->colorCount) << c.file;
    std::vector<Rgb> colours = Colours(0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(ExpectedRgb(x, y, c.width, 5), colours[y * c.width + x]) << c.file << " at " << x << "," << y;
  }
}

TEST_F(BmpImportTest, SixteenBitPicturesWidenTheirChannelsToFullRange) {
  auto widen5 = [](int v) { return (v << 3) | (v >> 2); };
  auto widen6 = [](int v) { return (v << 2) | (v >> 4); };
  ASSERT_TRUE(Import("bpp16-555-w13.bmp"));
  std::vector<Rgb> colours = Colours(0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) {
      Rgb want{widen5(x * 31 / 12), widen5(y * 31 / 4), widen5(((x + y) * 7) % 32)};
      EXPECT_EQ(want, colours[y * 13 + x]) << "5-5-5 at " << x << "," << y;
    }
  ResetDocument();
  ASSERT_TRUE(Import("bpp16-565-bitfields-w7.bmp"));
  colours = Colours(0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      Rgb want{widen5(x * 31 / 6), widen6(y * 63 / 4), widen5(((x + y) * 7) % 32)};
      EXPECT_EQ(want, colours[y * 7 + x]) << "5-6-5 at " << x << "," << y;
    }
}

TEST_F(BmpImportTest, ColoursOfOneHistogramCellStayApartWhenFewEnough) {
  // (8,8,8) and (15,15,15) share a 5-bit cell; with two colours both are kept.
  std::vector<uint8_t> body = {8, 8, 8, 15, 15, 15, 0, 0};
  ASSERT_TRUE(ImportBytes(BuiltBmp(2, 1, 24, 0, 0, body)));
  std::vector<Rgb> colours = Colours(0);
  EXPECT_EQ((Rgb{8, 8, 8}), colours[0]);
  EXPECT_EQ((Rgb{15, 15, 15}), colours[1]);
}

// hippopotamus.bmp has 781 colours: median cut, then each pixel the nearest
// of the chosen colours, ties to the lowest index.
TEST_F(BmpImportTest, ManyColoursMapEachPixelToItsNearestChosenColour) {
  std::vector<uint8_t> file = FileBytes(TestDataPath("hippopotamus.bmp"));
  uint32_t offBits = file[10] | file[11] << 8 | file[12] << 16;
  int w = file[18] | file[19] << 8;
  int h = file[22] | file[23] << 8;
  int fileStride = (w * 3 + 3) / 4 * 4;

  ASSERT_TRUE(Import("hippopotamus.bmp"));
  const Frame& frame = *doc.frames[0];
  std::set<uint32_t> distinct;
  for (int i = 0; i < 256; ++i)
    distinct.insert(frame.palette[i].red << 16 | frame.palette[i].green << 8 | frame.palette[i].blue);
  EXPECT_GT(distinct.size(), 200u) << "median cut should fill most of the palette";
  std::vector<uint8_t> remembered = FramePixels(0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &file[offBits + (h - 1 - y) * fileStride + 3 * x];
      int want = NearestIndex(p[2], p[1], p[0], 256, [&](int i, int* r, int* g, int* b) {
        *r = frame.palette[i].red;
        *g = frame.palette[i].green;
        *b = frame.palette[i].blue;
      });
      ASSERT_EQ(want, remembered[y * w + x]) << "at " << x << "," << y;
    }

  ResetDocument();
  trueColorSearch = TrueColorSearch::kPerPixel;
  ASSERT_TRUE(Import("hippopotamus.bmp"));
  EXPECT_EQ(remembered, FramePixels(0)) << "expected the per-pixel search to give the same indices";
}

// ---- short files, refusals and hostile sizes ---------------------------------

TEST_F(BmpImportTest, RowsMissingFromAShortFileAreIndexZeroEvenOverOlderSwapData) {
  // Fill the swap file with non-zero bytes where the next import will go.
  std::vector<uint8_t> body(256 * 4, 0);
  body.insert(body.end(), 20 * 16, 7);
  ASSERT_TRUE(ImportBytes(BuiltBmp(20, 16, 8, 0, 0, body)));
  ResetDocument();

  // 20x16, 24 bits: 9 whole rows of 60 bytes and part of a tenth.
  ASSERT_TRUE(Import("malformed-truncated-24bpp.bmp"));
  const Frame& frame = *doc.frames[0];
  ASSERT_EQ(20, frame.width);
  ASSERT_EQ(16, frame.height);
  std::vector<uint8_t> pixels = FramePixels(0);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(0, pixels[y * 20 + x]) << "missing row " << y << " at " << x;
  EXPECT_TRUE(frame.usedColors[0]);
}

TEST_F(BmpImportTest, RefusedFilesSayOnceAndLeaveTheFrameListAsItWas) {
  const char* refused[] = {"rle4.bmp",
                           "rle8.bmp",
                           "rle8-delta.bmp",
                           "malformed-not-a-bmp.bmp",
                           "malformed-truncated-header.bmp",
                           "malformed-truncated-8bpp-in-palette.bmp",
                           "width-40000-8bpp.bmp",
                           "no-such-file.bmp"};
  ASSERT_TRUE(Import("bpp8-w7.bmp"));
  std::vector<uint8_t> before = FramePixels(0);
  uint32_t swapEnd = doc.swapEnd;
  for (const char* file : refused) {
    ResetHeadlessUi();
    EXPECT_FALSE(Import(file, 1)) << file;
    ASSERT_EQ(1, Messages()) << file;
    EXPECT_EQ("Error in reading file", headlessUi().messages[0]) << file;
    EXPECT_EQ(1, doc.frameCount) << file;
    EXPECT_EQ(swapEnd, doc.swapEnd) << file;
    EXPECT_EQ(7, doc.screenWidth) << file;
    EXPECT_EQ(5, doc.screenHeight) << file;
    EXPECT_EQ(before, FramePixels(0)) << file;
  }
}

TEST_F(BmpImportTest, HostileHeadersAreRefusedWithoutCrashOrHugeWork) {
  std::vector<uint8_t> table(256 * 4, 0);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"width 0", BuiltBmp(0, 5, 8, 0, 0, table)},
      {"negative width", BuiltBmp(-5, 5, 8, 0, 0, table)},
      {"height 0", BuiltBmp(5, 0, 8, 0, 0, table)},
      {"height -2^31", BuiltBmp(5, INT32_MIN, 8, 0, 0, table)},
      {"width 32768", BuiltBmp(32768, 1, 8, 0, 0, table)},
      {"height 40000", BuiltBmp(1, 40000, 8, 0, 0, table)},
      {"2 bits per pixel", BuiltBmp(4, 4, 2, 0, 0, table)},
      {"bit fields on 8 bits", BuiltBmp(4, 4, 8, 3, 0, table)},
      {"split mask", BuiltBmp(4, 4, 32, 3, 0, {0x0F, 0xF0, 0x0F, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0})},
      {"mask of 10 bits", BuiltBmp(4, 4, 32, 3, 0, {0xFF, 0x03, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF})},
      {"table past the file end", BuiltBmp(4, 4, 8, 0, 200, std::vector<uint8_t>(40, 1))},
      {"table of 2^32-1 entries", BuiltBmp(4, 4, 8, 0, 0xFFFFFFFF, std::vector<uint8_t>(40, 1))},
  };
  for (const Case& c : cases) {
    ResetDocument();
    EXPECT_FALSE(ImportBytes(c.bytes)) << c.what;
    EXPECT_EQ(1, Messages()) << c.what;
    EXPECT_EQ(0, doc.frameCount) << c.what;
  }

  // Nothing may pass the swap file's 4 GiB.
  ResetDocument();
  doc.swapEnd = 0xFFFFFFFFu - 16;
  std::vector<uint8_t> body = table;
  body.insert(body.end(), 8 * 4, 1);
  EXPECT_FALSE(ImportBytes(BuiltBmp(8, 4, 8, 0, 0, body))) << "expected a refusal at the swap limit";
  EXPECT_EQ(0, doc.frameCount);
  doc.swapEnd = 0;

  // 30000 x 30000 claimed, a few bytes held: the rows held, the rest index 0.
  ResetDocument();
  ASSERT_TRUE(Import("malformed-huge-dimensions.bmp"));
  EXPECT_EQ(30000, doc.frames[0]->width);
}

TEST_F(BmpImportTest, ColourTableLongerThan256EntriesKeeps256AndFindsTheRows) {
  std::vector<uint8_t> body;
  for (int i = 0; i < 1000; ++i) body.insert(body.end(), {static_cast<uint8_t>(i), 0, 0, 0});
  body.insert(body.end(), {255, 3, 0, 0});
  ASSERT_TRUE(ImportBytes(BuiltBmp(2, 1, 8, 0, 1000, body)));
  const Frame& frame = *doc.frames[0];
  EXPECT_EQ(256, frame.colorCount);
  EXPECT_EQ(255, frame.palette[255].blue);
  EXPECT_EQ((std::vector<uint8_t>{255, 3}), FramePixels(0));
}

// ---- the document around the picture -----------------------------------------

TEST_F(BmpImportTest, TheScreenGrowsToThePictureAndNeverShrinks) {
  ASSERT_TRUE(Import("bpp8-w9.bmp"));
  EXPECT_EQ(9, doc.screenWidth);
  EXPECT_EQ(5, doc.screenHeight);
  EXPECT_EQ(0x77, screenDescriptor.packed) << "a first picture is written without a global table";
  ASSERT_TRUE(Import("malformed-truncated-24bpp.bmp", 1));
  EXPECT_EQ(20, doc.screenWidth);
  EXPECT_EQ(16, doc.screenHeight);
  ASSERT_TRUE(Import("bpp1-w1.bmp", 0));
  EXPECT_EQ(20, doc.screenWidth);
  EXPECT_EQ(3, doc.frameCount);
  EXPECT_EQ(1, doc.frames[0]->width) << "inserted at the index given";
  EXPECT_EQ(0, doc.frames[0]->useGlobalPalette);
}

// ---- the reader chosen by the last letter ------------------------------------

TEST_F(BmpImportTest, TheLastLetterOfTheNameChoosesTheReader) {
  std::vector<uint8_t> bmp = FileBytes(TestDataPath("bpp8-w8.bmp"));
  std::vector<uint8_t> gif = FileBytes(TestDataPath("size-1x1.gif"));
  std::vector<uint8_t> jpeg = FileBytes(TestDataPath("size-1x1.jpg"));
  struct Case {
    const char* name;
    const std::vector<uint8_t>* bytes;
    bool readable;
  } cases[] = {
      {"a.bmp", &bmp, true},   {"b.BMP", &bmp, true},    {"c.TMP", &bmp, true},  {"d.gif", &gif, true},
      {"e.GIF", &gif, true},   {"f.gif", &bmp, false},   {"g.bmp", &gif, false}, {"h.jpg", &jpeg, true},
      {"i.JPEG", &jpeg, true}, {"j.png", &jpeg, true},   {"k.png", &gif, false}, {"l.jpg", &gif, false},
  };
  for (const Case& c : cases) {
    ResetDocument();
    std::string path = WriteScratchFile(c.name, *c.bytes);
    EXPECT_EQ(c.readable, LoadDocument(path.c_str())) << c.name;
    EXPECT_EQ(c.readable ? 1 : 0, doc.frameCount) << c.name;
  }
}

}  // namespace
