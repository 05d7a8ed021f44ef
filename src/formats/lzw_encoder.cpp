// LZW encoding of GIF image data. Strings are found through an open-addressed
// hash of (prefix code, next byte) over the shared table layout; only entries
// from clear + 2 on are written, so the roots stay as LzwTable::Reset made
// them. Beside each hash slot the encoder keeps its entry's prefix and byte
// in one word: a probe then compares with one load from the slot's own row
// instead of two that wait on the code.
//
// Code width: the decoder adds its entry for a code one code later than the
// encoder does, and widens once its next free entry reaches 2^width. So the
// encoder widens when its own next free entry passes 2^width -- and, after
// the last string (which adds no entry), already when it reaches it, because
// the decoder still adds one for that string before it reads the end code.
// When the table is full the clear code goes out at 12 bits and it starts over.
#include "formats/lzw_encoder.h"

namespace {

// Which slot a string is looked for in first. Only the table's content
// decides hit or miss, so the slots never show in the output; a
// multiplicative hash spreads the keys of banded and blocky pictures where a
// sum of multiples packs them into long probe chains.
inline int HashSlot(uint32_t key) {
  uint32_t slot = (key * 0x9E3779B1u) >> 19;  // 0..8191
  return static_cast<int>(slot >= kLzwHashSlots ? slot - kLzwHashSlots : slot);
}

}  // namespace

void LzwEncoder::Begin(int minCodeSize, Sink sink, void* context) {
  sink_ = sink;
  context_ = context;
  failed_ = false;
  minCodeSize_ = minCodeSize;
  clear_ = 1 << minCodeSize;
  bits_ = 0;
  bitCount_ = 0;
  block_ = out_;
  blockUsed_ = 0;
  current_ = -1;
  table_.Reset(clear_);
  PutCode(clear_, minCodeSize + 1);
  StartTable();
}

void LzwEncoder::StartTable() {
  nextFree_ = clear_ + 2;
  width_ = minCodeSize_ + 1;
  limit_ = 1 << width_;
  table_.ResetHash();
}

void LzwEncoder::Encode(const uint8_t* pixels, int count) {
  if (failed_ || count <= 0) return;
  int16_t* const hash = table_.hashCode;
  uint32_t* const keys = slotKeys_;
  const uint8_t* const end = pixels + count;
  int current = current_;
  if (current < 0) current = *pixels++;
  while (pixels != end) {
    const int byte = *pixels++;
    const uint32_t key = static_cast<uint32_t>(current) << 8 | static_cast<uint32_t>(byte);
    int slot = HashSlot(key);
    int code;
    for (;;) {
      code = hash[slot];
      if (code < 0 || keys[slot] == key) break;
      if (++slot == kLzwHashSlots) slot = 0;
    }
    if (code >= 0) {
      current = code;
      continue;
    }
    PutCode(current, width_);
    if (nextFree_ < kLzwMaxCodes) {
      table_.prefix[nextFree_] = static_cast<int16_t>(current);
      table_.suffix[nextFree_] = static_cast<uint8_t>(byte);
      table_.first[nextFree_] = table_.first[current];
      hash[slot] = static_cast<int16_t>(nextFree_);
      keys[slot] = key;
    }
    if (++nextFree_ == limit_ + 1) {
      if (++width_ > kLzwMaxWidth) {
        PutCode(clear_, kLzwMaxWidth);
        StartTable();
      }
      limit_ = 1 << width_;
    }
    current = byte;
  }
  current_ = current;
}

bool LzwEncoder::Finish() {
  if (current_ >= 0) {
    PutCode(current_, width_);
    if (nextFree_ == limit_ && width_ < kLzwMaxWidth) ++width_;
  }
  PutCode(clear_ + 1, width_);
  if (bitCount_ > 0) PutByte(static_cast<uint8_t>(bits_));
  bits_ = 0;
  bitCount_ = 0;
  uint8_t* terminator = block_;
  if (blockUsed_ > 0) {
    block_[0] = static_cast<uint8_t>(blockUsed_);
    terminator = block_ + 1 + blockUsed_;
  }
  *terminator = 0;
  block_ = terminator + 1;
  blockUsed_ = 0;
  Deliver();
  current_ = -1;
  return !failed_;
}

void LzwEncoder::PutByte(uint8_t byte) {
  block_[1 + blockUsed_] = byte;
  if (++blockUsed_ == 255) CompleteBlock();
}

void LzwEncoder::PutCode(int code, int width) {
  bits_ |= static_cast<uint32_t>(code) << bitCount_;
  bitCount_ += width;
  while (bitCount_ >= 8) {
    PutByte(static_cast<uint8_t>(bits_));
    bits_ >>= 8;
    bitCount_ -= 8;
  }
}

void LzwEncoder::CompleteBlock() {
  block_[0] = 255;
  block_ += 256;
  blockUsed_ = 0;
  if (block_ == out_ + sizeof out_) Deliver();
}

// Hands the finished sub-blocks to the sink and starts the buffer over.
void LzwEncoder::Deliver() {
  int count = static_cast<int>(block_ - out_);
  if (count > 0 && !failed_ && !sink_(context_, out_, count)) failed_ = true;
  block_ = out_;
}
