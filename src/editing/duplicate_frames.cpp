// One walk over the image frames composes each screen once, keeping the
// screen the last kept frame showed and left; the list is compacted in one
// pass at the end, so the work grows with the frames, not their square.
#include "editing/duplicate_frames.h"

#include <new>
#include <vector>

#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/dirty_rectangles.h"
#include "editing/screen_walk.h"

namespace {

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
