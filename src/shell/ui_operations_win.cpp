// The user-interface operations of the editor: what the portable core asks
// of the windows. Operations whose window does not exist yet keep only the
// document's side of the work.
#include <windows.h>

#include <cstdio>

#include "document/document.h"
#include "document/progress_meter.h"
#include "document/ui_operations.h"
#include "shell/main_window.h"

namespace {

ProgressMeter meter;
// The text the status bar shows; kept here so that it can be drawn again.
char statusText[256] = "";

bool IsEntryIndex(int index) { return index >= 0 && index < kMaxEntries; }

}  // namespace

// The image view ends its selection here once it has one.
void CancelSelection() {}

// The Animation menu and the Play, Stop and Advance buttons come with the menu and toolbar.
void SetAnimationEnabled(bool) {}

// Cut and Copy are greyed here once the Edit menu and the toolbar exist.
void UpdateCutCopyEnabled() {}

void SetModified(bool modified) {
  doc.modified = modified ? 1 : 0;
  // Save is enabled or greyed here once the File menu and the toolbar exist.
}

void SetStatusText(const char* text) {
  snprintf(statusText, sizeof statusText, "%s", text != nullptr ? text : "");
  // The status bar shows statusText once it exists.
}

void BeginProgress(int frameNumber) { meter.Begin(frameNumber); }

void StepProgress(ProgressKind kind, int total) {
  if (!meter.Step(total)) return;
  char text[sizeof statusText];
  snprintf(text, sizeof text, kind == ProgressKind::kReading ? "Reading frame %i" : "Saving frame %i",
           meter.frameNumber);
  SetStatusText(text);
  // The progress bar moves to meter.value * 4 once it exists.
}

void EndProgress() {
  meter.value = 0;
  SetStatusText("");
  // The progress bar is hidden here once it exists.
}

void ShowReadError() { ShowMessage("Error in reading file"); }

void ShowMessage(const char* text) { MessageBoxA(mainWindow, text, kProgramTitle, MB_OK); }

void SetWaitCursor(bool waiting) { SetCursor(LoadCursorA(nullptr, waiting ? IDC_WAIT : IDC_ARROW)); }

// Playback stops its timer here once the Animation menu exists.
void StopPlayback() {}

// GDI palettes are made here for palette displays once the views draw frames.
void CreateFramePalette(int index) {
  if (IsEntryIndex(index)) doc.framePalettes[index] = nullptr;
}

void DeleteFramePaletteIfAny(int index) {
  if (IsEntryIndex(index)) doc.framePalettes[index] = nullptr;
}

void DeleteAllFramePalettes() {
  for (int i = 0; i < doc.frameCount; ++i) DeleteFramePaletteIfAny(i);
}

// The frame view drops its retained picture here.
void ResetRetainedPicture() {}

// The frame view recomposes the current frame and repaints its views here.
void RefreshFrameView(RefreshMode) {}

// The frames window fills its list itself once it exists.
void FillFramesList() {}
