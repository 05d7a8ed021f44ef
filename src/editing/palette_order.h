// The optimizing commands' last step: palettes renumbered so that frames use
// low indices. A frame's codes start as wide as its highest index needs and
// its own table is written up to that index, so the colours are ordered to
// let the frames code with the fewest bits, colours no pixel shows leave the
// table and a colour listed twice becomes one. The global palette is
// renumbered once for every frame on it, a frame's own palette for itself.
// What every frame shows never changes; the background keeps its colour.
#pragma once

// Returns whether anything changed. When a frame's pixels cannot be had in
// memory or the swap file is full, the document is left as it was.
bool RenumberPalettes();
