// libFuzzer target for the JPEG import. Each input goes through a file, since
// the library reads a stdio file, and is imported into an empty document as
// the editor's Open does with a ".jpg" name; then the frame's rows are read
// back from the swap file, so that a size or offset that disagrees with what
// was written shows up under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "document/document.h"
#include "document/ui_operations.h"
#include "formats/jpeg_import.h"
#include "headless/headless_ui.h"
#include "fuzz_input.h"

namespace {

bool Setup() {
  if (!SetUpFuzzInput(".jpg")) return false;
  jpegDiagnostics = false;  // a line per input would drown the fuzzer's own output
  // A few bytes of header may claim a picture of millions of pixels, which
  // decodes far too slowly under the sanitizers: pictures up to a few
  // megapixels cover every path.
  jpegMemoryLimit = 32L * 1024 * 1024;
  return true;
}

void ReadFrameBack() {
  const Frame& frame = *doc.frames[0];
  if (frame.width <= 0 || frame.height <= 0 || frame.colorCount != 256) __builtin_trap();
  uint32_t count = static_cast<uint32_t>(RowStride(frame.width)) * static_cast<uint32_t>(frame.height);
  // The picture lies inside the data written so far.
  if (frame.dataOffset != 0 || count != doc.swapEnd || doc.swapFile.size() < count) __builtin_trap();
  std::vector<uint8_t> bytes(count);
  doc.swapFile.ReadBlockAt(frame.dataOffset, bytes.data(), count);
  // Every stored index is marked used; fill bytes are 0.
  int32_t stride = RowStride(frame.width);
  for (int32_t y = 0; y < frame.height; ++y) {
    const uint8_t* row = bytes.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < frame.width; ++x)
      if (!frame.usedColors[row[x]]) __builtin_trap();
    for (int32_t x = frame.width; x < stride; ++x)
      if (row[x] != 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = Setup();
  if (!ready || !WriteFuzzInput(data, size)) return 0;
  ClearDocument();
  RewindSwapFile();
  doc.swapFile.Truncate(0);  // so that a failure writing anything shows
  ResetHeadlessUi();  // what the last input recorded must not pile up
  bool loaded = ImportJpeg(FuzzInputPath(), 0);
  EndProgress();
  // A failed import says so exactly once and leaves the document empty.
  if (!loaded && (headlessUi().messages.size() != 1 || doc.frameCount != 0 || doc.swapEnd != 0 ||
                  doc.swapFile.size() != 0))
    __builtin_trap();
  if (loaded && (!headlessUi().messages.empty() || doc.frameCount != 1)) __builtin_trap();
  if (loaded) ReadFrameBack();
  return 0;
}
