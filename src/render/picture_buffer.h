// PictureBuffer: an 8-bit picture in the frame pixel layout (one palette
// index per byte, rows bottom-up, each row width pixels then rowPad bytes up
// to a multiple of 4) and its place on the logical screen.
#pragma once

#include <cstdint>

#include "document/byte_buffer.h"

struct PictureBuffer {
  ByteBuffer block;  // the pixels; empty when there is no picture
  int16_t left = 0;
  int16_t top = 0;
  int16_t width = 0;
  int16_t height = 0;
  int16_t frame = -1;  // the frame whose palette the indices refer to
  uint32_t size = 0;   // (width + rowPad) x height
  int16_t rowPad = 0;  // (4 - width mod 4) mod 4
};

// The largest picture the view composes: a side must fit the document's
// 16-bit coordinates, and the whole must stay well inside a 32-bit size.
constexpr int32_t kMaxPictureSide = 32767;
constexpr uint32_t kMaxPictureSize = 1u << 30;
