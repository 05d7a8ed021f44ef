// What a frame's pixels cost in a GIF file: the optimizing commands weigh
// versions of a frame by coding them, not by guessing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/lzw_limits.h"  // MinCodeSize, which the weighing shares with the writer

// The bytes of the data sub-blocks that code width x height pixels held in
// rows (bottom-up, RowStride(width) bytes apart, as stored) with minCodeSize;
// every pixel must be below 2^minCodeSize. Relabelling the pixel values does
// not change the result, only minCodeSize does. May throw std::bad_alloc.
size_t CodedSize(const uint8_t* rows, int width, int height, int minCodeSize);
