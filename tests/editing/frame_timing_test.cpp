// The delays of all frames, the speed factor, and removing duplicate frames:
// on random animations with runs of repeated pictures, the screens the
// reference compositor makes, each for its time, must stay as they were.
#include "editing/duplicate_frames.h"
#include "editing/frame_timing.h"

#include <random>

#include "editing/dirty_rectangles.h"
#include "document_text.h"
#include "screen_model.h"
#include "test_support.h"

namespace {

std::vector<int> Delays() {
  std::vector<int> delays;
  for (int i = 0; i < doc.frameCount; ++i) delays.push_back(IsImageFrame(i) ? doc.frames[i]->delay : -1);
  return delays;
}

// What the animation shows, each screen with how long: runs of the same
// screen are one.
std::vector<std::pair<uint64_t, int>> Shows() {
  int width = 0, height = 0;
  ScreenSizeOf(&width, &height);
  const ScreenHistory screens = ComposeScreens(width, height);
  std::vector<std::pair<uint64_t, int>> shows;
  for (int i = 0, image = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    const uint64_t screen = screens.hashes[image++];
    if (!shows.empty() && shows.back().first == screen)
      shows.back().second += doc.frames[i]->delay;
    else
      shows.push_back({screen, doc.frames[i]->delay});
  }
  return shows;
}

TEST(FrameTiming, DelaysAndSpeedChangeImageFramesOnly) {
  ResetDocument();
  for (int delay : {0, 1, 3, 10, 65535}) AppendImage(1, 1, {{0, 0, 0}}, {0}).delay = static_cast<uint16_t>(delay);
  AppendComment("note");
  EXPECT_TRUE(ChangeSpeed(2));
  EXPECT_EQ((std::vector<int>{0, 1, 2, 5, 32768, -1}), Delays()) << "round(d / 2), halves up, 0 stays 0";
  EXPECT_TRUE(ChangeSpeed(3));
  EXPECT_EQ((std::vector<int>{0, 1, 1, 2, 10923, -1}), Delays()) << "at least 1";
  EXPECT_TRUE(ChangeSpeed(0.125));
  EXPECT_EQ((std::vector<int>{0, 8, 8, 16, 65535, -1}), Delays()) << "at most 65535";
  EXPECT_TRUE(SetAllDelays(7) && !SetAllDelays(7));
  EXPECT_EQ((std::vector<int>{7, 7, 7, 7, 7, -1}), Delays());
  double factor = 0;
  for (const char* bad : {"", "0", "0.0", "-2", "+2", "1e3", "inf", "nan", "1.2.3", ".", "0x10", " 2", "2x"})
    EXPECT_FALSE(ParseSpeedFactor(bad, &factor)) << bad;
  for (const char* good : {"2", "0.5", "1.", ".25"}) EXPECT_TRUE(ParseSpeedFactor(good, &factor)) << good;
  EXPECT_EQ(0.25, factor);
}

// Pictures drawn from a few, repeated in runs, with every disposal and
// transparency: what is shown, and for how long, never changes; the picture
// a frame leaves behind decides whether it may go.
TEST(FrameTiming, RemovingDuplicatesKeepsWhatIsShownForAsLong) {
  std::mt19937 random(7);
  const std::vector<RgbTriple> colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  int removedInAll = 0;
  for (int round = 0; round < 60; ++round) {
    ResetDocument();
    std::vector<std::vector<uint8_t>> pictures;
    for (int p = 0; p < 3; ++p) pictures.push_back(Noise(16, 4, random()));
    const int frames = 2 + random() % 12;
    for (int f = 0; f < frames; ++f) {
      const bool narrow = random() % 4 == 0;
      std::vector<uint8_t> pixels = pictures[random() % 3];
      pixels.resize(narrow ? 8 : 16);
      Frame& frame = AppendImage(narrow ? 2 : 4, 4, colours, pixels);
      frame.left = static_cast<int16_t>(narrow ? random() % 3 : 0);
      frame.disposal = static_cast<uint8_t>(random() % 4);
      frame.transparent = random() % 3 == 0;
      frame.delay = static_cast<uint16_t>(random() % 3 ? 10 : 0);
      if (random() % 4 == 0) AppendComment("between");
    }
    const auto before = Shows();
    const int count = doc.frameCount;
    const int removed = RemoveDuplicateFrames();
    ASSERT_GE(removed, 0);
    EXPECT_EQ(count - removed, doc.frameCount);
    EXPECT_EQ(before, Shows()) << "round " << round;
    EXPECT_EQ(0, RemoveDuplicateFrames()) << "round " << round << ": a second pass finds more";
    removedInAll += removed;
  }
  EXPECT_GT(removedInAll, 15) << "too few duplicates to prove anything";
  // Without memory for a frame's pixels nothing changes.
  ASSERT_TRUE(LoadFresh(TestDataPath("disposal-1-none.gif")));
  const std::string document = DocumentText();
  dirtyBlockLimit = 100;
  EXPECT_EQ(-1, RemoveDuplicateFrames());
  dirtyBlockLimit = 0xFFFFFFFF;
  EXPECT_EQ(document, DocumentText());
}

}  // namespace
