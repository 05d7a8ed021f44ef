// The limits of GIF's LZW coding, shared by the reader, the writer and what
// weighs frames by coding them.
#pragma once

constexpr int kLzwMaxCodes = 4096;  // entries a table holds
constexpr int kLzwMaxWidth = 12;    // bits of the widest code

// The smallest LZW minimum code size (2..8) that holds index highest: an
// index at or above the clear code would make the data unreadable, and each
// bit more makes every code longer.
inline int MinCodeSize(int highest) {
  int size = 2;
  while (size < 8 && (1 << size) <= highest) ++size;
  return size;
}
