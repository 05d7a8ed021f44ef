// "Set delay of all frames...": one delay for every image frame, or the
// animation played faster or slower by a factor.
#pragma once

// Shows the dialog. Ok applies the choice to the document, which is then
// modified when a delay changed.
void ShowDelaysDialog();
