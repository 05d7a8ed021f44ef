// Cropping to dirty rectangles and restoring full frames, over the test files
// and random small animations, against models written from the commands'
// contracts (dirty_rectangles.h): the screens the reference compositor
// (screen_model.h) makes for every image frame must not change, each frame
// must take the rectangle, disposal and transparency the contract gives it,
// and the command says it is done only when there was a pair to work on.
#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "document/document.h"
#include "editing/dirty_rectangles.h"
#include "headless/headless_ui.h"
#include "screen_model.h"
#include "test_support.h"

namespace {

uint32_t Rgb(const RgbTriple& c) { return static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue; }

// An image frame's rectangle, disposal and transparency, and what its pixels
// show.
struct Place {
  int left, top, width, height, disposal;
  bool transparent;
  std::vector<uint32_t> colours;  // 0xRRGGBB or kTransparentPixel
  bool Leaves() const { return (disposal & kRestoreToBackground) == 0; }
  bool Empty() const { return width <= 0 || height <= 0; }
};

std::vector<Place> ImagePlaces() {
  std::vector<Place> places;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& f = *doc.frames[i];
    if (IsComment(f)) continue;
    places.push_back({f.left, f.top, f.width, f.height, f.disposal, f.transparent != 0, FrameColours(i)});
  }
  return places;
}

std::string Describe(const std::vector<Place>& places) {
  std::string text;
  for (const Place& p : places)
    text += "  (" + std::to_string(p.left) + "," + std::to_string(p.top) + ") " + std::to_string(p.width) + "x" +
            std::to_string(p.height) + " disposal " + std::to_string(p.disposal) +
            (p.transparent ? " transparent\n" : "\n");
  return text;
}

// From the last pair to the first: a frame inside the one before it that
// leaves its pixels behind is cut to the smallest rectangle holding every
// pixel that shows differently (its top-left pixel when none does). A
// see-through pixel shows nothing new; one below matches nothing. When the
// frame before takes its pixels away, only a frame covering it with opaque
// pixels is cut, and the one before then keeps its pixels.
std::vector<Place> ExpectedCropPlaces() {
  std::vector<Place> places = ImagePlaces();
  for (size_t k = places.size(); k-- > 1;) {
    Place& f = places[k];
    Place& p = places[k - 1];
    if (!f.Leaves() || f.Empty() || p.Empty() || f.left < p.left || f.top < p.top ||
        f.left + f.width > p.left + p.width || f.top + f.height > p.top + p.height)
      continue;
    const bool seeThrough = std::count(f.colours.begin(), f.colours.end(), kTransparentPixel) > 0;
    if (!p.Leaves() && (f.width != p.width || f.height != p.height || seeThrough)) continue;
    int x0 = f.width, y0 = f.height, x1 = 0, y1 = 0;
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        uint32_t shown = f.colours[static_cast<size_t>(y) * f.width + x];
        uint32_t under = p.colours[static_cast<size_t>(f.top - p.top + y) * p.width + f.left - p.left + x];
        if (shown == kTransparentPixel || shown == under) continue;
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
    if (x0 > x1 || y0 > y1) x0 = x1 = y0 = y1 = 0;
    if (x1 - x0 + 1 == f.width && y1 - y0 + 1 == f.height) continue;
    f = Place{f.left + x0, f.top + y0, x1 - x0 + 1, y1 - y0 + 1, f.disposal, f.transparent, {}};
    p.disposal &= ~kRestoreToBackground;
  }
  return places;
}

std::string ExpectedCrop() { return Describe(ExpectedCropPlaces()); }

// From the first pair on: a frame and the one before it (already restored),
// both leaving their pixels behind, become the union of their rectangles,
// transparent when either was or when neither draws some pixel of it.
std::string ExpectedRestore() {
  std::vector<Place> places = ImagePlaces();
  for (size_t k = 1; k < places.size(); ++k) {
    Place& f = places[k];
    Place& p = places[k - 1];
    if (!f.Leaves() || !p.Leaves() || f.Empty() || p.Empty()) continue;
    const int left = std::min(f.left, p.left), top = std::min(f.top, p.top);
    const int width = std::max(f.left + f.width, p.left + p.width) - left;
    const int height = std::max(f.top + f.height, p.top + p.height) - top;
    // Only whether a pixel is drawn matters to the next pair.
    std::vector<uint32_t> drawn(static_cast<size_t>(width) * height, kTransparentPixel);
    for (const Place* layer : {&p, &f})
      for (size_t i = 0; i < layer->colours.size(); ++i)
        if (layer->colours[i] != kTransparentPixel)
          drawn[(layer->top - top + i / layer->width) * width + layer->left - left + i % layer->width] = 0;
    const bool seeThrough = std::count(drawn.begin(), drawn.end(), kTransparentPixel) > 0;
    f = Place{left, top, width, height, f.disposal, f.transparent || p.transparent || seeThrough, drawn};
  }
  return Describe(places);
}

// The colours the image frames show, a see-through pixel counted as one:
// restoring moves them onto one palette, which keeps them all only when
// they are at most 256.
size_t ColoursShown() {
  std::set<uint32_t> colours;
  for (const Place& place : ImagePlaces()) colours.insert(place.colours.begin(), place.colours.end());
  return colours.size();
}

void CropOnly() { CropFramesToDirty(); }

uint32_t BackgroundColour() { return doc.hasGlobalPalette ? Rgb(doc.globalPalette[doc.backgroundIndex]) : 0; }

// What the commands' renumbering leaves (palette_order.h): the frames on the
// global palette share its entries and use no index past them, and the
// background keeps its colour; "" when it is so.
std::string GlobalPaletteProblem(uint32_t background) {
  if (BackgroundColour() != background) return "expected the background colour kept";
  const int count = doc.globalColorCount;
  for (int i = 0; i < doc.frameCount && count > 0; ++i) {
    const Frame& f = *doc.frames[i];
    if (IsComment(f) || !f.useGlobalPalette) continue;
    std::vector<uint8_t> indices = FramePixels(i);
    if (f.transparent) indices.push_back(static_cast<uint8_t>(f.transparentIndex));
    bool shared = std::all_of(indices.begin(), indices.end(), [count](uint8_t index) { return index < count; });
    for (int c = 0; c < count && shared; ++c) {
      const PaletteEntry& e = f.palette[c];
      shared = Rgb(RgbTriple{e.red, e.green, e.blue}) == Rgb(doc.globalPalette[c]);
    }
    if (!shared) return "expected image entry " + std::to_string(i) + " on the global palette";
  }
  return "";
}

// Runs command; "" when the screens, the frames' places, the message shown
// and the modified flag are as expected (neither a message nor a change with
// fewer than two image frames), else the first difference.
std::string Check(void (*command)(), const std::string& expected, const std::string& message) {
  int width = 0;
  int height = 0;
  ScreenSizeOf(&width, &height);
  ScreenHistory before = ComposeScreens(width, height);
  std::vector<std::string> messages = headlessUi().messages;
  const bool acts = ImagePlaces().size() > 1;
  const bool modified = doc.modified || acts;
  if (acts) messages.push_back(message);
  const uint32_t background = BackgroundColour();
  command();
  const std::string screens = ScreenDifference(before, ComposeScreens(width, height));
  const std::string got = Describe(ImagePlaces());
  if (!screens.empty()) return screens;
  // The crop renumbers the palettes; the restore builds a global one anew.
  const std::string palette = command == CropOnly ? GlobalPaletteProblem(background) : "";
  if (!palette.empty()) return palette;
  if (got != expected) return "expected frames\n" + expected + "got\n" + got;
  if (modified != (doc.modified != 0)) return acts ? "expected the document modified" : "expected it unmodified";
  return messages == headlessUi().messages ? "" : "expected \"" + message + "\" shown with two image frames or more";
}

// "Optimize with transparency": "" when the screens stay and every frame
// takes the crop's disposal and lies in its rectangle, cut further only
// where it became transparent (its transparency may be new).
std::string CheckWithTransparency() {
  const std::vector<Place> expected = ExpectedCropPlaces();
  int width = 0;
  int height = 0;
  ScreenSizeOf(&width, &height);
  ScreenHistory before = ComposeScreens(width, height);
  const uint32_t background = BackgroundColour();
  CropFramesToDirty(Transparency::kForUnchangedPixels);
  const std::string screens = ScreenDifference(before, ComposeScreens(width, height));
  if (!screens.empty()) return screens;
  const std::string palette = GlobalPaletteProblem(background);
  if (!palette.empty()) return palette;
  const std::vector<Place> got = ImagePlaces();
  bool fits = got.size() == expected.size();
  for (size_t k = 0; k < got.size() && fits; ++k) {
    const Place& g = got[k];
    const Place& e = expected[k];
    const bool same = g.left == e.left && g.top == e.top && g.width == e.width && g.height == e.height;
    fits = g.disposal == e.disposal && g.left >= e.left && g.top >= e.top && g.left + g.width <= e.left + e.width &&
           g.top + g.height <= e.top + e.height && (same || g.transparent);
  }
  return fits ? "" : "expected frames inside\n" + Describe(expected) + "got\n" + Describe(got);
}

int TransparentFrames() {
  int count = 0;
  for (const Place& place : ImagePlaces()) count += place.transparent;
  return count;
}

// ---- the test files ------------------------------------------------------------

class OptimizeDataFile : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!LoadFresh(TestDataPath(GetParam()))) GTEST_SKIP() << "the reader refuses the file";
  }
};

TEST_P(OptimizeDataFile, CropKeepsEveryScreen) {
  EXPECT_EQ("", Check(CropOnly, ExpectedCrop(), "Optimization completed"));
}

TEST_P(OptimizeDataFile, CropWithTransparencyKeepsEveryScreen) { EXPECT_EQ("", CheckWithTransparency()); }

TEST_P(OptimizeDataFile, RestoreAndCropAgainKeepEveryScreen) {
  const size_t colours = ColoursShown();
  if (colours > 256) GTEST_SKIP() << colours << " colours cannot share the one palette restoring needs";
  EXPECT_EQ("", Check(RestoreFramesToFullSize, ExpectedRestore(), "Frames restored")) << "restore";
  EXPECT_EQ("", Check(CropOnly, ExpectedCrop(), "Optimization completed")) << "crop after restore";
}

INSTANTIATE_TEST_SUITE_P(AllGifs, OptimizeDataFile, testing::ValuesIn(DataGifs()), DataFileTestName);

// ---- random animations ---------------------------------------------------------

// Few colours, so that frames repeat each other's colours often.
constexpr RgbTriple kColours[] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {9, 9, 9}};

// A small animation in the document: each frame repeats much of what lies
// under it, in its own palette or the one before; mixed disposal,
// transparency, offsets and comments between the frames.
void BuildRandomAnimation(uint32_t seed) {
  std::mt19937 random(seed);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
  auto chance = [&below](int percent) { return below(100) < percent; };
  ResetDocument();
  const int screenWidth = 1 + below(9);
  const int screenHeight = 1 + below(9);
  doc.screenWidth = static_cast<uint16_t>(screenWidth);
  doc.screenHeight = static_cast<uint16_t>(screenHeight);
  // What lies under the next frame, disposal aside: close enough to make it
  // repeat pixels.
  std::vector<uint32_t> shown(static_cast<size_t>(screenWidth) * screenHeight, kSeeThroughPixel);
  std::vector<RgbTriple> palette;
  // Half the animations have a global palette, with colours listed twice
  // and colours no frame shows.
  std::vector<RgbTriple> global;
  if (chance(50)) {
    for (int c = 0, count = 2 + below(15); c < count; ++c) global.push_back(kColours[below(6)]);
    for (size_t c = 0; c < global.size(); ++c) doc.globalPalette[c] = global[c];
    doc.globalColorCount = static_cast<int16_t>(global.size());
    doc.hasGlobalPalette = 1;
    doc.backgroundIndex = static_cast<uint8_t>(below(static_cast<int>(global.size())));
  }
  for (int f = 0, frames = 2 + below(5); f < frames; ++f) {
    if (chance(25)) AppendComment("between");
    const Frame* last = f > 0 ? doc.frames[PreviousImageFrame(doc.frameCount)].get() : nullptr;
    int left = 0, top = 0, width = screenWidth, height = screenHeight;
    if (last && chance(30)) {
      left = last->left, top = last->top, width = last->width, height = last->height;
    } else if (chance(60)) {
      width = 1 + below(screenWidth);
      height = 1 + below(screenHeight);
      left = below(screenWidth - width + 1);
      top = below(screenHeight - height + 1);
    }
    const bool onGlobal = !global.empty() && chance(70);
    if (onGlobal) {
      palette = global;
    } else if (palette.empty() || chance(50)) {
      palette.clear();
      for (int c = 0, count = 2 << below(3); c < count; ++c) palette.push_back(kColours[below(6)]);
    }
    const int colours = static_cast<int>(palette.size());
    const bool transparent = chance(40);
    const int clear = below(colours);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint32_t& under = shown[static_cast<size_t>(top + y) * screenWidth + left + x];
        int index = below(colours);
        // Often the colour under it, at whichever index holds it.
        for (int c = 0; c < colours; ++c)
          if (Rgb(palette[c]) == under && !(transparent && c == clear) && chance(50)) index = c;
        if (transparent && chance(20)) index = clear;
        pixels.push_back(static_cast<uint8_t>(index));
        if (!transparent || index != clear) under = Rgb(palette[index]);
      }
    Frame& frame = AppendImage(width, height, palette, pixels);
    frame.left = static_cast<int16_t>(left);
    frame.top = static_cast<int16_t>(top);
    frame.transparent = transparent ? 1 : 0;
    frame.transparentIndex = static_cast<uint16_t>(clear);
    frame.useGlobalPalette = onGlobal ? 1 : 0;
    static const uint8_t kDisposals[] = {0, 0, 1, 1, 2, 2, 3, 4, 6, 7};
    frame.disposal = kDisposals[below(10)];
  }
}

TEST(OptimizeRandomAnimations, CropAndRestoreKeepEveryScreen) {
  constexpr int kAnimations = 400;
  int cropped = 0;
  int restored = 0;
  int madeTransparent = 0;
  int renumbered = 0;
  for (uint32_t n = 0; n < kAnimations; ++n) {
    BuildRandomAnimation(n);
    const std::string built = Describe(ImagePlaces());
    const std::vector<RgbTriple> global(doc.globalPalette, doc.globalPalette + doc.globalColorCount);
    ASSERT_EQ("", Check(CropOnly, ExpectedCrop(), "Optimization completed"))
        << "crop of animation " << n << "\n" << built;
    cropped += Describe(ImagePlaces()) != built;
    renumbered += global.size() != static_cast<size_t>(doc.globalColorCount) ||
                  !std::equal(global.begin(), global.end(), doc.globalPalette,
                              [](const RgbTriple& a, const RgbTriple& b) { return Rgb(a) == Rgb(b); });
    for (int i = 0; i < doc.frameCount; ++i) {
      if (!IsComment(*doc.frames[i])) continue;
      ASSERT_EQ("between", CommentText(i)) << "a comment of animation " << n;
    }
    BuildRandomAnimation(n);
    const int transparent = TransparentFrames();
    ASSERT_EQ("", CheckWithTransparency()) << "crop with transparency of animation " << n << "\n" << built;
    madeTransparent += TransparentFrames() > transparent;
    BuildRandomAnimation(n);
    ASSERT_LE(ColoursShown(), 256u);
    ASSERT_EQ("", Check(RestoreFramesToFullSize, ExpectedRestore(), "Frames restored"))
        << "restore of animation " << n << "\n" << built;
    restored += Describe(ImagePlaces()) != built;
  }
  // The generator must exercise both commands, not only their refusals.
  EXPECT_GT(cropped, kAnimations / 4) << "expected many animations cropped, got " << cropped;
  EXPECT_GT(restored, kAnimations / 4) << "expected many animations restored, got " << restored;
  EXPECT_GT(madeTransparent, kAnimations / 20) << "expected frames made transparent, got " << madeTransparent;
  EXPECT_GT(renumbered, kAnimations / 10) << "expected global palettes renumbered, got " << renumbered;
}

// ---- the file it makes ----------------------------------------------------------

// The size of the file Save As writes without the credit.
long SavedSize(const std::string& name) {
  const std::string path = ScratchPath(name);
  if (!SaveAs(path, 0)) return -1;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return -1;
  fseek(file, 0, SEEK_END);
  const long size = ftell(file);
  fclose(file);
  return size;
}

// gifsicle-o2-sprite.gif is the benchmark reference's -O2 of
// dirty-rect-sprite.gif: its repeated pixels are each written as whichever
// of their colour and the transparent index codes smaller, which no choice
// for a frame as a whole reaches.
TEST(OptimizeWithTransparency, NoLargerThanTheReferenceWithPerPixelChoice) {
  ASSERT_TRUE(LoadFresh(TestDataPath("gifsicle-o2-sprite.gif")));
  const long reference = SavedSize("reference-sprite.gif");
  ASSERT_TRUE(LoadFresh(TestDataPath("dirty-rect-sprite.gif")));
  CropFramesToDirty(Transparency::kForUnchangedPixels);
  const long optimized = SavedSize("optimized-sprite.gif");
  EXPECT_GT(optimized, 0);
  EXPECT_LE(optimized, reference) << "expected no larger than the reference's " << reference << ", got "
                                  << optimized;
}

}  // namespace
