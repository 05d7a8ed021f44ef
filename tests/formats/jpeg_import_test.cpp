// The JPEG import: each picture against libjpeg's own decode of the same
// file to 256 colours, row for row, with its palette and the stored layout.
#include "formats/jpeg_import.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

struct Reference {
  bool ok = false;
  int width = 0, height = 0;
  std::vector<uint8_t> rows;          // top to bottom, width bytes each
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
  out->width = static_cast<int>(info.output_width), out->height = static_cast<int>(info.output_height);
  out->rows.resize(static_cast<size_t>(out->width) * out->height);
  *row = info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width, 1);
  while (info.output_scanline < info.output_height) {
    size_t y = info.output_scanline;
    jpeg_read_scanlines(&info, *row, 1);
    std::copy(**row, **row + out->width, out->rows.begin() + y * out->width);
  }
  out->colours.resize(static_cast<size_t>(info.actual_number_of_colors));
  const bool grey = info.out_color_components == 1;
  for (int i = 0; i < info.actual_number_of_colors; ++i)
    out->colours[i] = PaletteEntry{info.colormap[grey ? 0 : 2][i], info.colormap[grey ? 0 : 1][i],
                                   info.colormap[0][i], 0};
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

class JpegImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(), jpegDiagnostics = false; }
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
    EXPECT_TRUE(doc.screenWidth == frame.width && doc.screenHeight == frame.height) << "the first picture's screen";
    ASSERT_LE(expected.colours.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
      PaletteEntry want = i < expected.colours.size() ? expected.colours[i] : PaletteEntry{0, 0, 0, 0};
      ASSERT_TRUE(memcmp(&frame.palette[i], &want, sizeof want) == 0)
          << "expected the library's colour map, entry " << i;
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

}  // namespace
