// A reference compositor for the tests, written from the GIF rules alone and
// sharing no code with the program's own composition: the logical screen
// starts see-through; each image frame is drawn without its transparent
// pixels; then its disposal applies (2 clears the frame's rectangle to
// see-through, 3 puts back the screen as it was before the frame, every
// other value keeps the frame).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A screen pixel: 0xRRGGBB, or this when nothing has been drawn there.
constexpr uint32_t kSeeThroughPixel = 0xFF000000u;

// What the screen shows after each image frame of the document, in list
// order. Pictures beyond a memory budget are kept only as hashes.
struct ScreenHistory {
  int width = 0;
  int height = 0;
  std::vector<uint64_t> hashes;
  std::vector<std::vector<uint32_t>> pictures;  // the first ones, in full
};

// The screen large enough for the document's screen and every frame.
void ScreenSizeOf(int* width, int* height);

ScreenHistory ComposeScreens(int width, int height);

// "" when both histories show the same; else the first difference.
std::string ScreenDifference(const ScreenHistory& want, const ScreenHistory& got);
