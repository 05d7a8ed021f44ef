// BMP output of frambo-cli: BITMAPFILEHEADER, BITMAPINFOHEADER, the frame's
// palette and its stored rows, all little-endian.
#include "cli/bmp_writer.h"

#include "cli/cli_support.h"

namespace {

void PutU16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value) {
  PutU16(at, value & 0xFFFF);
  PutU16(at + 2, value >> 16);
}

}  // namespace

bool WriteFrameBmp(const Frame& frame, const char* path) {
  ByteBuffer rows;
  if (!ReadEntryBytes(frame, &rows)) return false;
  uint32_t imageSize = EntryByteCount(frame);
  // A degenerate size still gets a valid, empty bitmap.
  int32_t width = frame.width > 0 ? frame.width : 0;
  int32_t height = frame.height > 0 ? frame.height : 0;
  constexpr uint32_t kPixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + kBmpPaletteSize;

  uint8_t header[kBmpFileHeaderSize + kBmpInfoHeaderSize] = {};
  header[0] = 'B';
  header[1] = 'M';
  PutU32(header + 2, kPixelOffset + imageSize);  // bfSize
  PutU32(header + 10, kPixelOffset);             // bfOffBits
  uint8_t* info = header + kBmpFileHeaderSize;
  PutU32(info + 0, kBmpInfoHeaderSize);
  PutU32(info + 4, static_cast<uint32_t>(width));
  PutU32(info + 8, static_cast<uint32_t>(height));  // positive: bottom-up
  PutU16(info + 12, 1);                             // planes
  PutU16(info + 14, 8);                             // bits per pixel
  PutU32(info + 16, 0);                             // BI_RGB
  PutU32(info + 20, imageSize);
  PutU32(info + 32, 256);  // biClrUsed

  uint8_t palette[kBmpPaletteSize];
  for (int i = 0; i < 256; ++i) {
    palette[i * 4 + 0] = frame.palette[i].blue;
    palette[i * 4 + 1] = frame.palette[i].green;
    palette[i * 4 + 2] = frame.palette[i].red;
    palette[i * 4 + 3] = 0;
  }

  OutputFile file;
  if (!file.Open(path)) return false;
  file.Write(header, sizeof header);
  file.Write(palette, sizeof palette);
  file.Write(rows.data(), imageSize);
  return file.Close();
}
