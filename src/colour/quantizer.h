// Choosing at most N colours for a set of image frames: the exact colours
// they use when there are no more than N (nothing changes colour), else the
// histogram and median cut. The result is doc.workPalette entries
// 0..quantizedCount-1.
#pragma once

#include <cstdint>

#include "document/document.h"

// Distinct 24-bit colours in the order they were first added, up to a limit
// of at most 256.
class ExactColorSet {
 public:
  explicit ExactColorSet(int limit);

  // Adds a colour unless it is held already. False once more distinct
  // colours were offered than the limit allows; the set then takes no more.
  bool Add(uint8_t red, uint8_t green, uint8_t blue);
  // Adds a second entry of a colour, apart from its ordinary one: a
  // transparent index whose colour the frame also shows opaque needs an
  // index of its own. One such entry serves every frame.
  bool AddTransparentCopy(uint8_t red, uint8_t green, uint8_t blue);

  bool overflowed() const { return overflowed_; }
  int count() const { return count_; }
  const RgbTriple& color(int i) const { return colors_[i]; }

  // Copies the colours into doc.workPalette entries 0..count-1 (the fourth
  // byte kept) and sets quantizedCount.
  void Store() const;

 private:
  static constexpr int kSlots = 1024;  // open addressing, at most a quarter full
  bool AddKey(uint32_t key);

  int limit_;
  int count_ = 0;
  bool overflowed_ = false;
  RgbTriple colors_[256] = {};
  uint32_t keys_[kSlots];
};

// Marks in used[256] every index that image frame frameIndex shows: the
// indices found in its stored pixels, its usedColors and its transparent
// index. When the pixels cannot be read into memory only the last two count.
void FrameUsedIndices(int frameIndex, uint8_t used[256]);

// The exact colours the frames show, when there are at most n: into
// doc.workPalette and quantizedCount, true. False, with neither touched, when
// there are more.
bool CollectExactColors(const int* frames, int frameCount, int n);

// The histogram of the frames' pixels cut into at most n colours, into
// doc.workPalette and quantizedCount (0 when nothing could be counted). The
// status bar says so meanwhile.
void QuantizeFrames(const int* frames, int frameCount, int n);
