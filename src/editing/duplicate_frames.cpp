// One walk over the image frames composes each screen once, keeping the
// screen the last kept frame showed and left; the list is compacted in one
// pass at the end, so the work grows with the frames, not their square.
#include "editing/duplicate_frames.h"

#include <new>
#include <vector>

#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/dirty_rectangles.h"

namespace {

constexpr uint32_t kNothingDrawn = 0xFF000000u;

using Screen = std::vector<uint32_t>;

// The logical screen, grown to hold every image frame.
void ScreenExtent(int* width, int* height) {
  *width = doc.screenWidth;
  *height = doc.screenHeight;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    const Frame& frame = *doc.frames[i];
    if (frame.left + frame.width > *width) *width = frame.left + frame.width;
    if (frame.top + frame.height > *height) *height = frame.top + frame.height;
  }
}

class ScreenWalk {
 public:
  ScreenWalk(int width, int height) : width_(width), screen_(static_cast<size_t>(width) * height, kNothingDrawn) {}

  // Draws image frame index: shown() is what it shows, left() what it leaves
  // for the next frame. False when its pixels cannot be had.
  bool Draw(int index) {
    const Frame& frame = *doc.frames[index];
    ByteBuffer block;
    if (frame.width > 0 && frame.height > 0 && !ReadLimitedBlock(index, &block)) return false;
    if (frame.disposal == 3) before_ = screen_;
    const int32_t stride = RowStride(frame.width);
    for (int y = 0; y < frame.height; ++y) {
      const uint8_t* row = block.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
      uint32_t* out = &screen_[static_cast<size_t>(frame.top + y) * width_ + frame.left];
      for (int x = 0; x < frame.width; ++x) {
        if (frame.transparent && row[x] == (frame.transparentIndex & 0xFF)) continue;
        const PaletteEntry& c = frame.palette[row[x]];
        out[x] = static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
      }
    }
    shown_ = screen_;
    if (frame.disposal == 2) {
      for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) screen_[static_cast<size_t>(frame.top + y) * width_ + frame.left + x] = kNothingDrawn;
    } else if (frame.disposal == 3) {
      screen_.swap(before_);
    }
    return true;
  }
  const Screen& shown() const { return shown_; }
  const Screen& left() const { return screen_; }

 private:
  int width_;
  Screen screen_, shown_, before_;
};

// Which image frames go, and the delays of those that stay. False when
// memory ran out.
bool PlanMerges(std::vector<uint8_t>* goes, std::vector<uint16_t>* delays) {
  int width = 0, height = 0;
  ScreenExtent(&width, &height);
  ScreenWalk walk(width, height);
  Screen keptShown, keptLeft;
  int kept = -1;
  for (int i = 0; i < doc.frameCount; ++i) {
    (*delays)[i] = doc.frames[i]->delay;
    if (!IsImageFrame(i)) continue;
    if (!walk.Draw(i)) return false;
    if (kept >= 0 && (*delays)[kept] + (*delays)[i] <= 65535 && walk.shown() == keptShown &&
        walk.left() == keptLeft) {
      (*delays)[kept] = static_cast<uint16_t>((*delays)[kept] + (*delays)[i]);
      (*goes)[i] = 1;
      continue;
    }
    kept = i;
    keptShown = walk.shown();
    keptLeft = walk.left();
  }
  return true;
}

}  // namespace

int RemoveDuplicateFrames() {
  std::vector<uint8_t> goes;
  std::vector<uint16_t> delays;
  try {
    goes.assign(doc.frameCount, 0);
    delays.assign(doc.frameCount, 0);
    if (!PlanMerges(&goes, &delays)) return -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
  int kept = 0;
  int current = 0;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (goes[i]) {
      DeleteFramePaletteIfAny(i);
      doc.frames[i].reset();
    } else {
      doc.frames[i]->delay = delays[i];
      doc.frames[kept] = std::move(doc.frames[i]);
      doc.framePalettes[kept] = doc.framePalettes[i];
      ++kept;
    }
    if (i == doc.currentFrame) current = kept > 0 ? kept - 1 : 0;
  }
  const int removed = doc.frameCount - kept;
  for (int i = kept; i < doc.frameCount; ++i) doc.framePalettes[i] = nullptr;
  doc.frameCount = static_cast<int16_t>(kept);
  doc.currentFrame = static_cast<int16_t>(current);
  if (doc.frameCount < 2) SetAnimationEnabled(false);
  return removed;
}
