// LZW decoding of GIF image data. Codes are read least-significant bit first
// across the data sub-blocks; each code's string is built back to front on a
// stack and handed to the RowWriter.
//
// Two tolerances beyond the plain format: a table that has filled up without
// a clear code keeps being used as it stands (a "deferred clear", written by
// real encoders; tests/data/lzw-deferred-clear.gif), and a code beyond the
// next free entry ends the image with what was decoded so far
// (tests/data/artificial-pixel-data-too-much-bad-lzw.gif).
#include "formats/lzw_decoder.h"

namespace {

constexpr int kEndOfData = -1;
constexpr int kFileEnded = -2;

// Keeps its place in the sub-block in registers; the source is asked only
// for the next sub-block.
class CodeReader {
 public:
  explicit CodeReader(CodeSource& source)
      : source_(source), next_(source.block + source.index), end_(source.block + source.length) {}

  // The next code of the given width, or kEndOfData / kFileEnded.
  inline int Read(int width) {
    while (bits_ < width) {
      if (next_ == end_) {
        int n = source_.Next();
        if (n <= 0) return n == 0 ? kEndOfData : kFileEnded;
        next_ = source_.block;
        end_ = source_.block + n;
      }
      accumulator_ |= static_cast<uint32_t>(*next_++) << bits_;
      bits_ += 8;
    }
    int code = static_cast<int>(accumulator_ & ((1u << width) - 1));
    accumulator_ >>= width;
    bits_ -= width;
    return code;
  }

 private:
  CodeSource& source_;
  const uint8_t* next_;
  const uint8_t* end_;
  uint32_t accumulator_ = 0;
  int bits_ = 0;
};

}  // namespace

int CodeSource::Next() {
  uint8_t size = 0;
  if (file->Read(&size, 1) < 1) {
    fileEnded = true;
    return -1;
  }
  if (size == 0) return 0;
  int got = file->Read(block, size);
  if (got < size) fileEnded = true;
  if (got <= 0) return -1;
  length = got;
  index = 0;
  return got;
}

void CodeSource::SkipRest() {
  while (Next() > 0) {
  }
}

LzwEnd DecodeLzw(LzwTable& table, int minCodeSize, CodeSource& source, RowWriter& rows) {
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  int width = 0;
  int limit = 0;
  int nextFree = 0;
  int previous = -1;  // -1 right after a clear: the next code must be a root
  auto initialise = [&] {
    width = minCodeSize + 1 < kLzwMaxWidth ? minCodeSize + 1 : kLzwMaxWidth;
    limit = 1 << width;
    nextFree = clear + 2;
    previous = -1;
  };
  table.Reset(clear);
  initialise();

  CodeReader reader(source);
  uint8_t stack[kLzwMaxCodes + 1];
  uint8_t* const stackEnd = stack + sizeof stack;

  for (;;) {
    int code = reader.Read(width);
    if (code < 0) return code == kEndOfData ? LzwEnd::kEndOfData : LzwEnd::kFileEnded;
    if (code == clear) {
      initialise();
      continue;
    }
    if (code == end) return LzwEnd::kEndCode;
    if (previous < 0) {
      if (code > clear) return LzwEnd::kBadCode;  // nothing to build on yet
    } else if (code > nextFree || (code == nextFree && nextFree >= kLzwMaxCodes)) {
      return LzwEnd::kBadCode;
    } else if (nextFree < kLzwMaxCodes) {
      // A code equal to the next free entry names the string about to be
      // added: the previous string followed by its own first byte.
      uint8_t firstOfPrevious = table.first[previous];
      table.prefix[nextFree] = static_cast<int16_t>(previous);
      table.suffix[nextFree] = code == nextFree ? firstOfPrevious : table.first[code];
      table.first[nextFree] = firstOfPrevious;
      table.length[nextFree] = static_cast<uint16_t>(table.length[previous] + 1);
      ++nextFree;
    }
    // The width grows once the next entry no longer fits in it; with a
    // minimum code size of 1 that is right after the first code.
    if (nextFree >= limit && width < kLzwMaxWidth) {
      ++width;
      limit = 1 << width;
    }

    if (code < clear) {
      rows.EmitOne(static_cast<uint8_t>(code));
    } else if (uint8_t* room = rows.Room(table.length[code])) {
      // The string fits in the current row: write it there back to front.
      int length = table.length[code];
      uint8_t* used = rows.used();
      uint8_t* out = room + length;
      int c = code;
      for (int k = 0; k < length; ++k, c = table.prefix[c]) {
        *--out = table.suffix[c];
        used[*out] = 1;
      }
      rows.Commit(length);
    } else {
      uint8_t* top = stackEnd;
      for (int c = code; c >= 0; c = table.prefix[c]) *--top = table.suffix[c];
      rows.Emit(top, static_cast<int>(stackEnd - top));
    }
    previous = code;
  }
}
