// The user's view and save options. The editor reads them from the registry
// at start-up and writes them at shutdown; the command-line tool sets them
// from its options. Each is 0 or 1.
#pragma once

#include <cstdint>

struct Settings {
  uint8_t addCreditComment = 1;  // put the credit comment in front when saving
  uint8_t showOnlyDirtyRectangles = 0;
  uint8_t showPalette = 0;
  uint8_t showFramesWindow = 1;
  uint8_t interlacedSave = 0;    // save images interlaced
  uint8_t markDirtyRectangles = 0;
};

extern Settings settings;
