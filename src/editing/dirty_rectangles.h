// Crop to dirty rectangles and restore to full frames: the two commands that
// trade a frame's size against what it repeats of the frame before it, and
// the crop that also serves "Crop frame to selection". All work is on palette
// indices in the swap file; comment entries are passed over.
//
// Neither command may change what the animation shows, so a pair of image
// frames is only changed where the frame before is known to lie under the
// later one. Disposal is read the way the rest of the program reads it: a
// frame whose disposal has the bit of value 2 set (2, 3, 6, 7) does not leave
// its pixels on the screen for the next frame. Such a frame is never cropped
// or grown itself; as the earlier frame of a pair it stops restoring, and
// allows a crop only when the later frame covers its whole rectangle opaquely
// (the crop then clears that bit, so that it stays under the cropped frame).
#pragma once

#include <cstdint>

#include "document/byte_buffer.h"

// Cuts image frame index down to rows topRow..bottomRow and columns
// leftCut..width-rightCut-1 of itself, moving its position to match; when
// topRow > bottomRow it becomes the 1x1 frame of its own top-left pixel. The
// rows are written over the frame's old data. False, with nothing changed,
// when the ranges leave nothing or memory cannot be had.
bool CropFrame(int index, int topRow, int bottomRow, int leftCut, int rightCut);

// Crops image frame index to the smallest rectangle holding every pixel that
// shows differently from image frame previous, which must lie under it. True
// when the frame was cropped; false when the pair was left as it is.
bool CropToDirty(int index, int previous);

// "Crop frames to dirty rectangles": every image frame but the first against
// the image frame before it, from the last pair to the first, then
// "Optimization completed". "Optimize with transparency" then also makes the
// pixels that repeat what is shown transparent (unchanged_pixels.h). Both
// end by renumbering the palettes for the smallest file (palette_order.h).
enum class Transparency { kLeftAlone, kForUnchangedPixels };
void CropFramesToDirty(Transparency transparency = Transparency::kLeftAlone);

// "Crop frame to selection" on the current frame: corners in frame pixels;
// columns min(x1,x2)..max(x1,x2)-1 and rows min(y1,y2)..max(y1,y2) are kept.
// A selection of no width does nothing.
void CropFrameToSelection(int x1, int y1, int x2, int y2);

// Rebuilds image frame index over the rectangle it shares with image frame
// previous (already restored), drawing it over previous; where neither shows
// a pixel the new frame is see-through. Both must use the same palette. The
// new rows are appended to the swap file. True when the frame was rebuilt;
// false when the pair was left as it is.
bool RestoreFrame(int previous, int index);

// "Restore frames to its full size": every image frame onto one global
// palette, then each frame rebuilt over the one before it from the first
// pair on, then "Frames restored".
void RestoreFramesToFullSize();

// The largest pixel block the crop and the restore take into memory; a pair
// with a larger frame is left as it is, as when memory runs out. Tests lower
// it to force that case.
extern uint32_t dirtyBlockLimit;

// Reads image frame frameIndex's stored rows into block, unless the block
// would pass dirtyBlockLimit or memory cannot be had (false, block empty).
bool ReadLimitedBlock(int frameIndex, ByteBuffer* block);
