// The LZW encoder on its own, its output checked by a strict decoder written
// here from the format: every code's width, the clear codes, the end code and
// the sub-block framing, besides the pixels coming back.
#include "formats/lzw_encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

bool Collect(void* context, const uint8_t* bytes, int count) {
  std::vector<uint8_t>& coded = *static_cast<std::vector<uint8_t>*>(context);
  coded.insert(coded.end(), bytes, bytes + count);
  return true;
}

// Large: one per test binary, as the writer has one.
LzwEncoder& Encoder() {
  static std::unique_ptr<LzwEncoder> encoder(new LzwEncoder);
  return *encoder;
}

// The sub-blocks and terminator written for pixels.
std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int minCodeSize) {
  std::vector<uint8_t> coded;
  Encoder().Begin(minCodeSize, Collect, &coded);
  Encoder().Encode(pixels.data(), static_cast<int>(pixels.size()));
  EXPECT_TRUE(Encoder().Finish());
  return coded;
}

// What a strict decoder makes of the data: the framing must be sub-blocks of
// 255 but the last, then the terminator; the codes must stay within the
// table; the end code must come, followed by nothing but zero bits.
struct Decoded {
  std::string error;
  std::vector<uint8_t> pixels;
};

Decoded StrictDecode(const std::vector<uint8_t>& coded, int minCodeSize) {
  Decoded result;
  std::vector<uint8_t> data;
  size_t at = 0;
  for (int size; (size = at < coded.size() ? coded[at++] : -1) != 0; at += size) {
    if (size < 0 || at + size > coded.size()) return result.error = "no terminator", result;
    if (size != 255 && at + size < coded.size() && coded[at + size] != 0)
      return result.error = "a short sub-block before the last", result;
    data.insert(data.end(), coded.begin() + at, coded.begin() + at + size);
  }
  if (at != coded.size()) return result.error = "bytes after the terminator", result;

  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1, nextFree = clear + 2, previous = -1;
  std::vector<std::vector<uint8_t>> table(4096);
  for (int i = 0; i < clear; ++i) table[i] = {static_cast<uint8_t>(i)};
  std::set<std::vector<uint8_t>> added;  // since the last clear
  size_t bit = 0;
  for (;;) {
    if (bit + width > data.size() * 8) return result.error = "no end code", result;
    int code = 0;
    for (int k = 0; k < width; ++k, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << k;
    if (code == clear) {
      width = minCodeSize + 1, nextFree = clear + 2, previous = -1;
      added.clear();
      continue;
    }
    if (code == clear + 1) break;
    if (previous < 0 && code > clear) return result.error = "a string code right after a clear", result;
    if (previous >= 0) {
      if (code > nextFree || code >= 4096) return result.error = "code " + std::to_string(code) + " beyond the table", result;
      std::vector<uint8_t> string = table[previous];
      string.push_back(code < nextFree ? table[code][0] : table[previous][0]);
      // A string the table holds already means the encoder missed it.
      if (nextFree < 4096 && !added.insert(string).second)
        return result.error = "a string the table holds came again", result;
      if (nextFree < 4096) table[nextFree] = string;
      ++nextFree;
    }
    if (nextFree >= (1 << width) && width < 12) ++width;
    result.pixels.insert(result.pixels.end(), table[code].begin(), table[code].end());
    previous = code;
  }
  for (; bit < data.size() * 8; ++bit)
    if ((data[bit / 8] >> (bit % 8)) & 1) return result.error = "set bits after the end code", result;
  if (data.size() * 8 - bit >= 8) return result.error = "a whole byte after the end code", result;
  return result;
}

// Every image length from 1 to 700 at every code size: the last string lands
// at every point of a width change, where the end code's width is easy to
// get wrong.
TEST(LzwEncoderTest, EveryLengthAndCodeSizeDecodesStrictly) {
  for (int minCodeSize = 2; minCodeSize <= 8; ++minCodeSize) {
    std::vector<uint8_t> all = Noise(700, 1 << minCodeSize, 99u + minCodeSize);
    for (size_t n = 0; n <= all.size(); ++n) {
      std::vector<uint8_t> pixels(all.begin(), all.begin() + n);
      Decoded decoded = StrictDecode(Encode(pixels, minCodeSize), minCodeSize);
      ASSERT_EQ("", decoded.error) << "code size " << minCodeSize << ", " << n << " pixels";
      ASSERT_TRUE(decoded.pixels == pixels) << "code size " << minCodeSize << ", " << n << " pixels";
    }
  }
}

// Images that fill the table many times, coded a row at a time: the encoder
// must find every string its table holds, across rows and clears, or it codes
// the same string twice.
TEST(LzwEncoderTest, ImagesOfManyTablesFindEveryStringTheyHold) {
  for (int colours : {4, 256}) {
    const int minCodeSize = colours == 4 ? 2 : 8;
    const std::vector<uint8_t> pixels = Noise(400 * 300, colours, 7u);
    std::vector<uint8_t> coded;
    Encoder().Begin(minCodeSize, Collect, &coded);
    for (size_t row = 0; row < pixels.size(); row += 400) Encoder().Encode(pixels.data() + row, 400);
    ASSERT_TRUE(Encoder().Finish());
    Decoded decoded = StrictDecode(coded, minCodeSize);
    ASSERT_EQ("", decoded.error) << colours << " colours";
    EXPECT_TRUE(decoded.pixels == pixels) << colours << " colours";
  }
}

}  // namespace
