// The document as text for tests that compare it whole: its own fields and
// a line per entry with the record, the block's offset and the palette.
#pragma once

#include <cstdio>
#include <string>

#include "document/document.h"

inline std::string DocumentText() {
  std::string text = "modified " + std::to_string(doc.modified) + " current " + std::to_string(doc.currentFrame) +
                     " screen " + std::to_string(doc.screenWidth) + "x" + std::to_string(doc.screenHeight) +
                     " background " + std::to_string(doc.backgroundIndex) + " global " +
                     std::to_string(doc.hasGlobalPalette) + "/" + std::to_string(doc.globalColorCount) +
                     " loop " + std::to_string(doc.loopCount);
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& f = *doc.frames[i];
    char line[160];
    snprintf(line, sizeof line, "\n%d at %u: %d,%d %dx%d delay %d disposal %d transparent %d/%d colours %d global %d ",
             i, f.dataOffset, f.left, f.top, f.width, f.height, f.delay, f.disposal, f.transparent,
             f.transparentIndex, f.colorCount, f.useGlobalPalette);
    text += line + std::string(reinterpret_cast<const char*>(f.palette), sizeof f.palette);
  }
  return text;
}
