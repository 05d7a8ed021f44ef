// Picking the transparent or the background colour: the pick state and
// what a pick changes.
#include "colour/color_pick.h"

#include "document/document.h"
#include "document/ui_operations.h"

uint8_t pickMode = kNoPick;

void ArmBackgroundPick() { pickMode = pickMode == kPickBackground ? kNoPick : kPickBackground; }

void ArmTransparentPick() {
  if (pickMode == kNoPick)
    pickMode = kPickTransparent;
  else if (pickMode == kPickTransparent)
    pickMode = kNoPick;
}

void ApplyPick(uint8_t index) {
  if (doc.frameCount == 0) return;
  if (pickMode == kPickTransparent) {
    // A comment entry has no colours to make transparent.
    if (!IsImageFrame(doc.currentFrame)) return;
    Frame& frame = *doc.frames[doc.currentFrame];
    frame.transparent = 1;
    frame.transparentIndex = index;
    RefreshFrameView(RefreshMode::kFull);
  } else if (pickMode == kPickBackground) {
    doc.backgroundIndex = index;
  } else {
    return;
  }
  SetModified(true);
}

void ReleasePick(uint8_t index, bool applies) {
  if (pickMode == kNoPick) return;
  if (applies) ApplyPick(index);
  pickMode = kNoPick;
}
