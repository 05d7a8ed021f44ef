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
  int16_t hashCode[kLzwHashSlots];

  // Makes entries 0..rootCount-1 roots and empties the hash slots.
  void Reset(int rootCount);
};
