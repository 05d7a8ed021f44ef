// "Optimize with transparency", after the crop: a frame's pixels that show
// the colour already on the screen under them become its transparent index,
// when that makes the frame's coded data (and its own colour table) smaller;
// then the edges of a frame that are all transparent are cut away. What the
// animation shows never changes.
#pragma once

// Returns how many frames changed. A frame whose pixels cannot be had in
// memory, or whose palette has no index to spare for transparency, is left
// as it is.
int MakeUnchangedPixelsTransparent();
