// Save round trips: every GIF in tests/data that the reader takes is written
// with WriteGif, plain and interlaced, and read back to the same entries,
// rectangles, timing, disposal, transparency and colour at every pixel.
// Colours are compared through each frame's palette, since saving rebuilds
// the global palette; files that share one palette keep their indices too.
#include "formats/gif_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// Every image entry must lie within the screen the writer sized to them.
std::vector<std::string> OutsideTheScreen(const std::vector<Entry>& entries) {
  std::vector<std::string> faults;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (!e.comment && (e.left + e.width > doc.screenWidth || e.top + e.height > doc.screenHeight))
      faults.push_back("entry " + std::to_string(i) + ": expected within the " + std::to_string(doc.screenWidth) +
                       "x" + std::to_string(doc.screenHeight) + " screen, got " + std::to_string(e.width) + "x" +
                       std::to_string(e.height) + " at (" + std::to_string(e.left) + "," + std::to_string(e.top) + ")");
  }
  return faults;
}

class SaveRoundTrip : public testing::TestWithParam<std::string> {
 protected:
  void TearDown() override {
    remove(ScratchPath("plain-" + GetParam()).c_str());
    remove(ScratchPath("interlaced-" + GetParam()).c_str());
  }
};

// Interlacing reorders the rows in the file, nothing else: the interlaced
// save reads back as the plain one, stored indices included.
TEST_P(SaveRoundTrip, PlainAndInterlacedSavesReadBackTheSameEntriesAndColours) {
  const std::string file = GetParam();
  if (!LoadFresh(TestDataPath(file))) GTEST_SKIP() << file << ": the reader refuses it";
  const std::vector<Entry> source = DocumentEntries();
  const std::string plainPath = ScratchPath("plain-" + file);
  const std::string interlacedPath = ScratchPath("interlaced-" + file);
  ASSERT_TRUE(SaveAs(plainPath, kPlainSave)) << file << ": expected the save to succeed, got a failure";
  EXPECT_EQ(doc.frameCount, static_cast<int>(source.size()))
      << file << ": saving without the credit changed the number of entries";
  ASSERT_TRUE(SaveAs(interlacedPath, kInterlacedSave)) << file << ": expected the save to succeed, got a failure";

  ASSERT_TRUE(LoadFresh(plainPath)) << file << ": expected the saved file to read back, got a read error";
  const std::vector<Entry> plain = DocumentEntries();
  std::vector<std::string> faults = EntryDifferences(WithoutEmptyComments(source), plain, kColoursOnly);
  EXPECT_TRUE(faults.empty()) << file << " read back differently:\n" << Join(faults);
  faults = OutsideTheScreen(plain);
  EXPECT_TRUE(faults.empty()) << file << ":\n" << Join(faults);

  ASSERT_TRUE(LoadFresh(interlacedPath)) << file;
  const std::vector<Entry> interlaced = DocumentEntries();
  faults = EntryDifferences(plain, interlaced, kIndices);
  EXPECT_TRUE(faults.empty()) << file << " interlaced differs from plain:\n" << Join(faults);
  for (size_t i = 0; i < interlaced.size() && i < plain.size(); ++i) {
    if (interlaced[i].comment) continue;
    EXPECT_TRUE(interlaced[i].interlaced && !plain[i].interlaced)
        << file << " entry " << i << ": expected interlaced only in the interlaced save, got "
        << interlaced[i].interlaced << " and " << plain[i].interlaced << " in the plain one";
  }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, SaveRoundTrip, testing::ValuesIn(DataGifs()), DataFileTestName);

// One palette for every frame and no more than 256 colours: rebuilding the
// global palette has nothing to merge, so the stored indices stay as they were.
TEST(SaveRoundTripIndices, SharedPaletteFilesKeepTheirIndices) {
  for (const char* file : {"muybridge.gif", "fire.gif", "hippopotamus-regular.gif", "treescap-interlaced.gif",
                           "gifgrid.gif", "dirty-rect-sprite.gif"}) {
    ASSERT_TRUE(LoadFresh(TestDataPath(file))) << file;
    const std::vector<Entry> source = DocumentEntries();
    for (size_t i = 0; i < source.size(); ++i)
      ASSERT_TRUE(source[i].comment || source[i].useGlobalPalette)
          << file << " entry " << i << ": expected the global palette, got a local one";
    const std::string path = ScratchPath(std::string("indices-") + file);
    ASSERT_TRUE(SaveAs(path, kPlainSave)) << file;
    ASSERT_TRUE(LoadFresh(path)) << file;
    std::vector<std::string> faults = EntryDifferences(source, DocumentEntries(), kIndices);
    EXPECT_TRUE(faults.empty()) << file << " lost its indices:\n" << Join(faults);
    remove(path.c_str());
  }
}

}  // namespace
