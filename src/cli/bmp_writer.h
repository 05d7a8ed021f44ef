// BMP output of frambo-cli: uncompressed bottom-up device-independent
// bitmaps. An image entry is written with 8 bits per pixel, its stored rows
// (which already have that layout) behind the headers and the frame's
// 256-entry palette; a rendered screen with 24 bits per pixel, filled one
// row at a time so that a large screen never needs its whole image in memory.
#pragma once

#include <cstdint>
#include <functional>

#include "document/document.h"

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kBmpPaletteSize = 256 * 4;

// Writes the image entry frame to path. False when its rows cannot be held
// in memory or any write fails.
bool WriteFrameBmp(const Frame& frame, const char* path);

// Fills stored row y (0 is the bottom row) with width blue, green, red
// triples; the row's pad bytes are already 0.
using Bmp24RowFiller = std::function<void(int32_t y, uint8_t* row)>;

// Bytes per stored row of a 24-bit bitmap: 3 x width rounded up to 4.
inline uint64_t Bmp24RowStride(int32_t width) { return (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3}; }

// Writes a width x height 24-bit bitmap to path. False when the image would
// not fit the format's 32-bit sizes, the row cannot be had, or any write fails.
bool WriteBmp24(const char* path, int32_t width, int32_t height, const Bmp24RowFiller& fillRow);
