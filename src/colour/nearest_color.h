// The nearest colour of a palette to a 24-bit colour, by squared distance.
// One search serves every palette layout through an accessor.
#pragma once

#include <cstdint>

// (r1-r2)^2 + (g1-g2)^2 + (b1-b2)^2: 0..195075.
inline int32_t ColorDistance(int r1, int g1, int b1, int r2, int g2, int b2) {
  return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

// The index of entries 0..count-1 nearest to (red, green, blue); ties go to
// the lowest index and an exact match ends the search. colorAt(i, &r, &g, &b)
// gives entry i. 0 when count is 0.
template <typename ColorAt>
int NearestIndex(int red, int green, int blue, int count, ColorAt colorAt) {
  int best = 0;
  // Above any possible distance, so that even the farthest colour finds its
  // truly nearest entry.
  int32_t bestDistance = INT32_MAX;
  for (int i = 0; i < count; ++i) {
    int r = 0, g = 0, b = 0;
    colorAt(i, &r, &g, &b);
    int32_t distance = ColorDistance(red, green, blue, r, g, b);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return best;
}

// Nearest in doc.globalPalette (doc.globalColorCount entries).
int NearestGlobalColor(int red, int green, int blue);
// Nearest in loadedPalette (loadedColorCount entries).
int NearestLoadedColor(int red, int green, int blue);
// Nearest among the quantised colours (doc.workPalette, quantizedCount entries).
int NearestQuantizedColor(int red, int green, int blue);
