// RIFF palette files ("RIFF" size "PAL " "data"): the Colors menu's "Load
// palette" and "Save palette", and frambo-cli's palette-load and
// palette-save.
//
// Layout written for n colours (4n + 28 bytes): "RIFF", u32 4n + 20,
// "PAL data", u32 4n + 8, u16 version 0x0300, u16 n, n entries of red,
// green, blue, flags 0, then four zero bytes, which both sizes count.
#pragma once

// Reads the file into loadedPalette and loadedColorCount: the count at offset
// 22 (signed, at most 256) and the 256 entries from offset 24, those the file
// does not hold black. False, with both left as they were, when the file
// cannot be opened, lacks "RIFF" and "PAL data" or holds no colour.
bool ReadPaletteFile(const char* path);

// Gives image frame frameIndex the file's colours: each palette entry maps
// to its nearest colour of the file, the pixels follow, colorCount becomes
// the file's count and useGlobalPalette 0. A failed read says "Error in
// reading file" and changes nothing; so does a comment entry or a frame
// index out of range. A frame whose pixels cannot be had is left as it
// was, false. The caller marks the document modified and redraws.
bool LoadPaletteFile(const char* path, int frameIndex);

// Writes the colorCount entries of image frame frameIndex's palette. False
// when the frame is no image frame or the file cannot be written in full.
bool SavePaletteFile(const char* path, int frameIndex);
