// BMP import: one uncompressed Windows bitmap as a new image frame. The
// headers are read and checked before the frame list changes; the pixel
// rows are then read in chunks, converted to 8-bit indices and written
// row by row into the swap file in the frame's bottom-up layout.
//
// The clipboard paste writes a file header of "BM" and zeros, so bfSize is
// never used and bfOffBits only when it points behind the colour table
// (tests/data/bfoffbits-gap-8bpp-w7.bmp); otherwise the rows follow the
// table. A file that ends inside its rows keeps the rows it holds; the rest
// are index 0 (tests/data/malformed-truncated-24bpp.bmp).
#include "formats/bmp_import.h"

#include <cstring>

#include "colour/color_histogram.h"
#include "colour/median_cut.h"
#include "colour/nearest_cache.h"
#include "colour/nearest_color.h"
#include "colour/quantizer.h"
#include "document/byte_buffer.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "platform/file_calls.h"

TrueColorSearch trueColorSearch = TrueColorSearch::kRemembered;

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
// The frame record keeps signed 16-bit sizes.
constexpr int64_t kMaxDimension = 32767;
constexpr uint32_t kChunkBytes = 60000;

inline uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Dword(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Reads count bytes at offset; how many arrived (0 past 4 GiB, where the
// file calls cannot reach).
uint32_t ReadBytesAt(int handle, uint64_t offset, void* destination, uint32_t count) {
  if (offset > 0xFFFFFFFFull || count == 0) return 0;
  int32_t got = FileReadAt(handle, static_cast<uint32_t>(offset), destination, count);
  return got > 0 ? static_cast<uint32_t>(got) : 0;
}

// The length of the file, found by probing single bytes (the file calls
// have no size query); at most 4 GiB.
uint64_t FileLength(int handle) {
  uint64_t held = 0;           // a byte exists below this
  uint64_t missing = 1ull << 32;  // no byte at or beyond this
  while (held < missing) {
    uint64_t middle = held + (missing - held) / 2;
    uint8_t byte;
    if (ReadBytesAt(handle, middle, &byte, 1) == 1)
      held = middle + 1;
    else
      missing = middle;
  }
  return held;
}

// One colour channel of a 16- or 32-bit pixel: a run of 1 to 8 mask bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  bool Set(uint32_t value, int bitCount) {
    mask = value;
    if (value == 0 || (bitCount < 32 && (value >> bitCount) != 0)) return false;
    shift = 0;
    while (((value >> shift) & 1) == 0) ++shift;
    bits = 0;
    while (shift + bits < 32 && ((value >> (shift + bits)) & 1) != 0) ++bits;
    bool contiguous = shift + bits == 32 || (value >> (shift + bits)) == 0;
    return contiguous && bits <= 8;
  }

  // The channel widened to 8 bits by repeating its bits, so that the
  // largest value becomes 255.
  uint8_t Of(uint32_t pixel) const {
    uint32_t v = (pixel & mask) >> shift;
    uint32_t wide = 0;
    for (int at = 8 - bits; at > -bits; at -= bits) wide |= at >= 0 ? v << at : v >> -at;
    return static_cast<uint8_t>(wide);
  }
};

// What the headers say, checked.
struct Layout {
  int bitCount = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool topDown = false;
  int colorCount = 0;            // table entries kept (indexed pictures)
  PaletteEntry table[256] = {};  // the kept entries
  Channel red, green, blue;      // 16 and 32 bits
  uint64_t pixelOffset = 0;
  uint32_t fileRowBytes = 0;     // one stored file row, padding included
};

bool IsTrueColor(const Layout& layout) { return layout.bitCount > 8; }

bool ReadLayout(int handle, Layout* layout) {
  // The longest header read: file header, a V5 info header and the masks
  // that follow a 40-byte one.
  uint8_t head[kFileHeaderSize + 124 + kMaskBytes] = {};
  uint32_t got = ReadBytesAt(handle, 0, head, sizeof head);
  if (got < kFileHeaderSize + 4 || Word(head) != 0x4D42) return false;
  uint32_t infoSize = Dword(head + 14);
  uint32_t compression = kRgb;
  uint32_t clrUsed = 0;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t entrySize = 4;
  uint64_t headerEnd = static_cast<uint64_t>(kFileHeaderSize) + infoSize;
  const uint8_t* info = head + kFileHeaderSize;
  if (infoSize == kCoreHeaderSize) {
    if (got < kFileHeaderSize + kCoreHeaderSize) return false;
    width = Word(info + 4);
    height = Word(info + 6);
    layout->bitCount = Word(info + 10);
    entrySize = 3;
  } else {
    // Headers shorter than 40 bytes (OS/2 2.x) leave the later fields 0.
    if (infoSize < 16) return false;
    uint32_t present = infoSize < kInfoHeaderSize ? infoSize : kInfoHeaderSize;
    if (got < kFileHeaderSize + present) return false;
    uint8_t fields[kInfoHeaderSize] = {};
    memcpy(fields, info, present);
    width = static_cast<int32_t>(Dword(fields + 4));
    height = static_cast<int32_t>(Dword(fields + 8));
    layout->bitCount = Word(fields + 14);
    compression = Dword(fields + 16);
    clrUsed = Dword(fields + 32);
  }

  int bitCount = layout->bitCount;
  if (compression == kRgb) {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
      return false;
    if (bitCount == 16) {
      layout->red.Set(0x7C00, 16);
      layout->green.Set(0x03E0, 16);
      layout->blue.Set(0x001F, 16);
    } else if (bitCount == 32) {
      layout->red.Set(0x00FF0000, 32);
      layout->green.Set(0x0000FF00, 32);
      layout->blue.Set(0x000000FF, 32);
    }
  } else if (compression == kBitFields && (bitCount == 16 || bitCount == 32)) {
    // The masks follow a 40-byte header and lie inside longer ones.
    const uint8_t* masks = info + kInfoHeaderSize;
    if (infoSize == kInfoHeaderSize)
      headerEnd += kMaskBytes;
    else if (infoSize < kInfoHeaderSize + kMaskBytes)
      return false;
    if (got < kFileHeaderSize + kInfoHeaderSize + kMaskBytes) return false;
    if (!layout->red.Set(Dword(masks), bitCount) || !layout->green.Set(Dword(masks + 4), bitCount) ||
        !layout->blue.Set(Dword(masks + 8), bitCount))
      return false;
  } else {
    // Run-length, bit fields on other depths, embedded JPEG or PNG.
    return false;
  }

  if (width < 1 || width > kMaxDimension) return false;
  if (height < 0) {
    height = -height;
    layout->topDown = true;
  }
  if (height < 1 || height > kMaxDimension) return false;
  layout->width = static_cast<int32_t>(width);
  layout->height = static_cast<int32_t>(height);
  layout->fileRowBytes = static_cast<uint32_t>((width * bitCount + 31) / 32 * 4);

  // Indexed pictures keep at most 256 entries however many the header
  // claims; true-colour ones may carry a table too, which is passed over.
  uint64_t entries = clrUsed;
  if (!IsTrueColor(*layout) && entries == 0) entries = 1u << bitCount;
  uint64_t tableEnd = headerEnd + entries * entrySize;
  if (!IsTrueColor(*layout)) {
    int kept = entries > 256 ? 256 : static_cast<int>(entries);
    uint8_t bytes[256 * 4];
    uint32_t want = static_cast<uint32_t>(kept) * entrySize;
    if (ReadBytesAt(handle, headerEnd, bytes, want) < want) return false;
    for (int i = 0; i < kept; ++i) {
      const uint8_t* e = bytes + i * entrySize;
      layout->table[i] = PaletteEntry{e[0], e[1], e[2], 0};
    }
    layout->colorCount = kept;
  }
  uint32_t offBits = Dword(head + 10);
  layout->pixelOffset = offBits != 0 && offBits >= tableEnd ? offBits : tableEnd;
  return true;
}

// The file's rows in file order, read in chunks of at most kChunkBytes (or
// one row when a row is longer).
class RowSource {
 public:
  bool Begin(int handle, const Layout& layout) {
    handle_ = handle;
    offset_ = layout.pixelOffset;
    rowBytes_ = layout.fileRowBytes;
    rowsLeft_ = layout.height;
    chunkRows_ = static_cast<int32_t>(kChunkBytes / rowBytes_);
    if (chunkRows_ < 1) chunkRows_ = 1;
    if (chunkRows_ > rowsLeft_) chunkRows_ = rowsLeft_;
    inChunk_ = 0;
    next_ = 0;
    ended_ = false;
    return chunk_.Allocate(static_cast<size_t>(rowBytes_) * static_cast<size_t>(chunkRows_));
  }

  // The next whole row, or null once the file has ended before it.
  const uint8_t* Next() {
    if (next_ == inChunk_) {
      if (ended_ || rowsLeft_ == 0) return nullptr;
      int32_t rows = chunkRows_ < rowsLeft_ ? chunkRows_ : rowsLeft_;
      uint32_t want = rowBytes_ * static_cast<uint32_t>(rows);
      uint32_t got = ReadBytesAt(handle_, offset_, chunk_.data(), want);
      offset_ += want;
      rowsLeft_ -= rows;
      inChunk_ = static_cast<int32_t>(got / rowBytes_);
      next_ = 0;
      if (got < want) ended_ = true;
      if (inChunk_ == 0) return nullptr;
    }
    return chunk_.data() + static_cast<size_t>(next_++) * rowBytes_;
  }

 private:
  ByteBuffer chunk_;
  int handle_ = -1;
  uint64_t offset_ = 0;
  uint32_t rowBytes_ = 1;
  int32_t rowsLeft_ = 0;
  int32_t chunkRows_ = 1;
  int32_t inChunk_ = 0;
  int32_t next_ = 0;
  bool ended_ = false;
};

// Calls visit(red, green, blue) for every pixel of a true-colour file row.
template <typename Visit>
void ForEachColor(const Layout& layout, const uint8_t* row, Visit visit) {
  for (int32_t x = 0; x < layout.width; ++x) {
    if (layout.bitCount == 24) {
      const uint8_t* p = row + 3 * x;
      visit(p[2], p[1], p[0]);
    } else {
      uint32_t pixel = layout.bitCount == 16 ? Word(row + 2 * x) : Dword(row + 4 * x);
      visit(layout.red.Of(pixel), layout.green.Of(pixel), layout.blue.Of(pixel));
    }
  }
}

// First pass over a true-colour file: its exact colours when there are at
// most 256, else 256 chosen by median cut; into doc.workPalette and
// quantizedCount.
bool ChooseTrueColors(int handle, const Layout& layout) {
  RowSource rows;
  if (!rows.Begin(handle, layout)) return false;
  HistogramScope histogram;
  if (!histogram.allocated()) return false;
  SetStatusText("Calculating optimal palette ...");
  ExactColorSet exact(256);
  while (const uint8_t* row = rows.Next()) {
    ForEachColor(layout, row, [&](uint8_t r, uint8_t g, uint8_t b) {
      exact.Add(r, g, b);
      colorHistogram.Add(r, g, b);
    });
  }
  if (exact.overflowed())
    SelectColors(256);
  else
    exact.Store();
  SetStatusText("");
  return true;
}

// One file row as indices into out[0..width-1].
void ConvertIndexedRow(const Layout& layout, const uint8_t* row, uint8_t* out) {
  switch (layout.bitCount) {
    case 1:
      for (int32_t x = 0; x < layout.width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4:
      for (int32_t x = 0; x < layout.width; ++x) out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
      break;
    default:
      memcpy(out, row, static_cast<size_t>(layout.width));
      break;
  }
}

class BmpImport {
 public:
  bool Run(const char* path, int index);

 private:
  bool Read(const char* path, Frame& frame);
  bool WriteRows(int handle, Frame& frame);

  Layout layout_;
  uint8_t used_[256] = {};
};

bool BmpImport::Read(const char* path, Frame& frame) {
  ReadHandle file(path);
  if (file.get() < 0 || !ReadLayout(file.get(), &layout_)) return false;
  uint32_t stride = static_cast<uint32_t>(RowStride(layout_.width));
  uint64_t blockSize = static_cast<uint64_t>(stride) * static_cast<uint32_t>(layout_.height);
  if (doc.swapEnd + blockSize > kSwapLimit) return false;

  if (IsTrueColor(layout_)) {
    if (!ChooseTrueColors(file.get(), layout_)) return false;
    int count = quantizedCount;
    memcpy(frame.palette, doc.workPalette, sizeof(PaletteEntry) * count);
    memcpy(frame.palette + count, defaultPalette + count, sizeof(PaletteEntry) * (256 - count));
    for (int i = 0; i < count; ++i) frame.palette[i].reserved = 0;
    frame.colorCount = 256;
  } else {
    int count = layout_.colorCount;
    memcpy(frame.palette, layout_.table, sizeof(PaletteEntry) * count);
    memcpy(frame.palette + count, defaultPalette + count, sizeof(PaletteEntry) * (256 - count));
    frame.colorCount = static_cast<int16_t>(count);
  }
  frame.width = static_cast<int16_t>(layout_.width);
  frame.height = static_cast<int16_t>(layout_.height);
  frame.left = 0;
  frame.top = 0;
  frame.dataOffset = doc.swapEnd;
  return WriteRows(file.get(), frame);
}

// Second pass: every row converted and written at its place in the swap
// file. Rows the file does not hold are index 0: where the swap file holds
// older data they are written as zeros, elsewhere they already read so.
bool BmpImport::WriteRows(int handle, Frame& frame) {
  RowSource rows;
  ByteBuffer out;
  NearestCache cache;
  bool remembered = trueColorSearch == TrueColorSearch::kRemembered;
  if (!rows.Begin(handle, layout_) || !out.Allocate(static_cast<size_t>(RowStride(layout_.width)))) return false;
  if (IsTrueColor(layout_) && remembered && !cache.Allocate()) return false;

  int32_t stride = RowStride(layout_.width);
  // A short file's missing rows must read as zeros. Data beyond swapEnd
  // belongs to no entry: cut it off rather than write zeros over it, which
  // for a few bytes claiming a gigabyte would cost a gigabyte of writes.
  uint64_t length = FileLength(handle);
  uint64_t rowsHeld = length > layout_.pixelOffset ? (length - layout_.pixelOffset) / layout_.fileRowBytes : 0;
  if (rowsHeld < static_cast<uint64_t>(layout_.height) && doc.swapFile.size() > frame.dataOffset)
    doc.swapFile.Truncate(frame.dataOffset);
  uint64_t oldEnd = doc.swapFile.size();
  memset(used_, 0, sizeof used_);
  for (int32_t r = 0; r < layout_.height; ++r) {
    int32_t stored = layout_.topDown ? layout_.height - 1 - r : r;
    uint64_t offset = frame.dataOffset + static_cast<uint64_t>(stored) * static_cast<uint32_t>(stride);
    const uint8_t* row = rows.Next();
    if (row == nullptr) {
      used_[0] = 1;
      if (offset >= oldEnd) continue;
      memset(out.data(), 0, static_cast<size_t>(stride));
    } else if (IsTrueColor(layout_)) {
      uint8_t* pixel = out.data();
      ForEachColor(layout_, row, [&](uint8_t red, uint8_t green, uint8_t blue) {
        *pixel++ = remembered ? cache.Find(red, green, blue)
                              : static_cast<uint8_t>(NearestQuantizedColor(red, green, blue));
      });
    } else {
      ConvertIndexedRow(layout_, row, out.data());
    }
    for (int32_t x = 0; x < layout_.width; ++x) used_[out.data()[x]] = 1;
    doc.swapFile.WriteAt(static_cast<uint32_t>(offset), out.data(), stride);
    StepProgress(ProgressKind::kReading, layout_.height);
  }
  return true;
}

bool BmpImport::Run(const char* path, int index) {
  BeginProgress(index + 1);
  if (!InsertFrame(index)) return false;
  Frame& frame = *doc.frames[index];
  if (!Read(path, frame)) {
    DeleteFrame(index);
    ShowReadError();
    return false;
  }
  memcpy(frame.usedColors, used_, sizeof used_);
  doc.swapEnd += static_cast<uint32_t>(RowStride(frame.width)) * static_cast<uint32_t>(frame.height);
  if (static_cast<uint16_t>(frame.width) > doc.screenWidth) doc.screenWidth = static_cast<uint16_t>(frame.width);
  if (static_cast<uint16_t>(frame.height) > doc.screenHeight) doc.screenHeight = static_cast<uint16_t>(frame.height);
  CreateFramePalette(index);
  // A picture that starts a document is written without a global table.
  if (doc.frameCount < 2) {
    screenDescriptor.packed = 0x77;
    screenDescriptor.width = doc.screenWidth;
    screenDescriptor.height = doc.screenHeight;
  }
  return true;
}

}  // namespace

bool ImportBmp(const char* path, int index) {
  BmpImport import;
  return import.Run(path, index);
}
