// Pixels that may be written as either of two indices showing the same (a
// pixel repeating the screen under it: its own colour or the transparent
// index) are written as the one that lets the LZW strings run on.
#pragma once

#include <cstddef>
#include <cstdint>

// For pixel k, in coding order: own[k], or other[k] when it differs. Writes
// each pixel's pick to chosen[k]; every value must be below 2^minCodeSize.
// The picks follow the string table the coder builds, greedily: a string is
// extended by whichever index it already has a longer entry for, and a new
// one starts with the index that matches further; tie says which wins when
// both match as far. Neither tie is better for every picture: own indices
// that repeat strings not yet in the table pay only later. Throws
// std::bad_alloc.
enum class Tie { kOwn, kOther };
void ChooseIndices(const uint8_t* own, const uint8_t* other, size_t count, int minCodeSize, Tie tie,
                   uint8_t* chosen);
