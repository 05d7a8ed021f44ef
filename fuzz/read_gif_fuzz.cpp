// libFuzzer target for the GIF reader. Each input goes through a file, since
// the reader reads only files, and is loaded as File/Open does; then every
// entry's rows (or comment text) are read back from the swap file, so that
// a dataOffset or size that disagrees with what was written shows up under
// the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
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
    uint32_t count = 0;
    if (IsComment(frame)) {
      if (frame.left < 0) __builtin_trap();  // a length the comment cannot have
      count = static_cast<uint32_t>(frame.left);
    } else {
      if (frame.width < 0 || frame.height < 0 || frame.colorCount < 0 || frame.colorCount > 256)
        __builtin_trap();
      count = static_cast<uint32_t>(RowStride(frame.width)) * static_cast<uint32_t>(frame.height);
    }
    // Everything an entry refers to lies inside the data written so far.
    if (frame.dataOffset > doc.swapEnd || count > doc.swapEnd - frame.dataOffset) __builtin_trap();
    bytes.assign(count + 1, 0);
    if (count != 0) doc.swapFile.ReadBlockAt(frame.dataOffset, bytes.data(), count);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = SetUpFuzzInput(".gif");
  if (!ready || !WriteFuzzInput(data, size)) return 0;
  ResetHeadlessUi();  // what the last input recorded must not pile up
  bool loaded = LoadDocument(FuzzInputPath());
  // A failed read says so exactly once.
  if (!loaded && headlessUi().messages.size() != 1) __builtin_trap();
  if (loaded && !headlessUi().messages.empty()) __builtin_trap();
  ReadEveryEntryBack();
  return 0;
}
