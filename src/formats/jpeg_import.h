// ImportJpeg: one JPEG file, reduced to 256 colours by the JPEG library, as a
// new image frame.
#pragma once

#include <cstdint>

#include "document/document.h"

// Inserts the picture in the file at path as a new image frame at index.
// True when a frame was inserted; false after an error, which has then been
// shown to the user ("Error in reading file") unless the frame list was full.
// The frame list, the screen size and swapEnd are as they were after a failure.
bool ImportJpeg(const char* path, int index);

// Decodes the file at path with the library, quantised to colours entries
// (256 for an import). On success the stored rows (bottom-up, RowStride(width)
// bytes each, fill bytes 0) are in the swap file at jpegTargetOffset, the
// palette in jpegPalette and the indices the rows use in jpegUsedColors; false
// after any error, with nothing written to the swap file. One decode at a time.
bool DecodeJpeg(const char* path, int colours, int* width, int* height);

// Filled by DecodeJpeg: the picture's palette (entries past the library's
// colour count are black) and the flags of the indices its pixels use.
extern PaletteEntry jpegPalette[256];
extern uint8_t jpegUsedColors[256];
// Where DecodeJpeg writes the rows in the swap file.
extern uint32_t jpegTargetOffset;

// The most memory the library may take for one picture, in bytes; a larger
// picture is refused like a damaged one.
extern long jpegMemoryLimit;

// When set, a decode writes its progress lines ("JPEG DONE", ...) to standard
// output. On by default where there is a console to read them (native builds);
// off in the Windows builds, where the console tool may turn it on.
extern bool jpegDiagnostics;
