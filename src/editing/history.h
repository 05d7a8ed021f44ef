// The undo history: the states of the document after each change, back to
// the one New or Open left. A state keeps the frame records, with the
// offsets of their blocks in the swap file, and the document's own fields;
// a record that did not change is shared between states. Blocks in the swap
// file are never written over, so an old record still finds its rows, and
// the swap file is rewound only where the history starts anew.
#pragma once

// How many steps back the history reaches at most.
constexpr int kMaxUndoSteps = 100;

// Forgets every step and takes the document as it is as the state the file
// holds: New and Open.
void StartHistory();

// Records the document as the step called name when it differs from the
// state the history stands at, dropping the steps Redo would take. Returns
// whether it recorded one. Either way the state keeps the current frame.
// Joined, it takes the place of the last step when that has the same name
// and is not the saved state: typing a number is one step.
bool RecordStep(const char* name, bool joined = false);

// The state the history stands at is the one written to the file.
void MarkStateSaved();

// The names of the steps Undo and Redo would take; nullptr when there is none.
const char* UndoStepName();
const char* RedoStepName();

// Returns the document to the state before the last step, or after the next
// one, and the current frame to where it was then. The modified mark follows
// whether that state is the one saved. False when there is no such step.
bool UndoStep();
bool RedoStep();

// True while states other than the current one may refer to blocks in the
// swap file, which must then not be rewound.
bool HistoryKeepsOldBlocks();
