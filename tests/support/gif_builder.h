// GifBuilder: writes GIF files byte by byte for the tests, so that a
// malformed file is one readable expression. Image data is coded with
// literal codes only, at the code width a decoder expects, with an optional
// clear code whenever the table would fill.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImageOptions {
  int localColors = 0;  // 0: no local table; else 2..256 (a power of two)
  bool interlaced = false;
  int minCodeSize = 0;        // 0: enough bits for the table (at least 2)
  bool clearWhenFull = true;  // false: keep sending 12-bit codes once the table is full
};

class GifBuilder {
 public:
  std::vector<uint8_t> bytes;

  GifBuilder& Header(const char* signature = "GIF89a") {
    // One byte at a time: a range insert into the empty vector draws a false
    // overflow warning from the 32-bit MinGW compiler.
    for (int i = 0; i < 6; ++i) bytes.push_back(static_cast<uint8_t>(signature[i]));
    return *this;
  }
  // colors 0 means no global table.
  GifBuilder& Screen(int width, int height, int colors = 0, int background = 0) {
    Word(width);
    Word(height);
    bytes.push_back(static_cast<uint8_t>(colors ? 0x80 | 0x70 | SizeField(colors) : 0));
    bytes.insert(bytes.end(), {static_cast<uint8_t>(background), 0});
    Table(colors, 0);
    globalColors_ = colors;
    return *this;
  }
  GifBuilder& GraphicControl(int disposal, bool transparent, int delay, int transparentIndex) {
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, static_cast<uint8_t>((disposal << 2) | (transparent ? 1 : 0))});
    Word(delay);
    bytes.insert(bytes.end(), {static_cast<uint8_t>(transparentIndex), 0});
    return *this;
  }
  GifBuilder& Comment(const std::string& text) {
    return Raw({0x21, 0xFE}).SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
  }
  GifBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                    const ImageOptions& options = ImageOptions()) {
    bytes.push_back(0x2C);
    Word(left);
    Word(top);
    Word(width);
    Word(height);
    uint8_t packed = options.interlaced ? 0x40 : 0;
    if (options.localColors) packed |= static_cast<uint8_t>(0x80 | SizeField(options.localColors));
    bytes.push_back(packed);
    Table(options.localColors, 100);
    int minCodeSize = options.minCodeSize;
    if (minCodeSize == 0) {
      minCodeSize = 2;
      int colors = options.localColors ? options.localColors : globalColors_ ? globalColors_ : 256;
      while ((1 << minCodeSize) < colors) ++minCodeSize;
    }
    bytes.push_back(static_cast<uint8_t>(minCodeSize));
    return SubBlocks(LiteralCodes(pixels, minCodeSize, options));
  }
  // The raster in file order for an interlaced image of the given rows.
  static std::vector<uint8_t> Interlace(const std::vector<uint8_t>& rows, int width, int height) {
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < height; y += step[pass])
        out.insert(out.end(), rows.begin() + y * width, rows.begin() + (y + 1) * width);
    return out;
  }
  GifBuilder& Raw(std::initializer_list<uint8_t> raw) {
    bytes.insert(bytes.end(), raw);
    return *this;
  }
  GifBuilder& SubBlocks(const std::vector<uint8_t>& data) {
    for (size_t at = 0; at < data.size(); at += 255) {
      size_t n = data.size() - at < 255 ? data.size() - at : 255;
      bytes.push_back(static_cast<uint8_t>(n));
      bytes.insert(bytes.end(), data.begin() + at, data.begin() + at + n);
    }
    bytes.push_back(0);
    return *this;
  }
  GifBuilder& Trailer() { return Raw({0x3B}); }

  // Packs codes least-significant bit first, as a decoder reads them.
  struct BitPacker {
    std::vector<uint8_t> out;
    uint32_t accumulator = 0;
    int bits = 0;
    void Put(int code, int width) {
      accumulator |= static_cast<uint32_t>(code) << bits;
      for (bits += width; bits >= 8; bits -= 8, accumulator >>= 8) out.push_back(static_cast<uint8_t>(accumulator));
    }
    std::vector<uint8_t> Finish() {
      if (bits > 0) out.push_back(static_cast<uint8_t>(accumulator & 0xFF));
      bits = 0;
      accumulator = 0;
      return out;
    }
  };

  // Literal codes for every pixel, tracking the table a decoder builds (one
  // entry per code after the first) and so the width it reads with.
  static std::vector<uint8_t> LiteralCodes(const std::vector<uint8_t>& pixels, int minCodeSize,
                                           const ImageOptions& options) {
    BitPacker packer;
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    int nextFree = clear + 2;
    bool first = true;
    packer.Put(clear, width);
    for (uint8_t pixel : pixels) {
      if (!first && nextFree >= 4096 && options.clearWhenFull) {
        packer.Put(clear, width);
        width = minCodeSize + 1;
        nextFree = clear + 2;
        first = true;
      }
      packer.Put(pixel, width);
      if (!first && nextFree < 4096) ++nextFree;
      first = false;
      if (nextFree >= (1 << width) && width < 12) ++width;
    }
    packer.Put(clear + 1, width);
    return packer.Finish();
  }

 private:
  int globalColors_ = 0;

  static int SizeField(int colors) {
    int field = 0;
    while ((2 << field) < colors) ++field;
    return field;
  }
  void Word(int value) {
    bytes.insert(bytes.end(), {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)});
  }
  // Entry i is (i, base + i, 255 - i) so each index's colour is recognisable.
  void Table(int colors, int base) {
    for (int i = 0; i < colors; ++i)
      bytes.insert(bytes.end(), {uint8_t(i), uint8_t(base + i), uint8_t(255 - i)});
  }
};
