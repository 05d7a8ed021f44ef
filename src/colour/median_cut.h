// Median cut over colorHistogram: up to N boxes of histogram cells, each
// giving one colour of the quantised palette.
#pragma once

#include <cstdint>

// An inclusive range of histogram cells (0..31) on each axis.
struct ColorBox {
  int16_t blueMin;
  int16_t blueMax;
  int16_t greenMin;
  int16_t greenMax;
  int16_t redMin;
  int16_t redMax;
  int32_t volume;      // weighted squared diagonal
  int32_t colorCount;  // non-empty cells inside the box
};

// How many colours the last quantisation chose (entries of doc.workPalette).
extern int16_t quantizedCount;

// Narrows each range of box to the slices holding counted cells, then sets
// its volume and colorCount.
void ShrinkBox(ColorBox& box);

// Cuts boxes[0..boxCount-1] until there are n boxes or none can be cut;
// boxes holds room for n. Returns the number of boxes.
int MedianCut(ColorBox* boxes, int boxCount, int n);

// The count-weighted mean of the cell centres inside box, into
// doc.workPalette entry index (blue, green, red; the fourth byte kept).
// False, with nothing written, when the box holds no pixel.
bool ComputeBoxColor(const ColorBox& box, int index);

// Chooses at most n (1..256) colours for colorHistogram into doc.workPalette
// and sets quantizedCount. An empty (or unallocated) histogram chooses no
// colour: quantizedCount 0.
void SelectColors(int n);
