// Tests of the JPEG import: each picture against libjpeg's own decode of the
// same file to 256 colours, the bottom-up layout, the palette, and the files
// that must be refused with the document left as it was.
#include "formats/jpeg_import.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "document/gif_screen.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

struct Reference {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rows;        // top to bottom, width bytes each
  std::vector<PaletteEntry> colours;  // the library's colour map
};

struct Trap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void Jump(j_common_ptr info) { std::longjmp(reinterpret_cast<Trap*>(info->err)->jump, 1); }
void Quiet(j_common_ptr, int) {}

// libjpeg straight through its API with the importer's parameters. Nothing
// with a destructor is created between setjmp and the last library call.
void DecodeWithLibrary(FILE* file, Trap& trap, jpeg_decompress_struct& info, Reference* out,
                       JSAMPARRAY* row) {
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = Jump;
  trap.manager.emit_message = Quiet;
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&info);
    out->ok = false;
    return;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.quantize_colors = TRUE;
  info.desired_number_of_colors = 256;
  info.dither_mode = JDITHER_FS;
  jpeg_start_decompress(&info);
  out->width = static_cast<int>(info.output_width);
  out->height = static_cast<int>(info.output_height);
  out->rows.resize(static_cast<size_t>(out->width) * out->height);
  *row = info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width, 1);
  while (info.output_scanline < info.output_height) {
    size_t y = info.output_scanline;
    jpeg_read_scanlines(&info, *row, 1);
    std::copy(**row, **row + out->width, out->rows.begin() + y * out->width);
  }
  out->colours.resize(static_cast<size_t>(info.actual_number_of_colors));
  for (int i = 0; i < info.actual_number_of_colors; ++i) {
    bool grey = info.out_color_components == 1;
    out->colours[i] = PaletteEntry{info.colormap[grey ? 0 : 2][i], info.colormap[grey ? 0 : 1][i],
                                   info.colormap[0][i], 0};
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  out->ok = true;
}

Reference LibraryDecode(const std::string& path) {
  Reference result;
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return result;
  Trap trap{};
  jpeg_decompress_struct info{};
  JSAMPARRAY row = nullptr;
  DecodeWithLibrary(file, trap, info, &result, &row);
  fclose(file);
  return result;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The whole stored block of frame index, bottom row first, as in the swap file.
std::vector<uint8_t> StoredBlock(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<uint8_t> block(static_cast<size_t>(RowStride(frame.width)) * frame.height);
  doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  return block;
}

std::string Rgb(const PaletteEntry& e) {
  return "(" + std::to_string(e.red) + "," + std::to_string(e.green) + "," + std::to_string(e.blue) + ")";
}

bool Near(const PaletteEntry& e, int red, int green, int blue) {
  return std::abs(e.red - red) <= 24 && std::abs(e.green - green) <= 24 && std::abs(e.blue - blue) <= 24;
}

class JpegImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    jpegDiagnostics = false;
  }
};

TEST_F(JpegImportTest, EveryReadablePictureMatchesTheLibrarysOwnDecode) {
  // Baseline, progressive, grey, odd sizes and sampling, restart markers, and
  // the damaged files libjpeg completes with a warning (missing data filled in).
  const char* files[] = {"peacock-default.jpg", "peacock-progressive.jpg", "peacock-grayscale.jpg",
                         "progressive-gray.jpg", "mona-lisa-21x32-q50.jpg", "restart-interval-hat.jpg",
                         "width-13.jpg", "height-1.jpg", "size-1x1.jpg", "few-colors-444.jpg",
                         "malformed-truncated-hat.jpg", "peacock-default-truncated.jpg",
                         "peacock-progressive-truncated.jpg", "artificial-hippopotamus-bad-comment-length.jpg",
                         "artificial-hippopotamus-sof-dht-swap.jpg", "ijg-arithmetic.jpg"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    ResetDocument();
    Reference expected = LibraryDecode(TestDataPath(name));
    ASSERT_TRUE(expected.ok) << "expected libjpeg to decode the file, got an error";
    ASSERT_TRUE(ImportJpeg(TestDataPath(name).c_str(), 0)) << "expected a frame, got a failure";
    EXPECT_TRUE(headlessUi().messages.empty()) << "expected no message, got " << headlessUi().messages.size();
    const Frame& frame = *doc.frames[0];
    ASSERT_TRUE(frame.width == expected.width && frame.height == expected.height)
        << "expected " << expected.width << "x" << expected.height << ", got " << frame.width << "x" << frame.height;
    EXPECT_EQ(FramePixels(0), expected.rows) << "expected the library's indices row for row, got others";
    EXPECT_EQ(frame.colorCount, 256) << "expected colorCount 256, got " << frame.colorCount;
    ASSERT_LE(expected.colours.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
      PaletteEntry want = i < expected.colours.size() ? expected.colours[i] : PaletteEntry{0, 0, 0, 0};
      ASSERT_TRUE(memcmp(&frame.palette[i], &want, sizeof want) == 0)
          << "entry " << i << ": expected " << Rgb(want) << ", got " << Rgb(frame.palette[i]);
    }
    int32_t stride = RowStride(frame.width);
    EXPECT_EQ(doc.swapEnd, static_cast<uint32_t>(stride * frame.height)) << "got swapEnd " << doc.swapEnd;
    std::vector<uint8_t> block = StoredBlock(0);
    for (int32_t y = 0; y < frame.height; ++y)
      for (int32_t x = frame.width; x < stride; ++x)
        ASSERT_EQ(block[y * stride + x], 0) << "expected fill bytes 0 in stored row " << y;
    for (uint8_t index : expected.rows) ASSERT_EQ(frame.usedColors[index], 1) << "expected index " << +index << " used";
  }
}

TEST_F(JpegImportTest, KnownPicturesAreStoredBottomUp) {
  // few-colors-444.jpg: 8x6 flat blocks, red rising to the right, green
  // downwards, blue on alternate blocks; black top left.
  ASSERT_TRUE(ImportJpeg(TestDataPath("few-colors-444.jpg").c_str(), 0));
  const PaletteEntry* palette = doc.frames[0]->palette;
  std::vector<uint8_t> block = StoredBlock(0);
  EXPECT_TRUE(Near(palette[block[47 * 64]], 0, 0, 0)) << "top left: expected black, got " << Rgb(palette[block[47 * 64]]);
  EXPECT_TRUE(Near(palette[block[47 * 64 + 63]], 255, 0, 255)) << "top right: expected (255,0,255), got "
                                                               << Rgb(palette[block[47 * 64 + 63]]);
  EXPECT_TRUE(Near(palette[block[0]], 0, 255, 255)) << "bottom left: expected (0,255,255), got " << Rgb(palette[block[0]]);

  // A single pixel, then a single row appended after it.
  ResetDocument();
  ASSERT_TRUE(ImportJpeg(TestDataPath("size-1x1.jpg").c_str(), 0));
  PaletteEntry pixel = doc.frames[0]->palette[StoredBlock(0)[0]];
  EXPECT_TRUE(Near(pixel, 0x33, 0x66, 0x99)) << "expected (51,102,153), got " << Rgb(pixel);
  ASSERT_TRUE(ImportJpeg(TestDataPath("height-1.jpg").c_str(), 1));
  EXPECT_EQ(doc.frames[1]->dataOffset, 4u) << "expected the row after the 4-byte pixel row, got "
                                           << doc.frames[1]->dataOffset;
  PaletteEntry left = doc.frames[1]->palette[StoredBlock(1)[0]];
  PaletteEntry right = doc.frames[1]->palette[StoredBlock(1)[99]];
  EXPECT_TRUE(left.red > 200 && left.blue < 60) << "expected red at the left, got " << Rgb(left);
  EXPECT_TRUE(right.blue > 200 && right.red < 60) << "expected blue at the right, got " << Rgb(right);
}

TEST_F(JpegImportTest, FirstPictureSetsTheScreenAndLaterOnesOnlyRaiseIt) {
  ASSERT_TRUE(ImportJpeg(TestDataPath("width-13.jpg").c_str(), 0));
  EXPECT_EQ(screenDescriptor.packed, 0x77) << "expected packed 0x77, got " << +screenDescriptor.packed;
  EXPECT_TRUE(screenDescriptor.width == 13 && screenDescriptor.height == 10 && doc.screenWidth == 13)
      << "expected a 13x10 screen, got " << screenDescriptor.width << "x" << screenDescriptor.height;

  ASSERT_TRUE(ImportJpeg(TestDataPath("height-1.jpg").c_str(), 1));
  EXPECT_TRUE(doc.screenWidth == 100 && doc.screenHeight == 10)
      << "expected the screen raised to 100x10, got " << doc.screenWidth << "x" << doc.screenHeight;
  EXPECT_EQ(screenDescriptor.width, 13) << "expected a second frame to leave the descriptor, got width "
                                        << screenDescriptor.width;
}

// What a refused import must leave: one message and the document as it was.
void ExpectRefused(const std::string& path) {
  int frames = doc.frameCount;
  uint32_t swapEnd = doc.swapEnd;
  uint64_t swapSize = doc.swapFile.size();
  uint16_t screenWidth = doc.screenWidth;
  Frame* first = frames > 0 ? doc.frames[0].get() : nullptr;
  ResetHeadlessUi();

  EXPECT_FALSE(ImportJpeg(path.c_str(), 0)) << "expected the import refused, got a frame";
  ASSERT_EQ(headlessUi().messages.size(), 1u) << "expected one message, got " << headlessUi().messages.size();
  EXPECT_EQ(headlessUi().messages[0], "Error in reading file");
  EXPECT_EQ(doc.frameCount, frames) << "expected " << frames << " entries, got " << doc.frameCount;
  EXPECT_EQ(frames > 0 ? doc.frames[0].get() : nullptr, first) << "expected the old first frame still first";
  EXPECT_EQ(doc.swapEnd, swapEnd) << "expected swapEnd " << swapEnd << ", got " << doc.swapEnd;
  EXPECT_EQ(doc.swapFile.size(), swapSize) << "expected nothing written to the swap file, got "
                                           << doc.swapFile.size() - swapSize << " bytes";
  EXPECT_EQ(doc.screenWidth, screenWidth);
}

TEST_F(JpegImportTest, DamagedWrongAndUnsupportedFilesAreRefusedLeavingTheDocument) {
  // The four-component files (CMYK, YCCK) the library could quantise, but in
  // a colour space no frame palette can show.
  const char* files[] = {"malformed-empty.jpg", "malformed-gif-named-jpg.jpg", "malformed-text-named-jpg.jpg",
                         "malformed-truncated-header.jpg", "ijg-12-bit.jpg", "no-such-file.jpg",
                         "cmyk-pillow.jpg", "cmyk-ycck-imagemagick.jpg"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    ResetDocument();
    ASSERT_TRUE(ImportJpeg(TestDataPath("size-1x1.jpg").c_str(), 0));
    ExpectRefused(TestDataPath(name));
  }
}

TEST_F(JpegImportTest, PicturesTheFrameRecordOrSwapFileCannotHoldAreRefused) {
  // size-1x1.jpg claiming 40000 pixels across: beyond a 16-bit width.
  std::vector<uint8_t> bytes = ReadBytes(TestDataPath("size-1x1.jpg"));
  size_t sof = 0;
  for (size_t i = 0; i + 9 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) sof = i;
  ASSERT_NE(sof, 0u) << "expected a baseline frame header in size-1x1.jpg";
  ASSERT_TRUE(ImportJpeg(TestDataPath("size-1x1.jpg").c_str(), 0));
  std::vector<uint8_t> wide = bytes;
  wide[sof + 7] = 40000 >> 8;
  wide[sof + 8] = 40000 & 0xFF;
  ExpectRefused(WriteScratchFile("width-40000.jpg", wide));

  // 30000 x 30000 fits the record, but the library would need 2.7 GB for it.
  std::vector<uint8_t> huge = bytes;
  huge[sof + 5] = huge[sof + 7] = 30000 >> 8;
  huge[sof + 6] = huge[sof + 8] = 30000 & 0xFF;
  ExpectRefused(WriteScratchFile("size-30000.jpg", huge));

  // A picture that would pass 4 GiB in the swap file.
  ResetDocument();
  doc.swapEnd = 0xFFFFFFFFu - 2;
  ExpectRefused(TestDataPath("size-1x1.jpg"));
  doc.swapEnd = 0;
}

TEST_F(JpegImportTest, FullFrameListRefusesWithoutAMessage) {
  for (int i = 0; i < kMaxEntries; ++i) ASSERT_TRUE(InsertFrame(0));
  EXPECT_FALSE(ImportJpeg(TestDataPath("size-1x1.jpg").c_str(), 0)) << "expected no room, got a frame";
  EXPECT_TRUE(headlessUi().messages.empty()) << "expected no message, got " << headlessUi().messages.size();
  EXPECT_EQ(doc.frameCount, kMaxEntries);
}

}  // namespace
