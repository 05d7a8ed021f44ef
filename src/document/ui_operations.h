// The user-interface operations the portable core calls. The editor defines
// them on its windows (src/shell, src/views); src/headless defines them for
// the command-line tool and the native tests, recording what was asked. The
// link decides which set is used.
#pragma once

#include <cstdint>

// Ends a selection in the image view: back to idle, "Crop frame to
// selection" greyed, status text cleared.
void CancelSelection();

// Enables or greys the Animation menu and the Play, Stop and Advance buttons.
void SetAnimationEnabled(bool enabled);

// Enables Cut and Copy when the document has entries, greys them otherwise.
void UpdateCutCopyEnabled();

// Sets or clears doc.modified and enables or greys Save to match.
void SetModified(bool modified);

void SetStatusText(const char* text);

// Progress of one frame's work, shown as "Reading frame %i" or
// "Saving frame %i" and a bar in 26 steps (see progress_meter.h).
enum class ProgressKind { kReading, kSaving };
void BeginProgress(int frameNumber);
void StepProgress(ProgressKind kind, int total);
void EndProgress();

// The message box "Error in reading file".
void ShowReadError();

// A message box with the program's caption and an OK button, e.g.
// "Optimization completed".
void ShowMessage(const char* text);

// The hourglass while a long command blocks the window, the arrow after it.
void SetWaitCursor(bool waiting);

// Stops the animation if it is playing; every command that changes the
// document calls it first.
void StopPlayback();

// Frame palettes: made from a frame's palette once it is loaded, deleted
// with the frame; only palette displays have them.
void CreateFramePalette(int index);
void DeleteFramePaletteIfAny(int index);
void DeleteAllFramePalettes();

// Drops the picture retained from the frame before the current one.
void ResetRetainedPicture();

// Recomposes the current frame and refreshes every view showing it. Quiet
// leaves the frames window's panel alone.
enum class RefreshMode { kFull, kQuiet };
void RefreshFrameView(RefreshMode mode);

// Refills the frames window's list from the frame list.
void FillFramesList();
