// The LZW encoder on its own, its output checked by a strict decoder written
// here from the format: every code's width, the clear codes, the end code and
// the sub-block framing, besides the pixels coming back.
#include "formats/lzw_encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

bool Collect(void* context, const uint8_t* bytes, int count) {
  auto* coded = static_cast<std::vector<uint8_t>*>(context);
  coded->insert(coded->end(), bytes, bytes + count);
  return true;
}

// Large: one per test binary, as the writer has one.
LzwEncoder& Encoder() {
  static std::unique_ptr<LzwEncoder> encoder(new LzwEncoder);
  return *encoder;
}

// Encodes pixels handed over in pieces of at most piece bytes: the
// sub-blocks and terminator as written.
std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int minCodeSize, size_t piece = 1u << 30) {
  std::vector<uint8_t> coded;
  LzwEncoder& encoder = Encoder();
  encoder.Begin(minCodeSize, Collect, &coded);
  for (size_t at = 0; at < pixels.size(); at += piece) {
    size_t n = pixels.size() - at < piece ? pixels.size() - at : piece;
    encoder.Encode(pixels.data() + at, static_cast<int>(n));
  }
  EXPECT_TRUE(encoder.Finish());
  return coded;
}

struct Code {
  int value;
  int width;
};

// What a strict decoder makes of the data: the framing must be sub-blocks of
// 255 but the last, then the terminator; the codes must stay within the
// table; the end code must come, followed by nothing but zero bits.
struct Decoded {
  std::string error;
  std::vector<uint8_t> pixels;
  std::vector<Code> codes;
};

Decoded StrictDecode(const std::vector<uint8_t>& coded, int minCodeSize) {
  Decoded result;
  std::vector<uint8_t> data;
  size_t at = 0;
  for (;;) {
    if (at >= coded.size()) return result.error = "no terminator", result;
    int size = coded[at++];
    if (size == 0) break;
    if (at + size > coded.size()) return result.error = "sub-block cut short", result;
    if (size != 255 && at + size < coded.size() && coded[at + size] != 0)
      return result.error = "a short sub-block before the last", result;
    data.insert(data.end(), coded.begin() + at, coded.begin() + at + size);
    at += size;
  }
  if (at != coded.size()) return result.error = "bytes after the terminator", result;

  const int clear = 1 << minCodeSize;
  int width = minCodeSize + 1;
  int nextFree = clear + 2;
  int previous = -1;
  std::vector<std::vector<uint8_t>> table(4096);
  for (int i = 0; i < clear; ++i) table[i] = {static_cast<uint8_t>(i)};
  size_t bit = 0;
  for (;;) {
    if (bit + width > data.size() * 8) return result.error = "no end code", result;
    int code = 0;
    for (int k = 0; k < width; ++k, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << k;
    result.codes.push_back({code, width});
    if (code == clear) {
      width = minCodeSize + 1;
      nextFree = clear + 2;
      previous = -1;
      continue;
    }
    if (code == clear + 1) break;
    if (previous < 0) {
      if (code > clear) return result.error = "a string code right after a clear", result;
    } else {
      if (code > nextFree || code == clear || code >= 4096)
        return result.error = "code " + std::to_string(code) + " beyond the table", result;
      std::vector<uint8_t> added = table[previous];
      added.push_back(code < nextFree ? table[code][0] : table[previous][0]);
      if (nextFree < 4096) table[nextFree] = added;
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

TEST(LzwEncoderTest, NoisyFullRangePixelsFillTheTableAndClearAt12Bits) {
  std::vector<uint8_t> pixels = Noise(200000, 256, 7);
  Decoded decoded = StrictDecode(Encode(pixels, 8), 8);
  ASSERT_EQ("", decoded.error);
  EXPECT_TRUE(decoded.pixels == pixels) << "expected the noise back, got " << decoded.pixels.size() << " pixels";
  ASSERT_EQ(256, decoded.codes.front().value);
  EXPECT_EQ(9, decoded.codes.front().width);
  int clears = 0;
  for (size_t i = 1; i + 1 < decoded.codes.size(); ++i) {
    if (decoded.codes[i].value != 256) continue;
    ++clears;
    EXPECT_EQ(12, decoded.codes[i].width) << "clear code " << clears;
    EXPECT_EQ(9, decoded.codes[i + 1].width) << "the code after clear " << clears;
  }
  EXPECT_GT(clears, 10) << "expected the table to fill many times";
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

TEST(LzwEncoderTest, AnEmptyImageIsAClearAndAnEndCode) {
  // 100 (clear) then 101 (end), 3 bits each, least significant bit first.
  EXPECT_EQ((std::vector<uint8_t>{1, 0x2C, 0}), Encode({}, 2));
}

TEST(LzwEncoderTest, HowThePixelsArriveDoesNotChangeTheBytes) {
  std::vector<uint8_t> pixels = Noise(50000, 16, 3);
  std::vector<uint8_t> whole = Encode(pixels, 4);
  for (size_t piece : {1u, 7u, 255u, 4096u}) EXPECT_TRUE(Encode(pixels, 4, piece) == whole) << "pieces of " << piece;
}

struct FailingSink {
  int callsLeft;
  int calls = 0;
};

bool FailAfter(void* context, const uint8_t*, int) {
  FailingSink* sink = static_cast<FailingSink*>(context);
  ++sink->calls;
  return sink->callsLeft-- > 0;
}

TEST(LzwEncoderTest, AFailedWriteIsReportedAndNothingIsWrittenAfterIt) {
  std::vector<uint8_t> pixels = Noise(400000, 256, 5);
  for (int succeeding : {0, 1, 3}) {
    FailingSink sink{succeeding};
    LzwEncoder& encoder = Encoder();
    encoder.Begin(8, FailAfter, &sink);
    encoder.Encode(pixels.data(), static_cast<int>(pixels.size()));
    EXPECT_TRUE(encoder.failed()) << succeeding << " writes succeeding";
    EXPECT_FALSE(encoder.Finish()) << succeeding << " writes succeeding";
    EXPECT_EQ(succeeding + 1, sink.calls) << "expected no write after the failed one";
  }
  // The next image starts afresh.
  EXPECT_EQ("", StrictDecode(Encode(pixels, 8), 8).error);
}

}  // namespace
