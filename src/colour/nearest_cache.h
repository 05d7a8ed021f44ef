// The nearest quantised colour (doc.workPalette, quantizedCount entries) of
// many 24-bit colours, with exactly NearestQuantizedColor's answers: the
// nearest entry, ties to the lowest index.
//
// The colour space is cut into 8x8x8 boxes. The first colour met in a box
// lists the entries that can be nearest to anything in it: those whose
// least distance to the box is no more than the smallest greatest distance
// of any entry. Every later search in the box runs over that short list,
// in index order, and each colour's answer is remembered.
#pragma once

#include <cstdint>
#include <memory>

class NearestCache {
 public:
  NearestCache();
  ~NearestCache();
  // False when the table of boxes cannot be had.
  bool Allocate();
  uint8_t Find(uint8_t red, uint8_t green, uint8_t blue);

 private:
  struct Box;
  bool FillBox(int redBox, int greenBox, int blueBox, Box* box) const;

  std::unique_ptr<std::unique_ptr<Box>[]> boxes_;
};
