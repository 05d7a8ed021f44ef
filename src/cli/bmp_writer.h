// BMP output of frambo-cli: one image entry as an uncompressed 8-bit
// bottom-up device-independent bitmap. The stored rows already have that
// layout, so they are written as they are behind the headers and the frame's
// 256-entry palette.
#pragma once

#include "document/document.h"

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kBmpPaletteSize = 256 * 4;

// Writes the image entry frame to path. False when its rows cannot be held
// in memory or any write fails.
bool WriteFrameBmp(const Frame& frame, const char* path);
