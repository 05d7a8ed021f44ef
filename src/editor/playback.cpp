// Playback: the main window's timer steps the current frame through the
// image frames. The timer is one-shot in effect: every step kills it and sets
// it again with the delay of the frame it has just shown, so each frame stays
// on screen for its own time. Playing is nothing but the timer being set.
#include "editor/playback.h"

#include "document/document.h"
#include "document/ui_operations.h"
#include "editor/commands.h"
#include "editor/document_life.h"
#include "editor/shell_state.h"

namespace {

bool timerSet = false;

// delay is in hundredths of a second; 0 gives the timer service's minimum.
void SetTimerForCurrentFrame() {
  if (mainWindow == nullptr) return;
  const int index = doc.currentFrame;
  const UINT delay = index >= 0 && index < doc.frameCount ? doc.frames[index]->delay : 0;
  timerSet = SetTimer(mainWindow, kPlaybackTimerId, delay * 10u, nullptr) != 0;
}

}  // namespace

void StartPlayback() {
  const int imageFrames = CountImageFrames();
  if (imageFrames > 1)
    SetTimerForCurrentFrame();
  else if (imageFrames == 1)
    ShowFirstImageFrame();
}

void PlaybackStep() {
  // A tick already queued when playback was stopped must not restart it.
  if (!timerSet) return;
  StopPlayback();
  if (doc.frameCount <= 1) return;
  previousFrame = doc.currentFrame;
  // Comment entries are passed by; the walk never goes round more than once.
  int steps = 0;
  do {
    doc.currentFrame = static_cast<int16_t>(doc.currentFrame + 1 >= doc.frameCount ? 0 : doc.currentFrame + 1);
    ++steps;
  } while (!IsImageFrame(doc.currentFrame) && steps < doc.frameCount);
  UpdateTitle();
  RefreshFrameView(RefreshMode::kFull);
  SetTimerForCurrentFrame();
}

bool PlaybackRunning() { return timerSet; }

void StopPlayback() {
  if (mainWindow != nullptr) KillTimer(mainWindow, kPlaybackTimerId);
  timerSet = false;
}
