// Cropping to dirty rectangles and restoring full frames must not change what
// the animation shows: the screens the reference compositor (screen_model.h)
// makes for every image frame are compared before and after each command,
// over the test files and over random small animations. Restoring may move
// colours onto a shared palette, so it is held to this only where every
// colour fits one palette of 256.
#include <set>

#include "cli/cli.h"
#include "document/document.h"
#include "editing/dirty_rectangles.h"
#include "headless/headless_ui.h"
#include "screen_model.h"
#include "test_support.h"

namespace {

// True when the colours the image frames show, with one more for a
// transparent index, fit one palette of 256 entries.
bool ColoursFitOnePalette() {
  std::set<uint32_t> colours;
  bool anyTransparent = false;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    uint8_t used[256] = {};
    for (int c = 0; c < 256; ++c) used[c] = frame.usedColors[c];
    for (uint8_t pixel : FramePixels(i)) used[pixel] = 1;
    if (frame.transparent) {
      used[frame.transparentIndex & 0xFF] = 1;
      anyTransparent = true;
    }
    for (int c = 0; c < 256; ++c) {
      const PaletteEntry& e = frame.palette[c];
      if (used[c]) colours.insert(static_cast<uint32_t>(e.red) << 16 | e.green << 8 | e.blue);
    }
  }
  return colours.size() + (anyTransparent ? 1 : 0) <= 256;
}

// The document's image entries in one line each, to reproduce a failure.
std::string Describe() {
  std::string text;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& f = *doc.frames[i];
    if (IsComment(f)) {
      text += "  comment\n";
      continue;
    }
    text += "  image (" + std::to_string(f.left) + "," + std::to_string(f.top) + ") " + std::to_string(f.width) + "x" +
            std::to_string(f.height) + " disposal " + std::to_string(f.disposal) +
            (f.transparent ? " transparent " + std::to_string(f.transparentIndex) : std::string()) + "\n";
  }
  return text;
}

// Runs command and returns how the screens differ afterwards ("" when not).
std::string ScreensChangedBy(void (*command)()) {
  int width = 0;
  int height = 0;
  ScreenSizeOf(&width, &height);
  ScreenHistory before = ComposeScreens(width, height);
  command();
  return ScreenDifference(before, ComposeScreens(width, height));
}

// ---- the test files ------------------------------------------------------------

class OptimizeDataFile : public testing::TestWithParam<std::string> {};

TEST_P(OptimizeDataFile, CropAndRestoreKeepEveryScreen) {
  const std::string path = TestDataPath(GetParam());
  if (!LoadFresh(path) || CountImageFrames() < 2) return;
  std::string change = ScreensChangedBy(CropFramesToDirty);
  EXPECT_EQ("", change) << "crop: expected the same screens\n" << Describe();

  ASSERT_TRUE(LoadFresh(path));
  if (!ColoursFitOnePalette()) return;
  change = ScreensChangedBy(RestoreFramesToFullSize);
  EXPECT_EQ("", change) << "restore: expected the same screens\n" << Describe();

  // And back again: cropping the restored frames shows the same too.
  change = ScreensChangedBy(CropFramesToDirty);
  EXPECT_EQ("", change) << "crop after restore: expected the same screens\n" << Describe();
}

INSTANTIATE_TEST_SUITE_P(AllGifs, OptimizeDataFile, testing::ValuesIn(DataGifs()), DataFileTestName);

// ---- random animations ---------------------------------------------------------

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

 private:
  uint32_t state_;
};

// Few colours, so that frames repeat each other's colours often.
constexpr RgbTriple kColours[] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {9, 9, 9}};

// A small animation in the document: each frame repeats much of what lies
// under it, in its own palette or the one before; mixed disposal,
// transparency, offsets and comments between the frames.
void BuildRandomAnimation(Random& random) {
  ResetDocument();
  const int screenWidth = 1 + random.Below(9);
  const int screenHeight = 1 + random.Below(9);
  doc.screenWidth = static_cast<uint16_t>(screenWidth);
  doc.screenHeight = static_cast<uint16_t>(screenHeight);
  const int frames = 2 + random.Below(5);
  std::vector<RgbTriple> palette;
  std::vector<uint32_t> shown(static_cast<size_t>(screenWidth) * screenHeight, kSeeThroughPixel);
  for (int f = 0; f < frames; ++f) {
    if (random.Chance(25)) AppendComment("between");
    const Frame* last = f > 0 ? doc.frames[PreviousImageFrame(doc.frameCount)].get() : nullptr;
    int left = 0, top = 0, width = screenWidth, height = screenHeight;
    if (last && random.Chance(30)) {
      left = last->left, top = last->top, width = last->width, height = last->height;
    } else if (random.Chance(60)) {
      width = 1 + random.Below(screenWidth);
      height = 1 + random.Below(screenHeight);
      left = random.Below(screenWidth - width + 1);
      top = random.Below(screenHeight - height + 1);
    }
    if (palette.empty() || random.Chance(50)) {
      palette.clear();
      const int count = 2 << random.Below(3);
      for (int c = 0; c < count; ++c) palette.push_back(kColours[random.Below(6)]);
    }
    const bool transparent = random.Chance(40);
    const int clear = random.Below(static_cast<int>(palette.size()));
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int index = random.Below(static_cast<int>(palette.size()));
        uint32_t under = shown[static_cast<size_t>(top + y) * screenWidth + left + x];
        if (under != kSeeThroughPixel && random.Chance(70)) {
          // Repeat the colour under it, at whichever index holds it.
          for (int c = 0; c < static_cast<int>(palette.size()); ++c) {
            uint32_t colour = static_cast<uint32_t>(palette[c].red) << 16 | palette[c].green << 8 | palette[c].blue;
            if (colour == under && !(transparent && c == clear) && random.Chance(70)) index = c;
          }
        }
        if (transparent && random.Chance(20)) index = clear;
        pixels.push_back(static_cast<uint8_t>(index));
      }
    }
    Frame& frame = AppendImage(width, height, palette, pixels);
    frame.left = static_cast<int16_t>(left);
    frame.top = static_cast<int16_t>(top);
    frame.transparent = transparent ? 1 : 0;
    frame.transparentIndex = static_cast<uint16_t>(clear);
    static const uint8_t kDisposals[] = {0, 0, 1, 1, 2, 2, 3, 4, 6, 7};
    frame.disposal = kDisposals[random.Below(10)];
    // What lies under the next frame, close enough to make it repeat pixels.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t index = pixels[static_cast<size_t>(y) * width + x];
        if (transparent && index == clear) continue;
        const RgbTriple& c = palette[index];
        shown[static_cast<size_t>(top + y) * screenWidth + left + x] =
            static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
      }
  }
}

TEST(OptimizeRandomAnimations, CropAndRestoreKeepEveryScreen) {
  constexpr int kAnimations = 400;
  int cropped = 0;
  int restored = 0;
  for (int n = 0; n < kAnimations; ++n) {
    Random random(0x9E3779B9u + static_cast<uint32_t>(n) * 7919u);
    BuildRandomAnimation(random);
    const std::string built = Describe();
    int pixelsBefore = 0;
    for (int i = 0; i < doc.frameCount; ++i) pixelsBefore += doc.frames[i]->width * doc.frames[i]->height;
    std::string change = ScreensChangedBy(CropFramesToDirty);
    ASSERT_EQ("", change) << "crop of animation " << n << ": expected the same screens\n" << built;
    int pixelsAfter = 0;
    for (int i = 0; i < doc.frameCount; ++i) pixelsAfter += doc.frames[i]->width * doc.frames[i]->height;
    cropped += pixelsAfter < pixelsBefore ? 1 : 0;

    Random again(0x9E3779B9u + static_cast<uint32_t>(n) * 7919u);
    BuildRandomAnimation(again);
    ASSERT_TRUE(ColoursFitOnePalette());
    const uint32_t swapEnd = doc.swapEnd;
    change = ScreensChangedBy(RestoreFramesToFullSize);
    ASSERT_EQ("", change) << "restore of animation " << n << ": expected the same screens\n" << built;
    restored += doc.swapEnd > swapEnd ? 1 : 0;
  }
  // The generator must exercise both commands, not only their refusals.
  EXPECT_GT(cropped, kAnimations / 4) << "expected many animations cropped, got " << cropped;
  EXPECT_GT(restored, kAnimations / 4) << "expected many animations restored, got " << restored;
}

// ---- frambo-cli ----------------------------------------------------------------

TEST(OptimizeCommands, SavedResultShowsWhatTheInputShowed) {
  const std::string input = TestDataPath("dirty-rect-sprite.gif");
  ASSERT_TRUE(LoadFresh(input));
  int width = 0;
  int height = 0;
  ScreenSizeOf(&width, &height);
  const ScreenHistory original = ComposeScreens(width, height);
  for (const char* command : {"optimize", "unoptimize"}) {
    const std::string output = ScratchPath(std::string(command) + ".gif");
    CliResult result = RunTool({command, input, "-o", output, "--no-credit", "--interlaced"});
    ASSERT_EQ(0, result.status) << command << ": expected exit 0, got " << result.status << "\n" << result.err;
    ASSERT_TRUE(LoadFresh(output)) << command << ": expected the output to load";
    EXPECT_EQ("", ScreenDifference(original, ComposeScreens(width, height))) << command;
  }
}

TEST(OptimizeCommands, BadArgumentsAndUnreadableInput) {
  const std::string input = TestDataPath("dirty-rect-sprite.gif");
  const std::string output = ScratchPath("unused.gif");
  const std::string bad = TestDataPath("malformed-not-a-gif.gif");
  ExpectCliFailures({
      {{"optimize", input}, kExitUsage, "usage:"},                                  // no -o
      {{"optimize", input, input, "-o", output}, kExitUsage, "usage:"},             // two inputs
      {{"unoptimize", "-o", output}, kExitUsage, "usage:"},                         // no input
      {{"unoptimize", input, "-o", output, "--frame", "1"}, kExitUsage, "usage:"},  // an option it does not take
      {{"optimize", bad, "-o", output}, kExitFileError, "Error in reading file"},
      {{"unoptimize", bad, "-o", output}, kExitFileError, "Error in reading file"},
  }, output);
}

}  // namespace
