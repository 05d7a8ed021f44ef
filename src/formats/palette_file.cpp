// RIFF palette files: reading into the loaded palette, remapping a frame onto
// it, and writing a frame's palette.
#include "formats/palette_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "colour/global_palette.h"
#include "document/document.h"
#include "document/ui_operations.h"
#include "platform/file_calls.h"

namespace {

constexpr int kHeaderSize = 24;
constexpr uint16_t kPaletteVersion = 0x0300;

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutDword(std::vector<uint8_t>& out, uint32_t value) {
  PutWord(out, static_cast<uint16_t>(value));
  PutWord(out, static_cast<uint16_t>(value >> 16));
}

void PutText(std::vector<uint8_t>& out, const char* text) { out.insert(out.end(), text, text + strlen(text)); }

}  // namespace

bool ReadPaletteFile(const char* path) {
  ReadHandle file(path);
  if (file.get() < 0) return false;
  uint8_t header[kHeaderSize];
  if (FileRead(file.get(), header, kHeaderSize) != kHeaderSize) return false;
  if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "PAL data", 8) != 0) return false;
  int16_t count = static_cast<int16_t>(header[22] | (header[23] << 8));
  // No colour to map onto: a frame given it would have no palette at all.
  if (count <= 0) return false;
  if (count > 256) count = 256;

  uint8_t entries[256 * 4] = {};
  if (FileRead(file.get(), entries, sizeof entries) < 0) return false;
  memcpy(loadedPalette, entries, sizeof entries);
  loadedColorCount = count;
  return true;
}

bool LoadPaletteFile(const char* path, int frameIndex) {
  if (!IsImageFrame(frameIndex) || !ReadPaletteFile(path)) {
    ShowReadError();
    return false;
  }
  // A frame whose pixels cannot be had keeps its palette and its count.
  if (!RemapFrame(frameIndex, RemapMode::kLoaded)) return false;
  Frame& frame = *doc.frames[frameIndex];
  frame.colorCount = loadedColorCount;
  frame.useGlobalPalette = 0;
  return true;
}

bool SavePaletteFile(const char* path, int frameIndex) {
  if (!IsImageFrame(frameIndex)) return false;
  const Frame& frame = *doc.frames[frameIndex];
  int n = frame.colorCount < 0 ? 0 : frame.colorCount > 256 ? 256 : frame.colorCount;
  std::vector<uint8_t> bytes;
  PutText(bytes, "RIFF");
  PutDword(bytes, static_cast<uint32_t>(4 * n + 20));
  PutText(bytes, "PAL data");
  PutDword(bytes, static_cast<uint32_t>(4 * n + 8));
  PutWord(bytes, kPaletteVersion);
  PutWord(bytes, static_cast<uint16_t>(n));
  for (int i = 0; i < n; ++i) {
    const PaletteEntry& entry = frame.palette[i];
    bytes.insert(bytes.end(), {entry.red, entry.green, entry.blue, 0});
  }
  bytes.insert(bytes.end(), 4, 0);

  int handle = FileCreate(path);
  if (handle < 0) return false;
  bool written = FileWrite(handle, bytes.data(), static_cast<uint32_t>(bytes.size())) ==
                 static_cast<int32_t>(bytes.size());
  FileClose(handle);
  return written;
}
