// The GIF logical screen descriptor the reader fills and the writer writes:
// one record for the program. The global palette calculation sets its packed
// byte, table size and background; the writer its width and height; the
// pixel-aspect byte stays as the last file read left it.
#pragma once

#include <cstdint>

struct ScreenDescriptor {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t packed = 0;
  uint8_t backgroundIndex = 0;
  uint8_t aspect = 0;
  int16_t tableSize = 0;  // entries of the global colour table
};

extern ScreenDescriptor screenDescriptor;

// The 3-bit size field of a colour table that must hold count entries: the
// smallest k with 2^(k+1) >= count (0 for fewer than 3, 7 for more than 128).
inline int SizeCode(int count) {
  int k = 0;
  while (k < 7 && (2 << k) < count) ++k;
  return k;
}
