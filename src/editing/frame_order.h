// Duplicating and moving entries of the frame list.
#pragma once

// Puts a copy of entry index right after it; the copy shares the entry's
// block in the swap file, which is never written over. False, with nothing
// changed, on a full list or an index naming no entry.
bool DuplicateFrame(int index);

// Swaps entry index with its neighbour index + step (step -1 or +1). False
// when either names no entry.
bool MoveFrame(int index, int step);

// Moves entry from to index to, as repeated swaps with its neighbour would.
// False when either names no entry.
bool MoveFrameTo(int from, int to);
