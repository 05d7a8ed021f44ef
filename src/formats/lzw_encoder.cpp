// LZW encoding of GIF image data. Strings are found through an open-addressed
// hash of (prefix code, next byte): each slot holds the string's prefix and
// byte and its code in one word, so that a probe is one load. Codes are
// packed into a 64-bit buffer and leave it four bytes at a time into one
// stream; the stream is cut into sub-blocks only when it is handed on.
//
// Code width: the decoder adds its entry for a code one code later than the
// encoder does, and widens once its next free entry reaches 2^width. So the
// encoder widens when its own next free entry passes 2^width -- and, after
// the last string (which adds no entry), already when it reaches it, because
// the decoder still adds one for that string before it reads the end code.
// When the table is full the clear code goes out at 12 bits and it starts over.
#include "formats/lzw_encoder.h"

#include <cstring>

namespace {

// Which slot a string is looked for in first. Only the table's content
// decides hit or miss, so the slots never show in the output; a
// multiplicative hash spreads the keys of banded and blocky pictures where a
// sum of multiples packs them into long probe chains. The shift leaves as
// many bits as the slots in use take.
inline int HashSlot(uint32_t key, int shift) { return static_cast<int>((key * 0x9E3779B1u) >> shift); }

}  // namespace

LzwEncoder::LzwEncoder() {
  memset(slots_, 0xFF, sizeof slots_);
  memset(lastChild_, 0, sizeof lastChild_);
  nextFree_ = 0;
}

void LzwEncoder::Begin(int minCodeSize, Sink sink, void* context) {
  sink_ = sink;
  context_ = context;
  failed_ = false;
  minCodeSize_ = minCodeSize;
  clear_ = 1 << minCodeSize;
  packer_ = Packer();
  current_ = -1;
  hashShift_ = kSmallHashShift;
  PutCode(clear_, minCodeSize + 1);
  StartTable();
}

// Empties what the last table filled: its slots, and the last strings of
// its codes (every code below its next free one).
void LzwEncoder::StartTable() {
  for (int k = 0; k < filledCount_; ++k) slots_[filledSlots_[k]] = kEmptySlot;
  filledCount_ = 0;
  const int codes = nextFree_ < kLzwMaxCodes ? nextFree_ : kLzwMaxCodes;
  memset(lastChild_, 0, sizeof(uint32_t) * static_cast<size_t>(codes));
  nextFree_ = clear_ + 2;
  width_ = minCodeSize_ + 1;
  limit_ = 1 << width_;
}

// The state the loop changes lives in locals while it runs: stores into the
// tables could otherwise be taken for stores into the counters beside them,
// and every counter would go back to memory at every pixel. It is handed
// back to the members around the rare calls that use them.
void LzwEncoder::Encode(const uint8_t* pixels, int count) {
  if (failed_ || count <= 0) return;
  uint32_t* const slots = slots_;
  uint32_t* const lastChild = lastChild_;
  uint16_t* const filled = filledSlots_;
  const uint8_t* const end = pixels + count;
  int current = current_;
  if (current < 0) current = *pixels++;
  Packer packer = packer_;
  int nextFree = nextFree_;
  int width = width_;
  int limit = limit_;
  int filledCount = filledCount_;
  int hashShift = hashShift_;
  auto put = [&](int code, int codeWidth) {
    if (!packer.Put(code, codeWidth, stream_)) return;
    packer_ = packer;
    Deliver(false);
    packer = packer_;
  };
  while (pixels != end) {
    const uint32_t byte = *pixels++;
    const uint32_t child = lastChild[current];
    if (child >> 12 == (0x100u | byte)) {
      current = static_cast<int>(child & 0xFFF);
      continue;
    }
    const uint32_t key = static_cast<uint32_t>(current) << 8 | byte;
    int slot = HashSlot(key, hashShift);
    uint32_t word;
    for (;;) {
      word = slots[slot];
      if (word == kEmptySlot || word >> 12 == key) break;
      slot = (slot + 1) & (kLzwHashSlots - 1);
    }
    if (word != kEmptySlot) {
      lastChild[current] = (0x100u | byte) << 12 | (word & 0xFFF);
      current = static_cast<int>(word & 0xFFF);
      continue;
    }
    put(current, width);
    if (nextFree < kLzwMaxCodes) {
      slots[slot] = key << 12 | static_cast<uint32_t>(nextFree);
      filled[filledCount++] = static_cast<uint16_t>(slot);
      lastChild[current] = (0x100u | byte) << 12 | static_cast<uint32_t>(nextFree);
    }
    if (++nextFree == limit + 1) {
      if (++width > kLzwMaxWidth) {
        put(clear_, kLzwMaxWidth);
        nextFree_ = nextFree;
        filledCount_ = filledCount;
        StartTable();
        nextFree = nextFree_;
        width = width_;
        filledCount = filledCount_;
        hashShift = hashShift_ = kWholeHashShift;
      }
      limit = 1 << width;
    }
    current = static_cast<int>(byte);
  }
  current_ = current;
  packer_ = packer;
  nextFree_ = nextFree;
  width_ = width;
  limit_ = limit;
  filledCount_ = filledCount;
}

bool LzwEncoder::Finish() {
  if (current_ >= 0) {
    PutCode(current_, width_);
    if (nextFree_ == limit_ && width_ < kLzwMaxWidth) ++width_;
  }
  PutCode(clear_ + 1, width_);
  while (packer_.bitCount > 0) {
    stream_[packer_.used++] = static_cast<uint8_t>(packer_.bits);
    packer_.bits >>= 8;
    packer_.bitCount = packer_.bitCount > 8 ? packer_.bitCount - 8 : 0;
  }
  packer_.bits = 0;
  Deliver(true);
  current_ = -1;
  return !failed_;
}

// Cuts the stream into sub-blocks of 255 bytes and hands them to the sink;
// the last time also the short sub-block left and the terminator. Bytes
// short of a whole sub-block otherwise wait for the next time.
void LzwEncoder::Deliver(bool last) {
  const int used = packer_.used;
  int taken = 0;
  int written = 0;
  while (used - taken >= 255 || (last && used > taken)) {
    const int n = used - taken < 255 ? used - taken : 255;
    out_[written] = static_cast<uint8_t>(n);
    memcpy(out_ + written + 1, stream_ + taken, static_cast<size_t>(n));
    written += n + 1;
    taken += n;
  }
  if (last) out_[written++] = 0;
  memmove(stream_, stream_ + taken, static_cast<size_t>(used - taken));
  packer_.used = used - taken;
  if (written > 0 && !failed_ && !sink_(context_, out_, written)) failed_ = true;
}
