// The screens an animation shows, composed by the GIF rules one image frame
// after the other: the screen starts with nothing drawn, a frame is drawn
// without its transparent pixels, then its disposal applies (2 clears its
// rectangle, 3 puts the screen back as it was before it, any other value
// keeps it). Colours are compared, not indices, so frames of different
// palettes meet on one screen.
#pragma once

#include <cstdint>
#include <vector>

// A screen pixel: 0xRRGGBB, or kNothingDrawn.
constexpr uint32_t kNothingDrawn = 0xFF000000u;
using Screen = std::vector<uint32_t>;

// The logical screen, grown to hold every image frame.
void ScreenExtent(int* width, int* height);

// 0xRRGGBB of palette entry index of frame.
struct Frame;
uint32_t ColourOf(const Frame& frame, int index);

class ScreenWalk {
 public:
  // May throw std::bad_alloc, as the screens are allocated.
  ScreenWalk(int width, int height);

  // Draws image frame index: shown() is what it shows, left() what it
  // leaves for the next frame, which draws over it. False when its pixels
  // cannot be had.
  bool Draw(int index);
  const Screen& shown() const { return shown_; }
  const Screen& left() const { return screen_; }
  int width() const { return width_; }

 private:
  int width_;
  Screen screen_, shown_, before_;
};
