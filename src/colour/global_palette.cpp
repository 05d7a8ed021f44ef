// The global palette and remapping. A save builds the global palette over
// the frames that use it; when those frames already share one palette that
// holds their colours, that palette is kept as it is, so saving an unchanged
// file changes neither colours nor indices. Otherwise their exact colours
// are used when there are few enough, and median cut only beyond that.
#include "colour/global_palette.h"

#include <vector>

#include <cstring>

#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "colour/quantizer.h"
#include "document/byte_buffer.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"

LoadedColor loadedPalette[256] = {};
int16_t loadedColorCount = 0;
uint32_t remapBlockLimit = 0xFFFFFFFF;

namespace {

bool SameColor(const PaletteEntry& a, const PaletteEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The colour of target index i of the mode's palette.
void TargetColor(RemapMode mode, int i, int* red, int* green, int* blue) {
  if (mode == RemapMode::kGlobal) {
    *red = doc.globalPalette[i].red;
    *green = doc.globalPalette[i].green;
    *blue = doc.globalPalette[i].blue;
  } else {
    *red = loadedPalette[i].red;
    *green = loadedPalette[i].green;
    *blue = loadedPalette[i].blue;
  }
}

int TargetCount(RemapMode mode) {
  int count = mode == RemapMode::kGlobal ? doc.globalColorCount : mode == RemapMode::kLoaded ? loadedColorCount : 256;
  return count < 0 ? 0 : count > 256 ? 256 : count;
}

// A palette entry as the word it is in memory, and the colour part of it.
constexpr uint32_t kColorBits = 0x00FFFFFF;

uint32_t EntryWord(int red, int green, int blue) {
  const PaletteEntry entry = {static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
  uint32_t word = 0;
  memcpy(&word, &entry, sizeof word);
  return word;
}

// What remapping onto the global palette last worked out, kept because a
// save puts every frame, mostly of one palette, onto the same one: that
// global palette as the words of palette entries (reserved bytes 0), and the
// map last built onto it and the frame palette it was built from, since each
// entry the global palette does not hold at its own index costs a
// nearest-colour search.
struct GlobalMemo {
  bool known = false;
  int16_t count = 0;
  RgbTriple global[256];
  uint32_t words[256];
  bool mapKnown = false;
  PaletteEntry palette[256];
  uint8_t map[256];
};
GlobalMemo globalMemo;

// The memo for the global palette as it is now; a changed one forgets the map.
GlobalMemo& CurrentGlobalMemo() {
  GlobalMemo& memo = globalMemo;
  if (memo.known && memo.count == doc.globalColorCount &&
      memcmp(memo.global, doc.globalPalette, sizeof memo.global) == 0)
    return memo;
  memo.known = true;
  memo.count = doc.globalColorCount;
  memcpy(memo.global, doc.globalPalette, sizeof memo.global);
  for (int i = 0; i < 256; ++i)
    memo.words[i] = EntryWord(memo.global[i].red, memo.global[i].green, memo.global[i].blue);
  memo.mapKnown = false;
  return memo;
}

// Every one of the 256 entries gets a target, so that no pixel keeps a
// stale index into the old palette.
void BuildMap(const Frame& frame, RemapMode mode, uint8_t map[256]) {
  const bool global = mode == RemapMode::kGlobal;
  if (global) {
    const GlobalMemo& memo = CurrentGlobalMemo();
    if (memo.mapKnown && memcmp(memo.palette, frame.palette, sizeof memo.palette) == 0) {
      memcpy(map, memo.map, sizeof memo.map);
      return;
    }
  }
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = frame.palette[i];
    int target = 0;
    switch (mode) {
      case RemapMode::kLoaded:
        target = NearestLoadedColor(entry.red, entry.green, entry.blue);
        break;
      case RemapMode::kGlobal: {
        // An entry the global palette already holds at the same index keeps
        // it: the nearest search would move a duplicate to its first copy.
        const RgbTriple& global = doc.globalPalette[i];
        bool same = i < doc.globalColorCount && global.red == entry.red && global.green == entry.green &&
                    global.blue == entry.blue;
        target = same ? i : NearestGlobalColor(entry.red, entry.green, entry.blue);
        break;
      }
      case RemapMode::kGrey:
        target = (entry.red + entry.green + entry.blue) / 3;
        break;
    }
    map[i] = static_cast<uint8_t>(target);
  }
  if (global) {
    GlobalMemo& memo = globalMemo;
    memo.mapKnown = true;
    memcpy(memo.palette, frame.palette, sizeof memo.palette);
    memcpy(memo.map, map, sizeof memo.map);
  }
}

// When the transparent index lands on a target that opaque pixels of the
// frame also land on, those pixels would turn transparent: the transparent
// index moves to the nearest target no opaque pixel uses, if there is one.
// An opaque index kept on a second copy of its colour (BuildMap) may hold
// the very copy the exact palette keeps for the transparent index: when no
// target is left free, the opaque indices go to the first copies.
void KeepTransparentApart(const Frame& frame, RemapMode mode, const uint8_t shown[256], uint8_t map[256]) {
  if (!frame.transparent || frame.transparentIndex > 255) return;
  int transparent = frame.transparentIndex;
  uint8_t taken[256] = {};
  for (int i = 0; i < 256; ++i)
    if (shown[i] && i != transparent) taken[map[i]] = 1;
  if (!taken[map[transparent]]) return;
  int free = 0;
  for (int j = 0; j < TargetCount(mode); ++j) free += !taken[j];
  if (free == 0 && mode == RemapMode::kGlobal) {
    memset(taken, 0, sizeof taken);
    for (int i = 0; i < 256; ++i) {
      if (!shown[i] || i == transparent) continue;
      const PaletteEntry& entry = frame.palette[i];
      map[i] = static_cast<uint8_t>(NearestGlobalColor(entry.red, entry.green, entry.blue));
      taken[map[i]] = 1;
    }
    if (!taken[map[transparent]]) return;
  }
  const PaletteEntry& entry = frame.palette[transparent];
  int best = -1;
  int32_t bestDistance = INT32_MAX;
  for (int j = 0; j < TargetCount(mode); ++j) {
    if (taken[j]) continue;
    int r = 0, g = 0, b = 0;
    TargetColor(mode, j, &r, &g, &b);
    int32_t distance = ColorDistance(entry.red, entry.green, entry.blue, r, g, b);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = j;
    }
  }
  if (best >= 0) map[transparent] = static_cast<uint8_t>(best);
}

// The image frames that use the global palette, in list order.
int GlobalPaletteFrames(int* frames) {
  int count = 0;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (!IsComment(frame) && frame.useGlobalPalette) frames[count++] = i;
  }
  return count;
}

// The number of entries of the palette all the frames share, when they
// share one of at most n entries that holds every index they show; else 0.
// *highest gets the highest index any of them uses.
// shown gets FrameUsedIndices' marks of each frame, 256 per frame, as far
// as the frames were looked at.
int SharedPaletteCount(const int* frames, int frameCount, int n, int* highest, uint8_t* shown) {
  int count = 0;
  for (int f = 0; f < frameCount; ++f)
    if (doc.frames[frames[f]]->colorCount > count) count = doc.frames[frames[f]]->colorCount;
  if (count < 1 || count > n) return 0;
  const Frame& first = *doc.frames[frames[0]];
  for (int f = 0; f < frameCount; ++f) {
    const Frame& frame = *doc.frames[frames[f]];
    if (memcmp(frame.palette, first.palette, sizeof(PaletteEntry) * static_cast<size_t>(count)) != 0)
      for (int i = 0; i < count; ++i)
        if (!SameColor(frame.palette[i], first.palette[i])) return 0;
    uint8_t* used = shown + static_cast<size_t>(f) * 256;
    FrameUsedIndices(frames[f], used);
    for (int i = count; i < 256; ++i)
      if (used[i]) return 0;
    for (int i = *highest + 1; i < count; ++i)
      if (used[i]) *highest = i;
  }
  return count;
}

// Whether map keeps every index marked in shown where it is.
bool KeepsEveryIndex(const uint8_t map[256], const uint8_t shown[256]) {
  uint8_t moved = 0;  // no branch: the compiler takes many entries at a time
  for (int i = 0; i < 256; ++i) moved |= static_cast<uint8_t>((shown[i] != 0) & (map[i] != i));
  return moved == 0;
}

// The mode's palette as the words of palette entries, reserved bytes 0.
const uint32_t* TargetWords(RemapMode mode) {
  if (mode == RemapMode::kGlobal) return CurrentGlobalMemo().words;
  static uint32_t words[256];
  for (int i = 0; i < 256; ++i) {
    int r = 0, g = 0, b = 0;
    TargetColor(mode, i, &r, &g, &b);
    words[i] = EntryWord(r, g, b);
  }
  return words;
}

// Whether the frame's palette has the colours of target, and puts them there
// (each entry keeps its reserved byte) when not.
bool PutPalette(Frame& frame, const uint32_t* target) {
  uint32_t entries[256];
  memcpy(entries, frame.palette, sizeof entries);
  uint32_t differ = 0;
  for (int i = 0; i < 256; ++i) differ |= (entries[i] ^ target[i]) & kColorBits;
  if (differ == 0) return true;
  for (int i = 0; i < 256; ++i) entries[i] = (entries[i] & ~kColorBits) | target[i];
  memcpy(frame.palette, entries, sizeof entries);
  return false;
}

// Puts frame frameIndex on the mode's palette through map: its display map,
// transparent index, used indices (already mapped) and palette. A frame that
// is there already (saving an unchanged document) keeps the palette shown
// for it.
void AdoptTarget(int frameIndex, RemapMode mode, const uint8_t map[256], const uint8_t used[256]) {
  Frame& frame = *doc.frames[frameIndex];
  memcpy(frame.displayMap, map, sizeof frame.displayMap);
  frame.sortFlag = 0;
  frame.interlaced = 0;
  if (frame.transparent && frame.transparentIndex < 256) frame.transparentIndex = map[frame.transparentIndex];
  memcpy(frame.usedColors, used, sizeof frame.usedColors);
  if (PutPalette(frame, TargetWords(mode))) return;
  DeleteFramePaletteIfAny(frameIndex);
  CreateFramePalette(frameIndex);
}

}  // namespace

bool RemapFrame(int frameIndex, RemapMode mode, const uint8_t* shownIndices) {
  if (frameIndex < 0 || frameIndex >= doc.frameCount) return false;
  Frame& frame = *doc.frames[frameIndex];
  if (IsComment(frame) || TargetCount(mode) == 0) return false;
  uint8_t map[256];
  BuildMap(frame, mode, map);
  if (shownIndices != nullptr && KeepsEveryIndex(map, shownIndices)) {
    // Nothing moves, so the pixels stay as they are and need not be read:
    // the transparent index (among the shown ones) keeps its place apart,
    // and the indices used are the ones shown.
    AdoptTarget(frameIndex, mode, map, shownIndices);
    return true;
  }

  // Everything that can fail comes first: until the pixels are in memory the
  // frame is not touched.
  int32_t width = frame.width > 0 ? frame.width : 0;
  int32_t height = frame.height > 0 ? frame.height : 0;
  int32_t stride = RowStride(width);
  uint64_t blockSize = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (blockSize > remapBlockLimit || doc.swapEnd + blockSize > kSwapLimit) return false;
  ByteBuffer block;
  if (!block.Allocate(static_cast<size_t>(blockSize))) return false;
  doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(blockSize));

  uint8_t shown[256] = {};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x) shown[row[x]] = 1;
  }
  KeepTransparentApart(frame, mode, shown, map);
  uint8_t used[256] = {};
  for (int i = 0; i < 256; ++i)
    if (frame.usedColors[i] || shown[i]) used[map[i]] = 1;
  if (frame.transparent && frame.transparentIndex < 256) used[map[frame.transparentIndex]] = 1;
  AdoptTarget(frameIndex, mode, map, used);

  // Pixels that all keep their index need not be written again (saving an
  // unchanged file remaps every frame onto the palette it already has).
  bool unchanged = true;
  for (int i = 0; i < 256 && unchanged; ++i) unchanged = !shown[i] || map[i] == i;
  if (unchanged) return true;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x) row[x] = map[row[x]];
  }
  return StoreFrameBlock(frame, block.data(), static_cast<uint32_t>(blockSize));
}

void BuildGlobalPalette(int n) {
  if (n < 2) n = 2;
  if (n > 256) n = 256;
  SetStatusText("Calculating global palette");
  doc.hasGlobalPalette = 0;
  screenDescriptor.tableSize = static_cast<int16_t>(n);
  screenDescriptor.packed = static_cast<uint8_t>(0x78 | SizeCode(n));
  screenDescriptor.backgroundIndex = doc.backgroundIndex;

  std::vector<int> list(static_cast<size_t>(doc.frameCount) + 1);
  int* frames = list.data();
  int frameCount = GlobalPaletteFrames(frames);
  // Each frame's shown indices, when the frames already share their palette.
  std::vector<uint8_t> shown(static_cast<size_t>(frameCount) * 256);
  doc.globalColorCount = 0;
  // The table is written as far as the highest index the frames use (or the
  // background index): entries past it are never shown.
  int highestUsed = 0;
  bool sharedPalette = false;
  if (frameCount > 0) {
    SetStatusText("Calculating optimal palette ...");
    int shared = SharedPaletteCount(frames, frameCount, n, &highestUsed, shown.data());
    if (shared == 0) highestUsed = 255;
    sharedPalette = shared > 0;
    if (shared > 0) {
      const Frame& first = *doc.frames[frames[0]];
      for (int i = 0; i < shared; ++i)
        doc.globalPalette[i] = RgbTriple{first.palette[i].red, first.palette[i].green, first.palette[i].blue};
      doc.globalColorCount = static_cast<int16_t>(shared);
    } else {
      if (!CollectExactColors(frames, frameCount, n)) QuantizeFrames(frames, frameCount, n);
      for (int i = 0; i < quantizedCount; ++i)
        doc.globalPalette[i] = RgbTriple{doc.workPalette[i].red, doc.workPalette[i].green, doc.workPalette[i].blue};
      doc.globalColorCount = quantizedCount;
    }
    // Entries past the colours are written too when the table is padded to
    // a power of two: keep them defined.
    for (int i = doc.globalColorCount; i < 256; ++i) doc.globalPalette[i] = RgbTriple{0, 0, 0};
    SetStatusText("");
  }

  // A frame whose pixels cannot be had keeps its own palette and pixels, so
  // it leaves the global palette and is saved with its own table; with no
  // colours at all (frames without pixels, or no memory for the histogram)
  // every frame does.
  for (int f = 0; f < frameCount; ++f) {
    Frame& frame = *doc.frames[frames[f]];
    const uint8_t* known = sharedPalette ? shown.data() + static_cast<size_t>(f) * 256 : nullptr;
    if (doc.globalColorCount != 0 && RemapFrame(frames[f], RemapMode::kGlobal, known))
      frame.colorCount = doc.globalColorCount;
    else
      frame.useGlobalPalette = 0;
  }
  if (doc.globalColorCount != 0) {
    doc.hasGlobalPalette = 1;
    const int used = 1 + (highestUsed > doc.backgroundIndex ? highestUsed : doc.backgroundIndex);
    screenDescriptor.tableSize = static_cast<int16_t>(used < doc.globalColorCount ? used : doc.globalColorCount);
    screenDescriptor.packed = static_cast<uint8_t>(0xF8 | SizeCode(screenDescriptor.tableSize));
    screenDescriptor.backgroundIndex = doc.backgroundIndex;
  }
  EndProgress();
}
