// JPEG import: one JPEG file decoded by libjpeg (6.2 interface) and reduced by
// the library itself to at most 256 colours (two-pass quantisation,
// Floyd-Steinberg dithering), inserted as a new image frame.
//
// libjpeg reports an error by calling error_exit, which must not return: ours
// jumps back into RunLibrary. That jump leaves the library's frames and our
// sink's, so nothing with a destructor lives there: the whole decode is one
// plain record, and its picture block and file are released explicitly by
// DecodeJpeg on either branch.
#include "formats/jpeg_import.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "platform/utf8_path.h"

PaletteEntry jpegPalette[256];
uint8_t jpegUsedColors[256];
uint32_t jpegTargetOffset = 0;
// Two-pass quantisation keeps the whole picture inside the library (3 bytes
// a pixel, about twice that for progressive files): past this the library
// refuses rather than let a few hundred bytes of header claim gigabytes.
long jpegMemoryLimit = 512L * 1024 * 1024;
#ifdef _WIN32
bool jpegDiagnostics = false;
#else
bool jpegDiagnostics = true;
#endif

namespace {

// The frame record keeps signed 16-bit sizes and the swap file 32-bit offsets.
constexpr JDIMENSION kMaxDimension = 32767;

// The error manager comes first, so that libjpeg's pointer to it is also a
// pointer to the trap.
struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

// The output sink: takes the quantised rows one at a time and places them
// bottom-up in the picture block.
struct FrameSink {
  JSAMPARRAY sample;        // one row, from the library's image pool
  uint32_t rowBytes;        // output width rounded up to a multiple of 4
  uint32_t height;
  uint8_t* picture;         // rowBytes x height, zeroed: fill bytes and missing rows read 0
  uint32_t rowsReceived;
};

// Everything one decode holds. Plain data only: see the file comment.
struct JpegDecode {
  ErrorTrap trap;
  jpeg_decompress_struct info;
  FILE* file;
  FrameSink sink;
};

JpegDecode decode;

void Diagnostic(const char* line) {
  if (jpegDiagnostics) fputs(line, stdout);
}

[[noreturn]] void TrapError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// No library message ever reaches the user: a failure says only "Error in
// reading file", and warnings (a truncated file) are no failure.
void SilentOutput(j_common_ptr) {}
void SilentEmit(j_common_ptr, int) {}

[[noreturn]] void Refuse(j_decompress_ptr info, int code) {
  info->err->msg_code = code;
  info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
  std::abort();  // error_exit never returns
}

void StartSink(JpegDecode& d) {
  j_decompress_ptr info = &d.info;
  // Four components (CMYK, YCCK) would be quantised in a colour space the
  // frame palette cannot show.
  if (info->out_color_space != JCS_GRAYSCALE && info->out_color_space != JCS_RGB)
    Refuse(info, JERR_CONVERSION_NOTIMPL);
  jpeg_calc_output_dimensions(info);
  if (info->output_components != 1) Refuse(info, JERR_CONVERSION_NOTIMPL);
  if (info->output_width > kMaxDimension || info->output_height > kMaxDimension)
    Refuse(info, JERR_IMAGE_TOO_BIG);
  uint32_t rowBytes = static_cast<uint32_t>(RowStride(static_cast<int32_t>(info->output_width)));
  uint64_t blockSize = static_cast<uint64_t>(rowBytes) * info->output_height;
  if (jpegTargetOffset + blockSize > kSwapLimit) Refuse(info, JERR_IMAGE_TOO_BIG);

  d.sink.rowBytes = rowBytes;
  d.sink.height = info->output_height;
  d.sink.rowsReceived = 0;
  d.sink.picture = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(blockSize), 1));
  if (d.sink.picture == nullptr) Refuse(info, JERR_OUT_OF_MEMORY);
  d.sink.sample = info->mem->alloc_sarray(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                          rowBytes, 1);
}

void PutRows(JpegDecode& d, JDIMENSION count) {
  FrameSink& sink = d.sink;
  JDIMENSION width = d.info.output_width;
  for (JDIMENSION r = 0; r < count && sink.rowsReceived < sink.height; ++r) {
    const uint8_t* row = sink.sample[r];
    uint8_t* out = sink.picture + static_cast<size_t>(sink.height - 1 - sink.rowsReceived) * sink.rowBytes;
    memcpy(out, row, width);
    for (JDIMENSION x = 0; x < width; ++x) jpegUsedColors[row[x]] = 1;
    ++sink.rowsReceived;
  }
}

void FillPalette(JpegDecode& d) {
  const jpeg_decompress_struct& info = d.info;
  memset(jpegPalette, 0, sizeof jpegPalette);
  if (info.colormap == nullptr) {
    for (int i = 0; i < 256; ++i) {
      uint8_t g = static_cast<uint8_t>(i);
      jpegPalette[i] = PaletteEntry{g, g, g, 0};
    }
    return;
  }
  int count = info.actual_number_of_colors;
  if (count > 256 || count < 0) Refuse(&d.info, JERR_QUANT_MANY_COLORS);
  for (int i = 0; i < count; ++i) {
    if (info.out_color_components >= 3) {
      jpegPalette[i] = PaletteEntry{info.colormap[2][i], info.colormap[1][i], info.colormap[0][i], 0};
    } else {
      uint8_t g = info.colormap[0][i];
      jpegPalette[i] = PaletteEntry{g, g, g, 0};
    }
  }
}

// The library's part of a decode, over d.file. False after any library
// error, the decompression object then destroyed; the picture block and the
// file are the caller's to release. The library calls come in the order
// create, source, header, start, scanlines, finish, destroy.
bool RunLibrary(JpegDecode& d, int colours) {
  if (setjmp(d.trap.jump)) {
    jpeg_destroy(reinterpret_cast<j_common_ptr>(&d.info));
    return false;
  }
  jpeg_create_decompress(&d.info);
  d.info.mem->max_memory_to_use = jpegMemoryLimit;
  jpeg_stdio_src(&d.info, d.file);
  jpeg_read_header(&d.info, TRUE);
  d.info.quantize_colors = TRUE;
  d.info.desired_number_of_colors = colours;
  d.info.dither_mode = JDITHER_FS;
  StartSink(d);
  jpeg_start_decompress(&d.info);
  while (d.info.output_scanline < d.info.output_height) {
    JDIMENSION got = jpeg_read_scanlines(&d.info, d.sink.sample, 1);
    // A stdio source never suspends: no row means the library gave up.
    if (got == 0) Refuse(&d.info, JERR_TOO_LITTLE_DATA);
    PutRows(d, got);
    StepProgress(ProgressKind::kReading, static_cast<int>(d.info.output_height));
  }
  Diagnostic("JPEG DONE\n");
  // The colour map lives in the image pool, which finishing frees.
  FillPalette(d);
  Diagnostic("finish output\n");
  jpeg_finish_decompress(&d.info);
  Diagnostic("finish decompress\n");
  jpeg_destroy_decompress(&d.info);
  Diagnostic("destroy decompress\n");
  return true;
}

}  // namespace

bool DecodeJpeg(const char* path, int colours, int* width, int* height) {
  JpegDecode& d = decode;
  memset(&d, 0, sizeof d);
  memset(jpegUsedColors, 0, sizeof jpegUsedColors);
  d.info.err = jpeg_std_error(&d.trap.manager);
  d.trap.manager.error_exit = TrapError;
  d.trap.manager.output_message = SilentOutput;
  d.trap.manager.emit_message = SilentEmit;
  d.trap.manager.trace_level = 0;

  d.file = OpenFile(path, "rb");
  if (d.file == nullptr) return false;
  bool ok = RunLibrary(d, colours);
  // Written only once the library has finished without error, so that a
  // failure appends nothing to the swap file.
  if (ok) doc.swapFile.WriteBlockAt(jpegTargetOffset, d.sink.picture, d.sink.rowBytes * d.sink.height);
  std::free(d.sink.picture);
  d.sink.picture = nullptr;
  fclose(d.file);
  d.file = nullptr;
  if (!ok) return false;
  Diagnostic("file closed\n");

  *width = static_cast<int>(d.info.output_width);
  *height = static_cast<int>(d.info.output_height);
  if (jpegDiagnostics) printf("qx: %i i qy: %i done\n", *width, *height);
  return true;
}

bool ImportJpeg(const char* path, int index) {
  BeginProgress(index + 1);
  if (!InsertFrame(index)) return false;
  jpegTargetOffset = doc.swapEnd;
  doc.frames[index]->dataOffset = doc.swapEnd;

  int width = 0;
  int height = 0;
  if (!DecodeJpeg(path, 256, &width, &height)) {
    DeleteFrame(index);
    ShowReadError();
    return false;
  }

  Frame& frame = *doc.frames[index];
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  frame.left = 0;
  frame.top = 0;
  doc.swapEnd += static_cast<uint32_t>(RowStride(width)) * static_cast<uint32_t>(height);
  memcpy(frame.palette, jpegPalette, sizeof frame.palette);
  memcpy(frame.usedColors, jpegUsedColors, sizeof frame.usedColors);
  CreateFramePalette(index);
  frame.colorCount = 256;

  if (width > doc.screenWidth) doc.screenWidth = static_cast<uint16_t>(width);
  if (height > doc.screenHeight) doc.screenHeight = static_cast<uint16_t>(height);
  if (doc.frameCount < 2) {
    screenDescriptor.packed = 0x77;
    screenDescriptor.width = static_cast<uint16_t>(width);
    screenDescriptor.height = static_cast<uint16_t>(height);
  }
  return true;
}
