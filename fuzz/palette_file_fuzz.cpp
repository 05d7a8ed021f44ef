// libFuzzer target for RIFF palette files. Each input is loaded onto one
// small frame as "Load palette" does; a load that succeeds must leave a
// frame whose pixels index its new palette, and the palette saved and
// loaded again must come back entry for entry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "colour/global_palette.h"
#include "document/document.h"
#include "formats/palette_file.h"
#include "headless/headless_ui.h"
#include "fuzz_input.h"
#include "platform/temp_file.h"

namespace {

char savedPath[4096];
constexpr int kSide = 8;
Frame original;

// One 8x8 frame of 64 colours, restored before every input.
bool MakeFrame() {
  if (!InsertFrame(0)) return false;
  Frame& frame = *doc.frames[0];
  frame.width = kSide;
  frame.height = kSide;
  frame.colorCount = 64;
  for (int i = 0; i < 256; ++i)
    frame.palette[i] = PaletteEntry{static_cast<uint8_t>(i * 4), static_cast<uint8_t>(i * 9),
                                    static_cast<uint8_t>(255 - i * 4), 0};
  original = frame;
  return true;
}

void RestoreFrame() {
  *doc.frames[0] = original;
  uint8_t pixels[kSide * kSide];
  for (int i = 0; i < kSide * kSide; ++i) pixels[i] = static_cast<uint8_t>(i);
  doc.swapFile.WriteBlockAt(0, pixels, sizeof pixels);
  doc.swapEnd = sizeof pixels;
}

bool Setup() {
  if (!SetUpFuzzInput(".pal") || !MakeTempFileName(savedPath, sizeof savedPath) || !MakeFrame()) return false;
  atexit([] { remove(savedPath); });
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = Setup();
  if (!ready || !WriteFuzzInput(data, size)) return 0;
  ResetHeadlessUi();
  RestoreFrame();
  int16_t countBefore = loadedColorCount;
  bool loaded = LoadPaletteFile(FuzzInputPath(), 0);
  const Frame& frame = *doc.frames[0];
  if (!loaded) {
    // Refused: said once, and nothing changed.
    if (headlessUi().messages.size() != 1 || loadedColorCount != countBefore) __builtin_trap();
    if (memcmp(frame.palette, original.palette, sizeof frame.palette) != 0) __builtin_trap();
    return 0;
  }
  if (!headlessUi().messages.empty() || loadedColorCount < 1 || loadedColorCount > 256) __builtin_trap();
  if (frame.colorCount != loadedColorCount) __builtin_trap();
  uint8_t pixels[kSide * kSide];
  doc.swapFile.ReadBlockAt(frame.dataOffset, pixels, sizeof pixels);
  for (uint8_t pixel : pixels)
    if (pixel >= loadedColorCount) __builtin_trap();

  LoadedColor loaded1[256];
  memcpy(loaded1, loadedPalette, sizeof loaded1);
  int count = loadedColorCount;
  if (!SavePaletteFile(savedPath, 0) || !ReadPaletteFile(savedPath)) __builtin_trap();
  if (loadedColorCount != count) __builtin_trap();
  for (int i = 0; i < count; ++i)
    if (memcmp(&loadedPalette[i], &loaded1[i], 3) != 0) __builtin_trap();
  return 0;
}
