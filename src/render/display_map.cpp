// Display maps between two frames' palettes.
#include "render/display_map.h"

#include "colour/nearest_color.h"
#include "document/document.h"

void BuildDisplayMap(int from, int to) {
  Frame& source = *doc.frames[from];
  const PaletteEntry* target = doc.frames[to]->palette;
  auto colorAt = [target](int i, int* r, int* g, int* b) {
    *r = target[i].red;
    *g = target[i].green;
    *b = target[i].blue;
  };
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& c = source.palette[i];
    const PaletteEntry& same = target[i];
    if (c.red == same.red && c.green == same.green && c.blue == same.blue) {
      source.displayMap[i] = static_cast<uint8_t>(i);
      continue;
    }
    // The true nearest, as every other colour search of the program: a
    // colour far from every entry still finds its closest one.
    source.displayMap[i] = static_cast<uint8_t>(NearestIndex(c.red, c.green, c.blue, 256, colorAt));
  }
}
