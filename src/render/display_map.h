// Display maps: how the indices of one frame's palette show in another's,
// so that a retained picture can be drawn under the next frame.
#pragma once

// Fills frame from's displayMap: entry i is the index of frame to's palette
// that shows colour i of from's palette. An index whose colour to keeps at
// the same place maps to itself; any other maps to to's nearest entry (ties
// to the lowest index). All 256 entries take part on both sides, whatever
// colorCount says. from and to must be entries of the list.
void BuildDisplayMap(int from, int to);
