// Composition over the retained picture: stepping forward, the picture built
// for each frame shows, in that frame's colours, what the reference
// compositor's screen shows.
#include "render/frame_composer.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "screen_model.h"
#include "test_support.h"

namespace {

// The same four colours in two orders: where frames alternate between them,
// the picture below a frame must be translated to its indices.
const std::vector<RgbTriple> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
const std::vector<RgbTriple> kReordered = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {0, 0, 0}};

uint32_t Colour(const PaletteEntry& e) { return uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue; }

// "" when every image frame, stepped to in turn, gets a picture that shows
// the reference screen inside its rectangle (what nothing has drawn on may
// show anything); else the first difference.
std::string StepForwardDifference() {
  int width = 0;
  int height = 0;
  ScreenSizeOf(&width, &height);
  const ScreenHistory want = ComposeScreens(width, height);
  DiscardRetainedPicture();
  for (int i = 0; i < doc.frameCount; ++i) {
    doc.currentFrame = static_cast<int16_t>(i);
    if (!BuildNewPicture()) return "frame " + std::to_string(i) + ": no picture";
    const PictureBuffer& p = newPicture;
    const PaletteEntry* palette = doc.frames[i]->palette;
    for (int y = 0; y < p.height; ++y) {
      const uint8_t* row = p.block.data() + static_cast<size_t>(p.height - 1 - y) * (p.width + p.rowPad);
      for (int x = 0; x < p.width; ++x) {
        uint32_t expected = want.pictures[i][static_cast<size_t>(p.top + y) * width + p.left + x];
        uint32_t got = Colour(palette[row[x]]);
        if (expected != kSeeThroughPixel && expected != got)
          return "frame " + std::to_string(i) + " at (" + std::to_string(p.left + x) + "," +
                 std::to_string(p.top + y) + "): expected " + std::to_string(expected) + ", got " +
                 std::to_string(got);
      }
    }
    RetainNewPicture();
  }
  return "";
}

Frame& Append(int left, int top, int width, int height, const std::vector<RgbTriple>& colours, int transparentIndex,
              uint32_t seed) {
  Frame& frame = AppendImage(width, height, colours, Noise(static_cast<size_t>(width) * height, 4, seed));
  frame.left = static_cast<int16_t>(left);
  frame.top = static_cast<int16_t>(top);
  frame.transparent = transparentIndex >= 0;
  frame.transparentIndex = static_cast<uint16_t>(transparentIndex >= 0 ? transparentIndex : 0);
  return frame;
}

// Frames as wide as 40 pixels take both the blocks and the tail of a row;
// frames inside the retained picture are drawn on its own block, the one
// that reaches past it on a new one, and either way the picture below is
// translated whenever the palette changes.
TEST(FrameComposer, SteppingForwardShowsTheReferenceScreenInsideAndBeyondTheRetainedPicture) {
  ResetDocument();
  Append(0, 0, 40, 6, kColours, -1, 1);    // the backdrop
  Append(0, 0, 40, 6, kReordered, 0, 2);   // its own rectangle, transparent
  Append(2, 1, 36, 4, kColours, 3, 3);     // inside, transparent
  Append(5, 0, 40, 6, kReordered, 1, 4);   // reaching past the right edge only
  Append(3, 2, 40, 5, kColours, 2, 5);     // reaching past the bottom only
  Append(1, 1, 41, 5, kColours, -1, 6);    // inside, opaque, on the same palette
  Append(2, 0, 35, 7, kReordered, -1, 7);  // inside, opaque, on the other palette
  EXPECT_EQ("", StepForwardDifference());
  ResetDocument();
}

}  // namespace
