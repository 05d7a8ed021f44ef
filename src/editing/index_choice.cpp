// A string table kept as the LZW coder keeps its own (codes added as
// strings end, the table started over when it is full), so that the picks
// see the entries the coder will find. Only the coder's output counts: a
// table that strays from it costs bytes, never correctness.
#include "editing/index_choice.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "formats/lzw_limits.h"

namespace {

class StringTable {
 public:
  explicit StringTable(int minCodeSize)
      : minCodeSize_(minCodeSize), clear_(1 << minCodeSize), slots_(kSlots) {
    Start();
  }

  // The code of string code extended by byte, or -1.
  int Find(int code, uint8_t byte) const {
    const uint32_t key = static_cast<uint32_t>(code) << 8 | byte;
    for (size_t slot = Slot(key);; slot = slot + 1 == kSlots ? 0 : slot + 1) {
      const uint32_t word = slots_[slot];
      if (word == kEmpty) return -1;
      if (word >> 12 == key) return static_cast<int>(word & 0xFFF);
    }
  }

  // String code ends before byte: it is written out and, while there is
  // room, code extended by byte gets the next entry.
  void End(int code, uint8_t byte) {
    if (nextFree_ < kLzwMaxCodes) {
      const uint32_t key = static_cast<uint32_t>(code) << 8 | byte;
      size_t slot = Slot(key);
      while (slots_[slot] != kEmpty) slot = slot + 1 == kSlots ? 0 : slot + 1;
      slots_[slot] = key << 12 | static_cast<uint32_t>(nextFree_);
    }
    if (++nextFree_ == limit_ + 1) {
      if (++width_ > kLzwMaxWidth) Start();
      limit_ = 1 << width_;
    }
  }

 private:
  static constexpr size_t kSlots = 8191;
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;

  static size_t Slot(uint32_t key) { return ((key * 0x9E3779B1u) >> 19) % kSlots; }
  void Start() {
    nextFree_ = clear_ + 2;
    width_ = minCodeSize_ + 1;
    limit_ = 1 << width_;
    std::fill(slots_.begin(), slots_.end(), kEmpty);
  }

  int minCodeSize_, clear_;
  int nextFree_ = 0, width_ = 0, limit_ = 0;
  std::vector<uint32_t> slots_;
};

// The longest string in the table that the pixels from some position on
// can be written as, each pixel taking either of its indices: a search of
// the table's branches, bounded in the entries it visits.
class LongestMatch {
 public:
  LongestMatch(const StringTable& table, const uint8_t* own, const uint8_t* other, size_t count, Tie tie)
      : table_(table), own_(own), other_(other), count_(count), ownFirst_(tie == Tie::kOwn) {}

  // Writes the picks of the longest match of string code followed by the
  // pixels from k on into chosen[k...]; returns its length and the code of
  // the whole string.
  size_t Extend(int code, size_t k, uint8_t* chosen, int* whole) {
    visits_ = 0;
    best_ = 0;
    bestCode_ = code;
    path_.clear();
    bestPath_.clear();
    Search(code, k);
    std::copy(bestPath_.begin(), bestPath_.end(), chosen + k);
    *whole = bestCode_;
    return best_;
  }

 private:
  static constexpr int kVisitLimit = 512;

  void Search(int code, size_t k) {
    bool extended = false;
    if (k < count_ && ++visits_ <= kVisitLimit) {
      // Of two matches as long, the one searched first is kept.
      const uint8_t choices[2] = {ownFirst_ ? own_[k] : other_[k], ownFirst_ ? other_[k] : own_[k]};
      for (int c = 0; c < (own_[k] == other_[k] ? 1 : 2); ++c) {
        const int next = table_.Find(code, choices[c]);
        if (next < 0) continue;
        extended = true;
        path_.push_back(choices[c]);
        Search(next, k + 1);
        path_.pop_back();
      }
    }
    // Only where a match ends is it weighed, so a path without branches
    // is copied once.
    if (!extended && path_.size() > best_) {
      best_ = path_.size();
      bestCode_ = code;
      bestPath_ = path_;
    }
  }

  const StringTable& table_;
  const uint8_t* own_;
  const uint8_t* other_;
  size_t count_;
  bool ownFirst_;
  int visits_ = 0;
  size_t best_ = 0;
  int bestCode_ = 0;
  std::vector<uint8_t> path_, bestPath_;
};

}  // namespace

void ChooseIndices(const uint8_t* own, const uint8_t* other, size_t count, int minCodeSize, Tie tie,
                   uint8_t* chosen) {
  if (count == 0) return;
  auto table = std::make_unique<StringTable>(minCodeSize);
  LongestMatch match(*table, own, other, count, tie);
  // Each string starts with the index that matches further, then runs on
  // as far as the table allows; the next one's first index ends it.
  auto start = [&](size_t k) {
    if (own[k] == other[k]) return own[k];
    int code = 0;
    const size_t byOther = match.Extend(other[k], k + 1, chosen, &code);
    const size_t byOwn = match.Extend(own[k], k + 1, chosen, &code);
    return (byOwn > byOther || (byOwn == byOther && tie == Tie::kOwn)) ? own[k] : other[k];
  };
  size_t k = 0;
  chosen[0] = start(0);
  while (k < count) {
    int code = chosen[k];
    k += 1 + match.Extend(code, k + 1, chosen, &code);
    if (k == count) break;
    chosen[k] = start(k);
    table->End(code, chosen[k]);
  }
}
