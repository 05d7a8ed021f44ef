// The user-interface operations for builds without windows: the document's
// flags change as in the editor, and what a user would have seen is recorded.
#include "headless/headless_ui.h"

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/progress_meter.h"
#include "document/ui_operations.h"
#include "render/frame_composer.h"

namespace {

HeadlessUi recorded;
ProgressMeter meter;

}  // namespace

HeadlessUi& headlessUi() { return recorded; }

void ResetHeadlessUi() {
  recorded = HeadlessUi();
  meter = ProgressMeter();
}

void CancelSelection() { ++recorded.selectionCancels; }

void SetAnimationEnabled(bool enabled) { recorded.animationEnabled = enabled; }

void UpdateCutCopyEnabled() { recorded.cutCopyEnabled = doc.frameCount != 0; }

void SetModified(bool modified) {
  doc.modified = modified ? 1 : 0;
  recorded.saveEnabled = modified && strcmp(doc.fileName, "untitled") != 0;
}

void SetStatusText(const char* text) {
  recorded.statusText = text;
  ++recorded.statusTextsSet;
}

void BeginProgress(int frameNumber) { meter.Begin(frameNumber); }

void StepProgress(ProgressKind kind, int total) {
  if (!meter.Step(total)) return;
  // The text changes only with the frame: it is composed and set once per
  // frame rather than at every step.
  static int shownNumber = -1;
  static ProgressKind shownKind = ProgressKind::kReading;
  if (meter.frameNumber != shownNumber || kind != shownKind || !recorded.progressVisible) {
    char text[256];
    snprintf(text, sizeof text, kind == ProgressKind::kReading ? "Reading frame %i" : "Saving frame %i",
             meter.frameNumber);
    SetStatusText(text);
    shownNumber = meter.frameNumber;
    shownKind = kind;
  }
  recorded.progressPositions.push_back(meter.value * 4);
  recorded.progressVisible = true;
}

void EndProgress() {
  meter.value = 0;
  SetStatusText("");
  recorded.progressVisible = false;
  ++recorded.progressHidden;
}

void ShowReadError() { recorded.messages.emplace_back("Error in reading file"); }

void ShowMessage(const char* text) { recorded.messages.emplace_back(text); }

void SetWaitCursor(bool waiting) { recorded.waitCursor = waiting; }

void StopPlayback() { ++recorded.playbackStops; }

void CreateFramePalette(int) { ++recorded.palettesCreated; }

void DeleteFramePaletteIfAny(int) { ++recorded.palettesDeleted; }

void DeleteAllFramePalettes() {
  for (int i = 0; i < doc.frameCount; ++i) DeleteFramePaletteIfAny(i);
}

void ResetRetainedPicture() {
  ++recorded.retainedResets;
  DiscardRetainedPicture();
}

// The editor's refresh without its bitmap: the picture is composed and
// retained exactly as the image view would, so that stepping through the
// frames here keeps the same pictures.
void RefreshFrameView(RefreshMode) {
  ++recorded.refreshes;
  if (!IsImageFrame(doc.currentFrame)) return;
  if (BuildNewPicture()) RetainNewPicture();
}

void FillFramesList() { ++recorded.framesListFills; }
