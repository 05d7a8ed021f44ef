// Interoperability of the GIF writer: every file WriteGif makes from
// tests/data is read by giflib's DGifSlurp to the same entries, rectangles,
// timing, transparency and colour at every pixel as our reading of the
// source, through colour tables that hold every index the pixels use, and
// ImageMagick's identify reads it without a warning. Noisy frames at every
// code size judge the LZW data the same way.
#if FRAMBO_HAVE_GIFLIB

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/load_file.h"
#include "giflib_support.h"
#include "test_support.h"

namespace {

bool HasImage(const std::vector<Entry>& entries) {
  return std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return !e.comment; });
}

class WrittenFile : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { path_ = ScratchPath("written-" + GetParam()); }
  void TearDown() override { remove(path_.c_str()); }

  // Reads the data file and writes it with the credit on, so that the
  // written comments are read too. False when our reader refuses the file.
  bool WriteFromData(std::vector<Entry>* source) {
    if (!LoadFresh(TestDataPath(GetParam()))) return false;
    *source = WithoutEmptyComments(DocumentEntries());
    EXPECT_TRUE(SaveAs(path_, kWithCredit)) << GetParam() << ": expected the save to succeed, got a failure";
    return true;
  }
  std::string path_;
};

TEST_P(WrittenFile, GiflibReadsTheSameColoursAndEntries) {
  const std::string file = GetParam();
  std::vector<Entry> source;
  if (!WriteFromData(&source)) GTEST_SKIP() << file << ": the reader refuses it";
  GiflibFile written(path_);
  if (!HasImage(source)) {
    // DGifSlurp wants an image; it must get that far and no farther.
    EXPECT_EQ(written.error, D_GIF_ERR_NO_IMAG_DSCR)
        << file << ": expected giflib to miss only the image, got " << GifErrorString(written.error);
    return;
  }
  ASSERT_TRUE(written.slurped) << file << ": expected giflib to read the written file, got "
                               << GifErrorString(written.error);
  EXPECT_EQ(written.gif->SWidth, doc.screenWidth) << file << ": screen width";
  EXPECT_EQ(written.gif->SHeight, doc.screenHeight) << file << ": screen height";
  std::vector<std::string> faults;
  std::vector<Entry> entries = GiflibEntries(*written.gif, &faults);
  EXPECT_TRUE(faults.empty()) << file << ": the written file is faulty:\n" << Join(faults);

  // A full frame list has no room for the credit.
  if (source.size() < static_cast<size_t>(kMaxEntries)) {
    ASSERT_FALSE(entries.empty()) << file << ": expected the credit comment, got no entries";
    EXPECT_TRUE(IsCredit(entries[0])) << file << ": expected the credit comment first";
    entries.erase(entries.begin());
  }
  faults = EntryDifferences(source, entries, kColoursOnly);
  EXPECT_TRUE(faults.empty()) << file << ": giflib reads the written file differently:\n" << Join(faults);

  // Both readers take the same colour table for each image, unused entries included.
  ASSERT_TRUE(LoadDocument(path_.c_str())) << file << ": expected to read the written file back";
  for (int i = 0, image = 0; i < doc.frameCount && image < written.gif->ImageCount; ++i) {
    if (IsComment(*doc.frames[i])) continue;
    const GifImageDesc& desc = written.gif->SavedImages[image++].ImageDesc;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : written.gif->SColorMap;
    for (int c = 0; map != nullptr && c < map->ColorCount && c < 256; ++c) {
      const GifColorType& want = map->Colors[c];
      const PaletteEntry& got = doc.frames[i]->palette[c];
      ASSERT_TRUE(want.Red == got.red && want.Green == got.green && want.Blue == got.blue)
          << file << " entry " << i << " colour " << c << ": expected " << int(want.Red) << "," << int(want.Green)
          << "," << int(want.Blue) << ", got " << int(got.red) << "," << int(got.green) << "," << int(got.blue);
    }
  }
}

TEST_P(WrittenFile, IdentifyReadsItWithoutWarning) {
  static const bool haveIdentify = system("identify -version >/dev/null 2>&1") == 0;
  if (!haveIdentify) GTEST_SKIP() << "ImageMagick's identify is not installed";
  const std::string file = GetParam();
  std::vector<Entry> source;
  if (!WriteFromData(&source)) GTEST_SKIP() << file << ": the reader refuses it";
  if (!HasImage(source)) GTEST_SKIP() << file << ": identify reads no GIF without an image";
  const std::string errors = path_ + ".stderr";
  int status = system(("identify -regard-warnings '" + path_ + "' >/dev/null 2>'" + errors + "'").c_str());
  std::vector<uint8_t> bytes = FileBytes(errors);
  std::string said(bytes.begin(), bytes.end());
  remove(errors.c_str());
  ASSERT_TRUE(WIFEXITED(status)) << file << ": identify did not exit";
  EXPECT_EQ(WEXITSTATUS(status), 0) << file << ": expected identify to exit 0, got " << WEXITSTATUS(status)
                                    << ": " << said;
  EXPECT_EQ(said, "") << file << ": expected nothing on identify's stderr";
}

INSTANTIATE_TEST_SUITE_P(DataFiles, WrittenFile, testing::ValuesIn(DataGifs()), DataFileTestName);

// ---- the LZW data judged by giflib ------------------------------------------------

// Noise below 2, 4, ... 256 colours with runs now and then, so that long
// strings are made as well, on palettes whose entry i is (i, 255 - i, 3i).
TEST(EncoderGiflibTest, NoisyFramesAtEveryCodeSizeReadBackTheSame) {
  ResetDocument();
  std::vector<std::vector<uint8_t>> expected;
  for (int bits = 1; bits <= 8; ++bits) {
    std::vector<uint8_t> pixels = Noise(301 * 199, 1 << bits, 17u * bits);
    std::vector<uint8_t> runs = Noise(pixels.size(), 16, 17u * bits + 1);
    for (size_t p = 1; p < pixels.size(); ++p)
      if (runs[p] < 3) pixels[p] = pixels[p - 1];
    std::vector<RgbTriple> palette;
    for (int i = 0; i < 1 << bits; ++i) palette.push_back(RgbTriple{uint8_t(i), uint8_t(255 - i), uint8_t(3 * i)});
    AppendImage(301, 199, palette, pixels);
    expected.push_back(pixels);
  }
  const std::string path = ScratchPath("giflib-judged.gif");
  for (unsigned options : {kPlainSave, kInterlacedSave}) {
    ASSERT_TRUE(SaveAs(path, options));
    GiflibFile gif(path);
    ASSERT_TRUE(gif.slurped) << "expected giflib to read the file, got " << GifErrorString(gif.error);
    ASSERT_EQ(8, gif.gif->ImageCount);
    for (int i = 0; i < gif.gif->ImageCount; ++i) {
      const SavedImage& image = gif.gif->SavedImages[i];
      const std::string what = "frame " + std::to_string(i) + (options ? " interlaced" : "");
      ASSERT_NE(nullptr, image.ImageDesc.ColorMap) << what;
      EXPECT_EQ(2 << i, image.ImageDesc.ColorMap->ColorCount) << what;
      EXPECT_EQ(options == kInterlacedSave, image.ImageDesc.Interlace) << what;
      EXPECT_TRUE(std::equal(expected[i].begin(), expected[i].end(), image.RasterBits)) << what << ": pixels differ";
      const GifColorType& colour = image.ImageDesc.ColorMap->Colors[1];
      EXPECT_TRUE(colour.Red == 1 && colour.Green == 254 && colour.Blue == 3)
          << what << ": expected colour 1 to be 1,254,3, got " << int(colour.Red) << "," << int(colour.Green)
          << "," << int(colour.Blue);
    }
  }
  ResetDocument();
}

}  // namespace

#endif  // FRAMBO_HAVE_GIFLIB
