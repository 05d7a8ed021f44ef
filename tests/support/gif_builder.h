// GifBuilder: writes GIF files byte by byte for the tests, so that a
// malformed file is one readable expression. Image data is coded with
// literal codes only, at the code width a decoder expects, with a clear code
// whenever the table would fill.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ImageOptions {
  int localColors = 0;  // 0: no local table; else 2..256 (a power of two)
  int minCodeSize = 0;  // 0: enough bits for the table (at least 2)
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
    Word(width).Word(height);
    bytes.insert(bytes.end(), {static_cast<uint8_t>(colors ? 0xF0 | SizeField(colors) : 0),
                               static_cast<uint8_t>(background), 0});
    globalColors_ = colors;
    return Table(colors, 0);
  }
  GifBuilder& GraphicControl(int disposal, bool transparent, int delay, int transparentIndex) {
    Raw({0x21, 0xF9, 4, static_cast<uint8_t>((disposal << 2) | (transparent ? 1 : 0))}).Word(delay);
    return Raw({static_cast<uint8_t>(transparentIndex), 0});
  }
  GifBuilder& Comment(const std::string& text) {
    return Raw({0x21, 0xFE}).SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
  }
  GifBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                    const ImageOptions& options = ImageOptions()) {
    Raw({0x2C}).Word(left).Word(top).Word(width).Word(height);
    Raw({static_cast<uint8_t>(options.localColors ? 0x80 | SizeField(options.localColors) : 0)});
    Table(options.localColors, 100);
    int minCodeSize = options.minCodeSize ? options.minCodeSize : 2;
    const int colors = options.localColors ? options.localColors : globalColors_ ? globalColors_ : 256;
    while (!options.minCodeSize && (1 << minCodeSize) < colors) ++minCodeSize;
    return Raw({static_cast<uint8_t>(minCodeSize)}).SubBlocks(LiteralCodes(pixels, minCodeSize));
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
    return Raw({0});
  }
  GifBuilder& Trailer() { return Raw({0x3B}); }

 private:
  int globalColors_ = 0;

  // Literal codes for every pixel, packed least-significant bit first,
  // tracking the table a decoder builds (one entry per code after the first)
  // and so the width it reads with.
  static std::vector<uint8_t> LiteralCodes(const std::vector<uint8_t>& pixels, int minCodeSize) {
    std::vector<uint8_t> out;
    uint32_t accumulator = 0;
    int bits = 0;
    auto put = [&](int code, int width) {
      accumulator |= static_cast<uint32_t>(code) << bits;
      for (bits += width; bits >= 8; bits -= 8, accumulator >>= 8) out.push_back(static_cast<uint8_t>(accumulator));
    };
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1, nextFree = clear + 2;
    bool first = true;
    put(clear, width);
    for (uint8_t pixel : pixels) {
      if (!first && nextFree >= 4096) {
        put(clear, width);
        width = minCodeSize + 1, nextFree = clear + 2, first = true;
      }
      put(pixel, width);
      if (!first && nextFree < 4096) ++nextFree;
      first = false;
      if (nextFree >= (1 << width) && width < 12) ++width;
    }
    put(clear + 1, width);
    if (bits > 0) out.push_back(static_cast<uint8_t>(accumulator));
    return out;
  }

  static int SizeField(int colors) {
    int field = 0;
    while ((2 << field) < colors) ++field;
    return field;
  }
  GifBuilder& Word(int value) { return Raw({static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)}); }
  // Entry i is (i, base + i, 255 - i) so each index's colour is recognisable.
  GifBuilder& Table(int colors, int base) {
    for (int i = 0; i < colors; ++i) Raw({uint8_t(i), uint8_t(base + i), uint8_t(255 - i)});
    return *this;
  }
};
