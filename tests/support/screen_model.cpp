// The reference compositor of the tests.
#include "screen_model.h"

#include <cstdio>

#include "document/document.h"
#include "test_support.h"

namespace {

// Full pictures kept per history; the rest are compared by hash only.
constexpr size_t kPixelBudget = 16u << 20;

uint64_t Hash(const std::vector<uint32_t>& screen) {
  uint64_t hash = 1469598103934665603ull;
  for (uint32_t pixel : screen) hash = (hash ^ pixel) * 1099511628211ull;
  return hash;
}

std::string Colour(uint32_t pixel) {
  if (pixel == kSeeThroughPixel) return "see-through";
  char text[16];
  snprintf(text, sizeof text, "%06X", pixel);
  return text;
}

}  // namespace

void ScreenSizeOf(int* width, int* height) {
  *width = doc.screenWidth;
  *height = doc.screenHeight;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    if (frame.left + frame.width > *width) *width = frame.left + frame.width;
    if (frame.top + frame.height > *height) *height = frame.top + frame.height;
  }
}

ScreenHistory ComposeScreens(int width, int height) {
  ScreenHistory history;
  history.width = width;
  history.height = height;
  std::vector<uint32_t> screen(static_cast<size_t>(width) * height, kSeeThroughPixel);
  size_t kept = 0;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    const std::vector<uint32_t> before = frame.disposal == 3 ? screen : std::vector<uint32_t>();
    const std::vector<uint8_t> pixels = FramePixels(i);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        uint8_t index = pixels[static_cast<size_t>(y) * frame.width + x];
        if (frame.transparent && index == (frame.transparentIndex & 0xFF)) continue;
        const PaletteEntry& c = frame.palette[index];
        screen[static_cast<size_t>(frame.top + y) * width + frame.left + x] =
            static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
      }
    }
    history.hashes.push_back(Hash(screen));
    if (kept + screen.size() <= kPixelBudget) {
      history.pictures.push_back(screen);
      kept += screen.size();
    }
    if (frame.disposal == 2) {
      for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
          screen[static_cast<size_t>(frame.top + y) * width + frame.left + x] = kSeeThroughPixel;
    } else if (frame.disposal == 3) {
      screen = before;
    }
  }
  return history;
}

std::string ScreenDifference(const ScreenHistory& want, const ScreenHistory& got) {
  if (want.width != got.width || want.height != got.height)
    return "screen: expected " + std::to_string(want.width) + "x" + std::to_string(want.height) + ", got " +
           std::to_string(got.width) + "x" + std::to_string(got.height);
  if (want.hashes.size() != got.hashes.size())
    return "image frames: expected " + std::to_string(want.hashes.size()) + ", got " +
           std::to_string(got.hashes.size());
  for (size_t f = 0; f < want.hashes.size(); ++f) {
    if (f < want.pictures.size() && f < got.pictures.size()) {
      const std::vector<uint32_t>& a = want.pictures[f];
      const std::vector<uint32_t>& b = got.pictures[f];
      for (size_t p = 0; p < a.size(); ++p) {
        if (a[p] != b[p])
          return "image frame " + std::to_string(f) + " pixel (" + std::to_string(p % want.width) + "," +
                 std::to_string(p / want.width) + "): expected " + Colour(a[p]) + ", got " + Colour(b[p]);
      }
    } else if (want.hashes[f] != got.hashes[f]) {
      return "image frame " + std::to_string(f) + ": the screens differ";
    }
  }
  return "";
}
