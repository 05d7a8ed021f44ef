// LZW decoding of one GIF image's data, its sub-blocks already joined, into
// the image's pixels in file order.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes beyond the data and beyond the output that the decoder may read or
// write scratch into: both buffers must be this much longer than they say.
constexpr size_t kLzwSlack = 8;
// Bytes in front of the output that the decoder keeps its roots in.
constexpr size_t kLzwLead = 4096 + kLzwSlack;

enum class LzwEnd {
  kEndCode,    // the end code arrived; data may remain
  kEndOfData,  // the data ran out before the end code
  kBadCode,    // a code beyond the table: the data can't be trusted from here
};

struct LzwOutput {
  uint8_t* buffer = nullptr;  // kLzwLead bytes, then room for size pixels and kLzwSlack
  uint8_t* pixels() const { return buffer + kLzwLead; }
  size_t size = 0;
  uint8_t* used = nullptr;    // 256 flags: set for every value stored
  size_t produced = 0;        // pixels stored, at most size
};

// Decodes data (size bytes, plus kLzwSlack readable) with minCodeSize 1..12.
// Pixels beyond out.size are dropped, but the codes are still followed so
// that a bad code after them is still reported.
LzwEnd DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, LzwOutput& out);
