// The nearest-colour searches over the document's palettes.
#include "colour/nearest_color.h"

#include "colour/global_palette.h"
#include "colour/median_cut.h"
#include "document/document.h"

namespace {

int Clamped(int count) { return count < 0 ? 0 : count > 256 ? 256 : count; }

}  // namespace

int NearestGlobalColor(int red, int green, int blue) {
  return NearestIndex(red, green, blue, Clamped(doc.globalColorCount), [](int i, int* r, int* g, int* b) {
    *r = doc.globalPalette[i].red;
    *g = doc.globalPalette[i].green;
    *b = doc.globalPalette[i].blue;
  });
}

int NearestLoadedColor(int red, int green, int blue) {
  return NearestIndex(red, green, blue, Clamped(loadedColorCount), [](int i, int* r, int* g, int* b) {
    *r = loadedPalette[i].red;
    *g = loadedPalette[i].green;
    *b = loadedPalette[i].blue;
  });
}

int NearestQuantizedColor(int red, int green, int blue) {
  return NearestIndex(red, green, blue, Clamped(quantizedCount), [](int i, int* r, int* g, int* b) {
    *r = doc.workPalette[i].red;
    *g = doc.workPalette[i].green;
    *b = doc.workPalette[i].blue;
  });
}
