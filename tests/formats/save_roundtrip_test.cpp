// Save round trips: every GIF in tests/data that the reader takes is written
// with WriteGif, plain and interlaced, credit included, and read back -- by
// giflib where the build has it, and by our own reader -- to the same
// entries, rectangles, timing, disposal, transparency and colour at every
// pixel, within the screen the writer sized to them. Colours are compared
// through each frame's palette, since saving rebuilds the global palette;
// files that share one palette keep their indices too.
#include "formats/gif_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "colour/global_palette.h"
#include "formats/load_file.h"
#include "test_support.h"
#if FRAMBO_HAVE_GIFLIB
#include "giflib_support.h"
#endif

namespace {

// Every image entry must lie within the screen.
void ExpectWithin(const std::vector<Entry>& entries, int width, int height, const std::string& what) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    EXPECT_TRUE(e.comment || (e.left + e.width <= width && e.top + e.height <= height))
        << what << " entry " << i << ": expected within the " << width << "x" << height << " screen, got "
        << e.width << "x" << e.height << " at (" << e.left << "," << e.top << ")";
  }
}

// The credit comes first unless a full list leaves no room for it.
void ExpectCreditThenSource(const std::vector<Entry>& source, std::vector<Entry> got, unsigned compare,
                            bool interlaced, const std::string& what) {
  if (source.size() < static_cast<size_t>(kMaxEntries)) {
    ASSERT_TRUE(!got.empty() && got[0].text.rfind(kCreditStart, 0) == 0) << what << ": expected the credit first";
    got.erase(got.begin());
  }
  std::vector<std::string> faults = EntryDifferences(source, got, compare);
  EXPECT_TRUE(faults.empty()) << what << " read back differently:\n" << Join(faults);
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_TRUE(got[i].comment || got[i].interlaced == interlaced)
        << what << " entry " << i << ": interlaced flag";
}

class SaveRoundTrip : public testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { remove(path_.c_str()); }
  const std::string path_ = ScratchPath("saved-" + GetParam());
};

TEST_P(SaveRoundTrip, PlainAndInterlacedSavesReadBackTheSameEntriesAndColours) {
  const std::string file = GetParam();
  if (!LoadFresh(TestDataPath(file))) GTEST_SKIP() << file << ": the reader refuses it";
  const std::vector<Entry> source = WithoutEmptyComments(DocumentEntries());
  // One palette for every frame, holding every index used: rebuilding the
  // global palette has nothing to merge, so the stored indices stay.
  bool shared = true;
  for (const Entry& e : source)
    for (uint8_t index : e.indices) shared = shared && e.useGlobalPalette && index < doc.globalColorCount;
  const unsigned compare = shared ? kIndices : kColoursOnly;
  const int loopCount = doc.loopCount;
  for (bool interlaced : {false, true}) {
    const std::string what = file + (interlaced ? " interlaced" : " plain");
    ASSERT_TRUE(SaveAs(path_, interlaced ? kWithCredit | kInterlacedSave : kWithCredit)) << what << ": expected the save to succeed";
    const int screenWidth = doc.screenWidth, screenHeight = doc.screenHeight;
    ASSERT_TRUE(LoadFresh(path_)) << what << ": expected the saved file to read back";
    EXPECT_EQ(loopCount, doc.loopCount) << what;
    const std::vector<Entry> ours = DocumentEntries();
    ExpectCreditThenSource(source, ours, compare, interlaced, what);
    ExpectWithin(ours, screenWidth, screenHeight, what);
#if FRAMBO_HAVE_GIFLIB
    GiflibFile gif(path_);
    if (std::none_of(source.begin(), source.end(), [](const Entry& e) { return !e.comment; })) {
      // DGifSlurp wants an image; it must get that far and no farther.
      EXPECT_EQ(gif.error, D_GIF_ERR_NO_IMAG_DSCR) << what << ": " << GifErrorString(gif.error);
      continue;
    }
    ASSERT_TRUE(gif.slurped) << what << ": expected giflib to read it, got " << GifErrorString(gif.error);
    EXPECT_TRUE(gif.gif->SWidth == screenWidth && gif.gif->SHeight == screenHeight) << what << ": screen size";
    std::vector<std::string> faults;
    int theirLoopCount = 0;
    std::vector<Entry> theirs = GiflibEntries(*gif.gif, &faults, &theirLoopCount);
    EXPECT_EQ(loopCount, theirLoopCount) << what;
    EXPECT_TRUE(faults.empty()) << what << ": the written file is faulty:\n" << Join(faults);
    ExpectCreditThenSource(source, theirs, compare, interlaced, what + " by giflib");
    // Both readers take the same colour table for each image, unused entries included.
    for (int i = 0, image = 0; i < doc.frameCount && image < gif.gif->ImageCount; ++i) {
      if (IsComment(*doc.frames[i])) continue;
      const GifImageDesc& desc = gif.gif->SavedImages[image++].ImageDesc;
      const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif.gif->SColorMap;
      for (int c = 0; map != nullptr && c < map->ColorCount && c < 256; ++c) {
        const GifColorType& want = map->Colors[c];
        const PaletteEntry& got = doc.frames[i]->palette[c];
        ASSERT_TRUE(want.Red == got.red && want.Green == got.green && want.Blue == got.blue)
            << what << " entry " << i << " colour " << c << " differs between the readers";
      }
    }
#endif
    ASSERT_TRUE(LoadFresh(TestDataPath(file)));
  }
}

// A frame whose pixels cannot be had for the global palette keeps its own
// colours and table: the 4x4 frame at 15 bytes, both frames at none.
TEST(SaveWithoutMemory, FramesThatCannotBeRemappedKeepTheirOwnColours) {
  for (const uint32_t limit : {15u, 0u}) {
    ResetDocument();
    AppendImage(2, 2, {{255, 0, 0}, {0, 255, 0}}, {0, 1, 1, 0}).useGlobalPalette = 1;
    AppendImage(4, 4, {{0, 0, 255}, {255, 255, 255}, {9, 9, 9}, {200, 100, 0}}, Noise(16, 4)).useGlobalPalette = 1;
    const std::vector<Entry> before = DocumentEntries();
    remapBlockLimit = limit;
    const bool saved = SaveAs(ScratchPath("no-memory.gif"), 0);
    remapBlockLimit = 0xFFFFFFFF;
    ASSERT_TRUE(saved && LoadFresh(ScratchPath("no-memory.gif"))) << limit;
    EXPECT_EQ("", Join(EntryDifferences(before, DocumentEntries(), kColoursOnly))) << limit;
  }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, SaveRoundTrip, testing::ValuesIn(DataGifs()), DataFileTestName);

}  // namespace
