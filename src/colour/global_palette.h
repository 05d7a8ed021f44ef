// The global palette and remapping: one palette of at most N colours for
// every frame that uses the global palette, and the rewriting of a frame's
// pixels onto a new palette.
#pragma once

#include <cstdint>

// A palette entry of a palette file or of a colour command's result.
struct LoadedColor {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t flags;
};

// The target palette of RemapFrame's palette-file and grey modes, filled by
// loading a palette file, "Gray scale" or "Decrease number of colors".
extern LoadedColor loadedPalette[256];
extern int16_t loadedColorCount;

enum class RemapMode : uint8_t {
  kLoaded = 0,  // nearest colour in loadedPalette
  kGlobal = 1,  // nearest colour in the document's globalPalette
  kGrey = 2,    // (red + green + blue) / 3 into loadedPalette's grey ramp
};

// Gives frame frameIndex the target palette of the mode and rewrites its
// pixels to show the nearest colours. The caller sets colorCount. When the
// pixels cannot be read into memory, the frame is left exactly as it was
// and false is returned. A caller that has FrameUsedIndices' marks for the
// frame passes them as shownIndices: when every marked index keeps its
// place, the pixels are not even read.
bool RemapFrame(int frameIndex, RemapMode mode, const uint8_t* shownIndices = nullptr);

// The largest pixel block RemapFrame takes into memory; a larger frame is
// left as it is, as when memory runs out. Tests lower it to force that case.
extern uint32_t remapBlockLimit;

// Computes the global palette of at most n colours (2..256) for the frames
// with useGlobalPalette set, remaps them to it and prepares the screen
// descriptor to write it as the global colour table. A frame that cannot be
// remapped keeps its own palette and loses useGlobalPalette, as every frame
// does when no colours could be found.
void BuildGlobalPalette(int n);
