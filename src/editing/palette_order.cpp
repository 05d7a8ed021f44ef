// Renumbering the palettes. Each image frame is surveyed once: which colours
// its opaque pixels show, and what its data costs at every code size it can
// take. Relabelling pixels leaves the LZW strings as they are, so those costs
// hold under any numbering, and the orders tried are weighed without coding
// again. A transparent frame takes the lowest index its colours leave free.
#include "editing/palette_order.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "editing/coded_size.h"
#include "editing/dirty_rectangles.h"
#include "editing/screen_walk.h"

namespace {

constexpr size_t kCannot = SIZE_MAX;
// The greedy order compares every frame with every other: longer animations
// are weighed with the other orders only.
constexpr size_t kGreedyFrameLimit = 4096;

// Colours numbered in the order they are met, at most 256.
class ColourList {
 public:
  // The number of colour rgb, added when it is new; -1 when it would be the 257th.
  int Number(uint32_t rgb) {
    auto found = numbers_.find(rgb);
    if (found != numbers_.end()) return found->second;
    if (colours_.size() == 256) return -1;
    numbers_.emplace(rgb, static_cast<int>(colours_.size()));
    colours_.push_back(rgb);
    return static_cast<int>(colours_.size()) - 1;
  }
  int Find(uint32_t rgb) const {
    auto found = numbers_.find(rgb);
    return found == numbers_.end() ? -1 : found->second;
  }
  int count() const { return static_cast<int>(colours_.size()); }
  uint32_t colour(int number) const { return colours_[static_cast<size_t>(number)]; }

 private:
  std::unordered_map<uint32_t, int> numbers_;
  std::vector<uint32_t> colours_;
};

using ColourSet = std::bitset<256>;

// An image frame as the renumbering sees it.
struct FrameUse {
  int index = 0;
  bool transparent = false;
  ColourSet colours;      // the numbers of the colours its opaque pixels show
  int highest = 0;        // the highest index it uses now, its transparent one included
  bool merges = false;    // two of the indices it shows have one colour
  size_t cost[9] = {};    // coded bytes by minimum code size; kCannot below what it needs
};

int ClearIndex(const Frame& frame) { return frame.transparentIndex & 0xFF; }

bool IsClear(const Frame& frame, int index) { return frame.transparent && index == ClearIndex(frame); }

// Reads image frame index into use, numbering its colours in colours (and
// noting the lowest index each is met at in lowestIndex, when given). False
// when its pixels cannot be had or there would be more than 256 colours.
bool Survey(int index, ColourList* colours, int* lowestIndex, FrameUse* use) {
  const Frame& frame = *doc.frames[index];
  use->index = index;
  use->transparent = frame.transparent != 0;
  use->highest = frame.transparent ? ClearIndex(frame) : 0;
  const bool hasPixels = frame.width > 0 && frame.height > 0;
  ByteBuffer block;
  if (hasPixels && !ReadLimitedBlock(index, &block)) return false;
  const int32_t stride = RowStride(frame.width);
  bool shown[256] = {};
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int x = 0; x < frame.width; ++x) shown[row[x]] = true;
  }
  // Every class of pixel (a colour, or see-through) gets a symbol of its
  // own, so that the costs are those of the pixels after the renumbering.
  int symbolOfClass[257];
  std::fill(symbolOfClass, symbolOfClass + 257, -1);
  uint8_t symbol[256] = {};
  int symbols = 0;
  int indicesShown = 0;
  for (int i = 0; i < 256; ++i) {
    if (!shown[i]) continue;
    ++indicesShown;
    if (i > use->highest) use->highest = i;
    int cls = 256;
    if (!IsClear(frame, i)) {
      cls = colours->Number(ColourOf(frame, i));
      if (cls < 0) return false;
      use->colours.set(static_cast<size_t>(cls));
      if (lowestIndex != nullptr && i < lowestIndex[cls]) lowestIndex[cls] = i;
    }
    if (symbolOfClass[cls] < 0) symbolOfClass[cls] = symbols++;
    symbol[i] = static_cast<uint8_t>(symbolOfClass[cls]);
  }
  use->merges = symbols < indicesShown;

  for (int32_t y = 0; y < frame.height; ++y) {
    uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < frame.width; ++x) row[x] = symbol[row[x]];
  }
  const int slots = static_cast<int>(use->colours.count()) + (use->transparent ? 1 : 0);
  const int least = MinCodeSize(slots - 1);
  for (int size = 0; size <= 8; ++size)
    use->cost[size] = size < least ? kCannot : CodedSize(block.data(), frame.width, frame.height, size);
  return true;
}

// The highest index use takes when colour c gets index rankOf[c]; *clear
// gets the lowest index its colours leave free, for its transparent pixels.
int HighestIndex(const FrameUse& use, const std::vector<int>& rankOf, int* clear) {
  std::bitset<257> taken;
  int highest = 0;
  for (size_t c = 0; c < rankOf.size(); ++c) {
    if (!use.colours.test(c)) continue;
    const int rank = rankOf[c];
    taken.set(static_cast<size_t>(rank));
    if (rank > highest) highest = rank;
  }
  *clear = 0;
  if (use.transparent) {
    while (taken.test(static_cast<size_t>(*clear))) ++*clear;
    if (*clear > highest) highest = *clear;
  }
  return highest;
}

size_t TableBytes(int entries) { return 3u * (2u << SizeCode(entries)); }

// The bytes the frames and their table take when colour order[r] gets index
// r; *entries gets the table's length, the background's index (when
// background >= 0) included.
size_t OrderCost(const std::vector<FrameUse>& uses, const std::vector<int>& order, int background,
                 bool sharedTable, int* entries) {
  std::vector<int> rankOf(order.size());
  for (size_t r = 0; r < order.size(); ++r) rankOf[static_cast<size_t>(order[r])] = static_cast<int>(r);
  size_t total = 0;
  int highest = background >= 0 ? rankOf[static_cast<size_t>(background)] : 0;
  for (const FrameUse& use : uses) {
    int clear = 0;
    const int frameHighest = HighestIndex(use, rankOf, &clear);
    total += use.cost[MinCodeSize(frameHighest)];
    if (!sharedTable) total += TableBytes(frameHighest + 1);
    if (frameHighest > highest) highest = frameHighest;
  }
  *entries = highest + 1;
  return sharedTable ? total + TableBytes(*entries) : total;
}

// Colours sorted by key, those no frame shows last.
std::vector<int> OrderBy(const std::vector<int>& framesShowing, const std::vector<long>& key) {
  std::vector<int> order(framesShowing.size());
  for (size_t c = 0; c < order.size(); ++c) order[c] = static_cast<int>(c);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const bool aUnused = framesShowing[static_cast<size_t>(a)] == 0;
    const bool bUnused = framesShowing[static_cast<size_t>(b)] == 0;
    if (aUnused != bUnused) return bUnused;
    return key[static_cast<size_t>(a)] < key[static_cast<size_t>(b)];
  });
  return order;
}

// Frame by frame, the one that needs the fewest colours not yet placed (the
// one that stands to save most among equals) puts its colours next, those
// more frames show first: frames of few colours end up on low indices.
std::vector<int> GreedyOrder(const std::vector<FrameUse>& uses, const std::vector<int>& framesShowing) {
  const int count = static_cast<int>(framesShowing.size());
  std::vector<int> order;
  ColourSet placed;
  std::vector<const FrameUse*> waiting;
  for (const FrameUse& use : uses) waiting.push_back(&use);
  while (!waiting.empty()) {
    size_t best = 0;
    size_t bestNew = SIZE_MAX;
    size_t bestSaving = 0;
    for (size_t f = 0; f < waiting.size(); ++f) {
      const FrameUse& use = *waiting[f];
      const size_t fresh = (use.colours & ~placed).count();
      size_t least = use.cost[8];
      for (int size = 2; size <= 8; ++size) least = std::min(least, use.cost[size]);
      const size_t saving = use.cost[8] - least;
      if (fresh < bestNew || (fresh == bestNew && saving > bestSaving)) {
        best = f;
        bestNew = fresh;
        bestSaving = saving;
      }
    }
    std::vector<int> fresh;
    for (int c = 0; c < count; ++c)
      if (waiting[best]->colours.test(static_cast<size_t>(c)) && !placed.test(static_cast<size_t>(c)))
        fresh.push_back(c);
    std::stable_sort(fresh.begin(), fresh.end(), [&](int a, int b) {
      return framesShowing[static_cast<size_t>(a)] > framesShowing[static_cast<size_t>(b)];
    });
    for (int c : fresh) {
      order.push_back(c);
      placed.set(static_cast<size_t>(c));
    }
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [&](const FrameUse* use) { return (use->colours & ~placed).none(); }),
                  waiting.end());
  }
  for (int c = 0; c < count; ++c)
    if (!placed.test(static_cast<size_t>(c))) order.push_back(c);
  return order;
}

// The cheapest of the orders tried for the frames on one table; *cost its
// bytes and *entries its table's length.
std::vector<int> BestOrder(const std::vector<FrameUse>& uses, const std::vector<int>& lowestIndex, int colourCount,
                           int background, size_t* cost, int* entries) {
  std::vector<int> framesShowing(static_cast<size_t>(colourCount), 0);
  for (const FrameUse& use : uses)
    for (int c = 0; c < colourCount; ++c) framesShowing[static_cast<size_t>(c)] += use.colours.test(static_cast<size_t>(c));
  std::vector<long> firstMet(static_cast<size_t>(colourCount));
  std::vector<long> mostFrames(static_cast<size_t>(colourCount));
  std::vector<long> lowest(static_cast<size_t>(colourCount));
  for (size_t c = 0; c < firstMet.size(); ++c) {
    firstMet[c] = static_cast<long>(c);
    mostFrames[c] = -static_cast<long>(framesShowing[c]);
    lowest[c] = lowestIndex.empty() ? 0 : lowestIndex[c];
  }
  std::vector<std::vector<int>> orders = {OrderBy(framesShowing, firstMet), OrderBy(framesShowing, mostFrames),
                                          OrderBy(framesShowing, lowest)};
  if (uses.size() <= kGreedyFrameLimit) orders.push_back(GreedyOrder(uses, framesShowing));
  size_t best = 0;
  *cost = kCannot;
  for (size_t o = 0; o < orders.size(); ++o) {
    int length = 0;
    const size_t bytes = OrderCost(uses, orders[o], background, true, &length);
    if (bytes < *cost) {
      *cost = bytes;
      *entries = length;
      best = o;
    }
  }
  return orders[best];
}

// Rewrites image frame use.index onto the palette colours (rankOf gives
// each colour number's index) of entries entries. False when the swap file
// is full; the frame may then be half changed, its old record is the caller's.
bool Renumber(const FrameUse& use, const ColourList& colours, const std::vector<int>& order, int entries) {
  Frame& frame = *doc.frames[use.index];
  std::vector<int> rankOf(order.size());
  for (size_t r = 0; r < order.size(); ++r) rankOf[static_cast<size_t>(order[r])] = static_cast<int>(r);
  int clear = 0;
  HighestIndex(use, rankOf, &clear);
  uint8_t map[256] = {};
  for (int i = 0; i < 256; ++i) {
    const int number = IsClear(frame, i) ? -1 : colours.Find(ColourOf(frame, i));
    map[i] = static_cast<uint8_t>(IsClear(frame, i) ? clear : number >= 0 ? rankOf[static_cast<size_t>(number)] : 0);
  }
  ByteBuffer block;
  if (frame.width > 0 && frame.height > 0) {
    if (!ReadLimitedBlock(use.index, &block)) return false;
    bool same = true;
    for (size_t p = 0; p < block.size(); ++p) {
      const uint8_t pixel = map[block.data()[p]];
      same = same && pixel == block.data()[p];
      block.data()[p] = pixel;
    }
    if (!same && !StoreFrameBlock(frame, block.data(), static_cast<uint32_t>(block.size()))) return false;
  }
  memset(frame.usedColors, 0, sizeof frame.usedColors);
  for (size_t p = 0; p < block.size(); ++p) frame.usedColors[block.data()[p]] = 1;
  for (int i = 0; i < 256; ++i) {
    const uint32_t rgb = i < static_cast<int>(order.size()) ? colours.colour(order[static_cast<size_t>(i)]) : 0;
    frame.palette[i] = PaletteEntry{static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                    static_cast<uint8_t>(rgb >> 16), 0};
  }
  if (frame.transparent) {
    frame.transparentIndex = static_cast<uint16_t>(clear);
    frame.usedColors[clear] = 1;
  }
  frame.colorCount = static_cast<int16_t>(entries);
  frame.sortFlag = 0;
  return true;
}

// Whether frame, using indices up to highest, shows the global palette's
// colours and no index past them.
bool OnGlobalPalette(const Frame& frame, int highest) {
  if (highest >= doc.globalColorCount) return false;
  for (int i = 0; i < doc.globalColorCount; ++i) {
    const RgbTriple& c = doc.globalPalette[i];
    const PaletteEntry& e = frame.palette[i];
    if (c.red != e.red || c.green != e.green || c.blue != e.blue) return false;
  }
  return true;
}

// The frames on the global palette onto one renumbered global palette.
// False when the swap file is full; the caller puts the frames back.
bool RenumberGlobalPalette(bool* changed) {
  ColourList colours;
  std::vector<int> lowestIndex(256, 256);
  std::vector<FrameUse> uses;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i) || !doc.frames[i]->useGlobalPalette) continue;
    uses.emplace_back();
    if (!Survey(i, &colours, lowestIndex.data(), &uses.back())) return true;
  }
  if (uses.empty()) return true;
  // The background keeps its colour, on an index of its own when no frame shows it.
  int background = -1;
  if (doc.hasGlobalPalette) {
    const RgbTriple& c = doc.globalPalette[doc.backgroundIndex];
    background = colours.Number(static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue);
    if (background < 0) return true;
  }
  lowestIndex.resize(static_cast<size_t>(colours.count()));

  // What the frames cost as they are numbered now. A frame whose palette
  // is not the global one, or that uses an index past its end (a
  // transparent index the crop chose), would have the save build the
  // global palette anew: the renumbering does it better.
  size_t now = 0;
  bool merges = false;
  bool apart = false;
  int highest = doc.hasGlobalPalette ? doc.backgroundIndex : 0;
  for (const FrameUse& use : uses) {
    now += use.cost[MinCodeSize(use.highest)];
    highest = std::max(highest, use.highest);
    merges = merges || use.merges;
    apart = apart || !OnGlobalPalette(*doc.frames[use.index], use.highest);
  }
  // A document read without a global table gets one as long as the frames need.
  now += TableBytes(doc.globalColorCount > 0 ? std::min<int>(highest + 1, doc.globalColorCount) : highest + 1);
  size_t cost = 0;
  int entries = 0;
  const std::vector<int> order = BestOrder(uses, lowestIndex, colours.count(), background, &cost, &entries);
  if (cost >= now && !merges && !apart) return true;

  for (const FrameUse& use : uses)
    if (!Renumber(use, colours, order, entries)) return false;
  for (int i = 0; i < 256; ++i) {
    const uint32_t rgb = i < colours.count() ? colours.colour(order[static_cast<size_t>(i)]) : 0;
    doc.globalPalette[i] = RgbTriple{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                     static_cast<uint8_t>(rgb)};
  }
  doc.globalColorCount = static_cast<int16_t>(entries);
  if (background >= 0)
    doc.backgroundIndex = static_cast<uint8_t>(std::find(order.begin(), order.end(), background) - order.begin());
  *changed = true;
  return true;
}

// A frame's own palette cut to the colours it shows, when that makes its
// table or its codes smaller. False when the swap file is full.
bool RenumberOwnPalette(int index, bool* changed) {
  ColourList colours;
  FrameUse use;
  if (!Survey(index, &colours, nullptr, &use)) return true;
  std::vector<int> order(static_cast<size_t>(colours.count()));
  for (size_t c = 0; c < order.size(); ++c) order[c] = static_cast<int>(c);
  const int highest = colours.count() - 1 + (use.transparent ? 1 : 0);
  if (highest >= use.highest && !use.merges) return true;
  if (!Renumber(use, colours, order, std::max(highest, 0) + 1)) return false;
  *changed = true;
  return true;
}

}  // namespace

bool RenumberPalettes() {
  // Every record as it was, for a swap file that fills half way.
  std::vector<std::unique_ptr<Frame>> before;
  RgbTriple globalPalette[256];
  memcpy(globalPalette, doc.globalPalette, sizeof globalPalette);
  const int16_t globalColorCount = doc.globalColorCount;
  const uint8_t backgroundIndex = doc.backgroundIndex;
  bool changed = false;
  bool stored = true;
  try {
    for (int i = 0; i < doc.frameCount; ++i) before.push_back(std::make_unique<Frame>(*doc.frames[i]));
    stored = RenumberGlobalPalette(&changed);
    for (int i = 0; i < doc.frameCount && stored; ++i)
      if (IsImageFrame(i) && !doc.frames[i]->useGlobalPalette) stored = RenumberOwnPalette(i, &changed);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) {
    for (size_t i = 0; i < before.size(); ++i) *doc.frames[i] = *before[i];
    memcpy(doc.globalPalette, globalPalette, sizeof globalPalette);
    doc.globalColorCount = globalColorCount;
    doc.backgroundIndex = backgroundIndex;
  }
  if (!changed && stored) return false;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    DeleteFramePaletteIfAny(i);
    CreateFramePalette(i);
  }
  return stored;
}
