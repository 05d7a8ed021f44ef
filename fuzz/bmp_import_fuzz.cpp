// libFuzzer target for the BMP import. Each input goes through a file whose
// name ends in ".bmp", so that it is loaded as File/Open loads a bitmap;
// then the frame's rows are read back from the swap file, so that a size or
// dataOffset that disagrees with what was written shows up under the
// sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/document.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "fuzz_input.h"

namespace {

void ReadEveryEntryBack() {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame) || frame.width <= 0 || frame.height <= 0 || frame.colorCount < 1 ||
        frame.colorCount > 256)
      __builtin_trap();
    uint32_t count = static_cast<uint32_t>(RowStride(frame.width)) * static_cast<uint32_t>(frame.height);
    if (frame.dataOffset > doc.swapEnd || count > doc.swapEnd - frame.dataOffset) __builtin_trap();
    // A hostile header may claim a gigabyte: read back its first rows only.
    if (count > (1u << 20)) count = 1u << 20;
    bytes.assign(count + 1, 0);
    doc.swapFile.ReadBlockAt(frame.dataOffset, bytes.data(), count);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = SetUpFuzzInput(".bmp");
  if (!ready || !WriteFuzzInput(data, size)) return 0;
  ResetHeadlessUi();  // what the last input recorded must not pile up
  bool loaded = LoadDocument(FuzzInputPath());
  // A failed read says so exactly once.
  if (!loaded && headlessUi().messages.size() != 1) __builtin_trap();
  if (loaded && (!headlessUi().messages.empty() || doc.frameCount != 1)) __builtin_trap();
  ReadEveryEntryBack();
  return 0;
}
