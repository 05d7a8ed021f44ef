// LZW encoding of one GIF image's pixels into data sub-blocks: codes packed
// least-significant bit first, sub-blocks of 255 bytes but the last, then the
// zero-length terminator. The coded bytes go to a sink in runs of whole
// sub-blocks, so that a file sees few large writes.
//
// Call sequence, per image: Begin, Encode any number of times (the pixels in
// file order, any split), Finish. A failed sink write makes every later call
// do nothing; Finish then reports it.
#pragma once

#include <cstdint>

#include "formats/lzw_table.h"

class LzwEncoder {
 public:
  // Receives count coded bytes; false when they could not all be taken.
  using Sink = bool (*)(void* context, const uint8_t* bytes, int count);

  LzwEncoder() = default;
  LzwEncoder(const LzwEncoder&) = delete;
  LzwEncoder& operator=(const LzwEncoder&) = delete;

  // Starts an image coded with minCodeSize 2..8 (every pixel must be below
  // 2^minCodeSize): writes the clear code.
  void Begin(int minCodeSize, Sink sink, void* context);
  void Encode(const uint8_t* pixels, int count);
  // Writes the last string, the end code, the last sub-block and the
  // terminator. False when any of the image's bytes could not be written.
  bool Finish();
  bool failed() const { return failed_; }

 private:
  static constexpr int kBlocksPerWrite = 64;

  void StartTable();
  void PutCode(int code, int width);
  void PutByte(uint8_t byte);
  void CompleteBlock();
  void Deliver();

  LzwTable table_;
  uint32_t slotKeys_[kLzwHashSlots];  // prefix << 8 | byte of the code in hashCode
  Sink sink_ = nullptr;
  void* context_ = nullptr;
  bool failed_ = false;
  int minCodeSize_ = 2;
  int clear_ = 4;
  int width_ = 3;
  int limit_ = 8;
  int nextFree_ = 6;
  int current_ = -1;  // the code of the string matched so far, -1 for none
  uint32_t bits_ = 0;  // pending bits, least significant first
  int bitCount_ = 0;
  // Whole sub-blocks waiting for the sink, each a length byte and 255 data
  // bytes; block_ is the one being filled, blockUsed_ its data bytes so far.
  uint8_t out_[kBlocksPerWrite * 256];
  uint8_t* block_ = out_;
  int blockUsed_ = 0;
};
