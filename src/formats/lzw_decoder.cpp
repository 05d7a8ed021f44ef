// LZW decoding of GIF image data. Codes are read least-significant bit first
// with one unaligned 64-bit load each. The pixels go to one buffer in file
// order, which is what makes the decoder fast: every string in the table
// has already appeared in the output, so an entry is kept as the place and
// length of its first appearance, and a code is expanded by copying from
// there, eight bytes at a time, rather than by walking a chain of prefixes.
// An entry is always the previous code's string followed by the first byte
// of the current one, which is exactly the output from the previous code's
// place on.
//
// Which values were stored is kept per code, not per pixel: every byte of a
// string first appeared as the first byte of some earlier code's string, so
// marking each code's first byte marks every value the output holds.
//
// Two tolerances beyond the plain format: a table that has filled up without
// a clear code keeps being used as it stands (a "deferred clear", written by
// real encoders; tests/data/lzw-deferred-clear.gif), and a code beyond the
// next free entry ends the image with what was decoded so far
// (tests/data/artificial-pixel-data-too-much-bad-lzw.gif).
#include "formats/lzw_decoder.h"

#include <cstring>

#include "formats/lzw_limits.h"

namespace {

// The table: where each entry's string first appeared in the output (or, for
// a root, in the lead in front of it), and its length.
struct Entries {
  uint32_t place[kLzwMaxCodes];
  uint16_t length[kLzwMaxCodes];
};

inline uint64_t Load64(const uint8_t* p) {
  uint64_t value;
  memcpy(&value, p, sizeof value);
  return value;
}

// Copies length bytes from an earlier place in the output to out. Eight at a
// time when the two are at least eight apart (the copy may then write up to
// seven bytes past its end, into what comes next or the slack); byte by byte
// otherwise, where the copy repeats its own start.
inline void CopyString(uint8_t* out, const uint8_t* from, size_t length) {
  if (static_cast<size_t>(out - from) >= 8) {
    for (size_t k = 0; k < length; k += 8) memcpy(out + k, from + k, 8);
  } else {
    for (size_t k = 0; k < length; ++k) out[k] = from[k];
  }
}

}  // namespace

LzwEnd DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, LzwOutput& out) {
  static Entries entries;
  const int clear = 1 << minCodeSize;
  const uint64_t bitCount = static_cast<uint64_t>(size) * 8;
  uint8_t* const base = out.buffer;
  uint8_t* const used = out.used;
  // Each root's string is its own byte, kept in the lead.
  for (int r = 0; r < clear; ++r) {
    base[r] = static_cast<uint8_t>(r);
    entries.place[r] = static_cast<uint32_t>(r);
    entries.length[r] = 1;
  }
  const size_t end = kLzwLead + out.size;  // in base, past the last pixel
  size_t at = kLzwLead;                    // in base, the next pixel
  uint64_t bit = 0;
  int width = 0;
  int limit = 0;
  int nextFree = 0;
  uint32_t previousPlace = 0;
  uint32_t previousLength = 0;
  bool afterClear = true;  // the next code must be a root, and adds no entry
  auto restart = [&] {
    width = minCodeSize + 1 < kLzwMaxWidth ? minCodeSize + 1 : kLzwMaxWidth;
    limit = 1 << width;
    nextFree = clear + 2;
    afterClear = true;
  };
  restart();

  for (;;) {
    if (bit + static_cast<uint64_t>(width) > bitCount) {
      out.produced = at - kLzwLead;
      return LzwEnd::kEndOfData;
    }
    const int code = static_cast<int>((Load64(data + (bit >> 3)) >> (bit & 7)) & (limit - 1));
    bit += static_cast<uint64_t>(width);
    if (static_cast<unsigned>(code - clear) <= 1) {
      if (code == clear) {
        restart();
        continue;
      }
      out.produced = at - kLzwLead;
      return LzwEnd::kEndCode;
    }
    if (afterClear) {
      if (code > clear) {
        out.produced = at - kLzwLead;
        return LzwEnd::kBadCode;
      }
      afterClear = false;
    } else {
      if (code > nextFree) {
        out.produced = at - kLzwLead;
        return LzwEnd::kBadCode;
      }
      // Added before the code is looked up: a code equal to the next free
      // entry names the string being added, the previous one and its own
      // first byte. A full table stays as it is (codes are below 4096, so
      // none can then be the next free entry).
      if (nextFree < kLzwMaxCodes) {
        entries.place[nextFree] = previousPlace;
        entries.length[nextFree] = static_cast<uint16_t>(previousLength + 1);
        ++nextFree;
      }
    }
    // The width grows once the next entry no longer fits in it; with a
    // minimum code size of 1 that is right after the first code.
    if (nextFree >= limit && width < kLzwMaxWidth) {
      ++width;
      limit = 1 << width;
    }

    const uint32_t place = entries.place[code];
    const uint32_t length = entries.length[code];
    const bool fits = end - at >= length;
    if (fits) {
      CopyString(base + at, base + place, length);
      used[base[place]] = 1;
    } else {
      // The last pixels: what fits is stored. The output then stays full and
      // later codes are only followed, to tell the end code from a bad one.
      for (size_t k = 0; at + k < end; ++k) base[at + k] = base[place + k];
      if (at < end) used[base[at]] = 1;
    }
    previousPlace = static_cast<uint32_t>(at);
    previousLength = length;
    at = fits ? at + length : end;
  }
}
