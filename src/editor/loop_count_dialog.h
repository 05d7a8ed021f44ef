// "Loop count...": how often the animation plays, as the looping extension
// says it: once (no extension), for ever, or a number of repeats.
#pragma once

// Shows the dialog with the document's loop count. Ok sets the count chosen
// and, when it changed, marks the document modified.
void ShowLoopCountDialog();
