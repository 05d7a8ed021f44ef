// ImportBmp: one Windows bitmap file as a new image frame.
#pragma once

// Inserts the picture in the file at path as a new image frame at index.
// True when a frame was inserted; false after an error, which has then been
// shown to the user ("Error in reading file"), with the frame list as it was.
// The one silent failure is a frame list that is already full.
//
// Read: uncompressed pictures of 1, 4, 8, 16, 24 and 32 bits per pixel
// (16 and 32 also with bit-field masks of at most 8 bits a channel), the
// 12-byte OS/2 header and info headers of 16 bytes and more (V4, V5),
// bottom-up and top-down rows. Indexed pictures keep their colour table;
// true-colour ones keep their colours when there are at most 256, else get
// 256 from the histogram and median cut, each pixel the nearest of them.
// Rows missing from a short file are index 0.
bool ImportBmp(const char* path, int index);

// How a true-colour pixel finds its palette index. Both give the same
// result; the per-pixel search is there to be measured against.
enum class TrueColorSearch {
  kRemembered,  // one short search per distinct 24-bit colour (nearest_cache.h), its answer kept
  kPerPixel,    // a full search for every pixel
};
extern TrueColorSearch trueColorSearch;
