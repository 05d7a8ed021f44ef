// The LZW string table shared by the GIF reader and writer: 4096 entries of
// prefix, suffix and first byte. The reader and the writer share this layout,
// nothing else; the writer's hash slots live beside the entries.
#pragma once

#include <cstdint>

constexpr int kLzwMaxCodes = 4096;
constexpr int kLzwMaxWidth = 12;
constexpr int kLzwHashSlots = 8187;

struct LzwTable {
  int16_t prefix[kLzwMaxCodes];  // -1 for a root
  uint8_t suffix[kLzwMaxCodes];
  uint8_t first[kLzwMaxCodes];   // first byte of the entry's string
  uint16_t length[kLzwMaxCodes]; // length of the entry's string
  int16_t hashCode[kLzwHashSlots];

  // Makes entries 0..rootCount-1 roots. The decoder needs no more; the
  // encoder also empties its hash slots. Decoding writes entries only above
  // its own roots, so roots below rootsMade are still in place from an
  // earlier image and are not made again.
  void Reset(int rootCount);
  void ResetHash();
  // Whoever writes into the entries otherwise must call this.
  void ForgetRoots() { rootsMade = 0; }

  int rootsMade = 0;
};
