// BMP output of frambo-cli: BITMAPFILEHEADER, BITMAPINFOHEADER, the colour
// table when there is one, then the rows, all little-endian.
#include "cli/bmp_writer.h"

#include <cstring>

#include "cli/cli_support.h"

namespace {

constexpr uint32_t kHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

void PutU16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value) {
  PutU16(at, value & 0xFFFF);
  PutU16(at + 2, value >> 16);
}

// The two headers of an uncompressed bottom-up bitmap whose rows follow a
// colour table of paletteSize bytes.
void FillHeaders(uint8_t header[kHeadersSize], int32_t width, int32_t height, int bitCount,
                 uint32_t paletteSize, uint32_t imageSize) {
  uint32_t pixelOffset = kHeadersSize + paletteSize;
  memset(header, 0, kHeadersSize);
  header[0] = 'B';
  header[1] = 'M';
  PutU32(header + 2, pixelOffset + imageSize);  // bfSize
  PutU32(header + 10, pixelOffset);             // bfOffBits
  uint8_t* info = header + kBmpFileHeaderSize;
  PutU32(info + 0, kBmpInfoHeaderSize);
  PutU32(info + 4, static_cast<uint32_t>(width));
  PutU32(info + 8, static_cast<uint32_t>(height));  // positive: bottom-up
  PutU16(info + 12, 1);                             // planes
  PutU16(info + 14, static_cast<uint32_t>(bitCount));
  PutU32(info + 16, 0);  // BI_RGB
  PutU32(info + 20, imageSize);
  PutU32(info + 32, paletteSize / 4);  // biClrUsed
}

}  // namespace

bool WriteFrameBmp(const Frame& frame, const char* path) {
  ByteBuffer rows;
  if (!ReadEntryBytes(frame, &rows)) return false;
  uint32_t imageSize = EntryByteCount(frame);
  // A degenerate size still gets a valid, empty bitmap.
  int32_t width = frame.width > 0 ? frame.width : 0;
  int32_t height = frame.height > 0 ? frame.height : 0;
  uint8_t header[kHeadersSize];
  FillHeaders(header, width, height, 8, kBmpPaletteSize, imageSize);

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

bool WriteBmp24(const char* path, int32_t width, int32_t height, const Bmp24RowFiller& fillRow) {
  if (width < 0 || height < 0) return false;
  uint64_t stride = Bmp24RowStride(width);
  uint64_t imageSize = stride * static_cast<uint64_t>(height);
  if (imageSize > UINT32_MAX - kHeadersSize) return false;
  uint8_t header[kHeadersSize];
  FillHeaders(header, width, height, 24, 0, static_cast<uint32_t>(imageSize));

  ByteBuffer row;
  if (!row.Allocate(static_cast<size_t>(stride))) return false;
  OutputFile file;
  if (!file.Open(path)) return false;
  file.Write(header, sizeof header);
  for (int32_t y = 0; y < height; ++y) {
    memset(row.data(), 0, static_cast<size_t>(stride));
    fillRow(y, row.data());
    if (!file.Write(row.data(), static_cast<size_t>(stride))) break;
  }
  return file.Close();
}
