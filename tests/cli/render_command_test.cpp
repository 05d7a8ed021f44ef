// frambo-cli render: each image entry's bitmap against the screen worked out
// independently from the frames by the stepping rules (clipping to the
// screen and the black around the picture included).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "document/document.h"
#include "gif_builder.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// A 24-bit bottom-up bitmap's pixels as 0xRRGGBB, top row first; nothing
// when its headers, size or pad bytes are not those of one.
struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

Bitmap ReadBitmap(const fs::path& path) {
  std::vector<uint8_t> b = FileBytes(path.string());
  if (b.size() < 54 || b[0] != 'B' || ReadLe32(&b[2]) != b.size() || ReadLe32(&b[10]) != 54 || b[28] != 24 ||
      ReadLe32(&b[30]) != 0)
    return {};
  Bitmap bitmap{static_cast<int>(ReadLe32(&b[18])), static_cast<int>(ReadLe32(&b[22])), {}};
  size_t stride = (static_cast<size_t>(bitmap.width) * 3 + 3) & ~size_t{3};
  if (b.size() != 54 + stride * bitmap.height) return {};
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const uint8_t* row = b.data() + 54 + stride * y;
    for (int x = 0; x < bitmap.width; ++x)
      bitmap.pixels.push_back(row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x]);
    for (size_t pad = static_cast<size_t>(bitmap.width) * 3; pad < stride; ++pad)
      if (row[pad] != 0) return {};
  }
  return bitmap;
}

// The screens a viewer stepping forward shows, worked out on the screen
// itself: a frame stands alone (every pixel as stored) at the start and after
// a frame whose disposal restores; otherwise it is drawn over what was shown,
// its transparent pixels passing, inside the bounding box of both, where
// nothing drawn is index 0. Black (-1) outside. Every frame must share one
// palette, so that no colour needs translating.
std::vector<std::vector<int>> SteppedScreens(int screenWidth, int screenHeight) {
  std::vector<std::vector<int>> screens(doc.frameCount);
  std::vector<int> canvas;
  int boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
  bool alone = true;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    const Frame& f = *doc.frames[i];
    if (alone) {
      canvas.assign(static_cast<size_t>(screenWidth) * screenHeight, -1);
      boxLeft = f.left, boxTop = f.top, boxRight = f.left + f.width, boxBottom = f.top + f.height;
    } else {
      boxLeft = std::min<int>(boxLeft, f.left), boxTop = std::min<int>(boxTop, f.top);
      boxRight = std::max(boxRight, f.left + f.width), boxBottom = std::max(boxBottom, f.top + f.height);
    }
    for (int y = std::max(boxTop, 0); y < std::min(boxBottom, screenHeight); ++y)
      for (int x = std::max(boxLeft, 0); x < std::min(boxRight, screenWidth); ++x)
        if (canvas[y * screenWidth + x] < 0) canvas[y * screenWidth + x] = 0;
    std::vector<uint8_t> pixels = FramePixels(i);
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        int sx = f.left + x, sy = f.top + y;
        int pixel = pixels[static_cast<size_t>(y) * f.width + x];
        if (sx >= screenWidth || sy >= screenHeight) continue;
        if (!alone && f.transparent && pixel == f.transparentIndex) continue;
        canvas[sy * screenWidth + sx] = pixel;
      }
    screens[i] = canvas;
    alone = (f.disposal & 2) != 0;
  }
  return screens;
}

uint32_t Colour(const PaletteEntry& e) { return e.red << 16 | e.green << 8 | e.blue; }

TEST(RenderCommand, EveryImageEntryShowsTheScreenSteppedTo) {
  const fs::path folder = ScratchPath("render");
  // A 4x2 frame at (3,1) on a 5x3 screen: clipped, black around it; global
  // colour i is (i, i, 255 - i), so index 0 is blue, not black.
  const std::string clipped = WriteScratchFile(
      "clipped.gif", GifBuilder().Header().Screen(5, 3, 4).Image(3, 1, 4, 2, {1, 2, 3, 0, 0, 3, 2, 1}).Trailer().bytes);
  for (const std::string& path :
       {TestDataPath("disposal-mixed.gif"), TestDataPath("frame-offsets.gif"), TestDataPath("transparency.gif"),
        TestDataPath("comments-between-frames.gif"), TestDataPath("disposal-2-background.gif"), clipped}) {
    const std::string name = fs::path(path).filename().string();
    const fs::path out = folder / name;  // made with its parent
    CliResult run = RunTool({"render", path, out.string()});
    ASSERT_EQ(run.status, kExitOk) << name << ": " << run.err;
    ASSERT_TRUE(LoadFresh(path));
    const PaletteEntry* palette = doc.frames[NextImageFrame(-1)]->palette;
    for (int i = 0; i < doc.frameCount; ++i)
      ASSERT_TRUE(!IsImageFrame(i) || memcmp(doc.frames[i]->palette, palette, sizeof(PaletteEntry) * 256) == 0)
          << name << ": the check needs one palette for every frame";
    std::vector<std::vector<int>> screens = SteppedScreens(doc.screenWidth, doc.screenHeight);
    for (int i = 0; i < doc.frameCount; ++i) {
      char file[32];
      snprintf(file, sizeof file, "render-%03d.bmp", i);
      if (!IsImageFrame(i)) {
        EXPECT_FALSE(fs::exists(out / file)) << name << ": expected no bitmap for comment entry " << i;
        continue;
      }
      Bitmap got = ReadBitmap(out / file);
      ASSERT_TRUE(got.width == doc.screenWidth && got.height == doc.screenHeight)
          << name << " " << file << ": expected a valid bitmap of the screen's size";
      for (size_t p = 0; p < got.pixels.size(); ++p) {
        int index = screens[i][p];
        uint32_t want = index < 0 ? 0 : Colour(palette[index]);
        if (got.pixels[p] != want) {
          ADD_FAILURE() << name << " " << file << " at (" << p % got.width << "," << p / got.width << "): expected "
                        << std::hex << want << ", got " << got.pixels[p];
          break;
        }
      }
    }
  }
  fs::remove_all(folder);
}

}  // namespace
