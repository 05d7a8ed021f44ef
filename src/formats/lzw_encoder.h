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

#include "formats/lzw_limits.h"

class LzwEncoder {
 public:
  // Receives count coded bytes; false when they could not all be taken.
  using Sink = bool (*)(void* context, const uint8_t* bytes, int count);

  LzwEncoder();
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
  static constexpr int kStreamLimit = kBlocksPerWrite * 255;  // code bytes handed on at once

  void StartTable();
  // Codes packed least significant bit first into a stream of bytes: the
  // bits not yet whole bytes, and the bytes written. Put says when the
  // stream is full and must be handed on.
  struct Packer {
    uint64_t bits = 0;
    int bitCount = 0;
    int used = 0;
    bool Put(int code, int width, uint8_t* stream) {
      bits |= static_cast<uint64_t>(code) << bitCount;
      bitCount += width;
      if (bitCount < 32) return false;
      // Little-endian order, whatever the machine's.
      uint8_t* out = stream + used;
      out[0] = static_cast<uint8_t>(bits);
      out[1] = static_cast<uint8_t>(bits >> 8);
      out[2] = static_cast<uint8_t>(bits >> 16);
      out[3] = static_cast<uint8_t>(bits >> 24);
      used += 4;
      bits >>= 32;
      bitCount -= 32;
      return used >= kStreamLimit;
    }
  };
  void PutCode(int code, int width) {
    if (packer_.Put(code, width, stream_)) Deliver(false);
  }
  void Deliver(bool last);

  // Open addressing over two to four times as many slots as codes. A slot
  // holds its string's prefix code and next byte (20 bits) above the
  // string's own code (12 bits), so that one load both finds and checks it.
  // An image starts on the first half of the slots: a small image fills
  // few, and is quicker over fewer cache lines. One that fills its table
  // goes on over all of them, where the shorter probes pay.
  static constexpr int kLzwHashSlots = 16384;
  static constexpr int kSmallHashShift = 19;  // 8,192 slots
  static constexpr int kWholeHashShift = 18;  // all of them
  static constexpr uint32_t kEmptySlot = 0xFFFFFFFF;

  uint32_t slots_[kLzwHashSlots];
  // Per code, the last string found or made from it: the next byte with a
  // mark above it, then that string's code; 0 when none. In flat pictures a
  // string is mostly extended by the byte it was extended by last time, and
  // this finds it with one load, without hashing.
  uint32_t lastChild_[kLzwMaxCodes];
  // The slots filled since the table started: starting it again empties
  // only those, so that a small image does not pay for the whole table.
  uint16_t filledSlots_[kLzwMaxCodes];
  int filledCount_ = 0;
  int hashShift_ = kSmallHashShift;
  Sink sink_ = nullptr;
  void* context_ = nullptr;
  bool failed_ = false;
  int minCodeSize_ = 2;
  int clear_ = 4;
  int width_ = 3;
  int limit_ = 8;
  int nextFree_ = 6;
  int current_ = -1;  // the code of the string matched so far, -1 for none
  Packer packer_;
  // The coded bytes not yet handed on, and the sub-blocks they are cut into
  // for the sink: a length byte before every 255 of them.
  uint8_t stream_[kStreamLimit + 8];
  uint8_t out_[(kBlocksPerWrite + 1) * 256 + 1];
};
