// The status bar's single text part, the progress bar to its right, the
// program's message boxes and the wait cursor.
#include "editor/status_bar.h"

#include <commctrl.h>

#include <cstdio>

#include "document/progress_meter.h"
#include "document/ui_operations.h"
#include "editor/dpi.h"
#include "editor/shell_state.h"

uint8_t busy = 0;

namespace {

constexpr int kStatusPartRight = 200;
constexpr int kProgressLeft = 200;
constexpr int kProgressWidth = 200;

ProgressMeter meter;
char statusText[256] = "";

}  // namespace

HWND CreateMainStatusBar(HWND parent) {
  statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER | SBARS_SIZEGRIP, "", parent, kStatusBarId);
  if (statusBar == nullptr) return nullptr;
  int partEdges[1] = {Scaled(kStatusPartRight)};
  SendMessageA(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(partEdges));
  SetStatusText("");
  return statusBar;
}

HWND CreateMainProgressBar(HWND parent) {
  // Hidden until the first step; it lies over the status strip.
  progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, Scaled(kProgressLeft), viewArea.bottom,
                                Scaled(kProgressWidth), Scaled(kStatusStripHeight), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)), appInstance, nullptr);
  return progressBar;
}

const char* StatusText() { return statusText; }

void ResetStatusBarState() {
  busy = 0;
  meter = ProgressMeter();
  statusText[0] = '\0';
}

void SetStatusText(const char* text) {
  // The text may be our own buffer (EndProgress empties it first).
  if (text != statusText) snprintf(statusText, sizeof statusText, "%s", text != nullptr ? text : "");
  if (statusBar != nullptr) SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(statusText));
}

void BeginProgress(int frameNumber) {
  meter.Begin(frameNumber);
  busy = 1;
}

void StepProgress(ProgressKind kind, int total) {
  if (!meter.Step(total)) return;
  char text[sizeof statusText];
  snprintf(text, sizeof text, kind == ProgressKind::kReading ? "Reading frame %i" : "Saving frame %i",
           meter.frameNumber);
  SetStatusText(text);
  if (progressBar == nullptr) return;
  SendMessageA(progressBar, PBM_SETPOS, static_cast<WPARAM>(meter.value * 4), 0);
  ShowWindow(progressBar, SW_SHOW);
}

void EndProgress() {
  statusText[0] = '\0';
  meter.value = 0;
  SetStatusText(statusText);
  if (progressBar == nullptr) return;
  SendMessageA(progressBar, PBM_SETPOS, 0, 0);
  ShowWindow(progressBar, SW_HIDE);
}

void ShowMessage(const char* text) { MessageBoxA(mainWindow, text, kProgramTitle, MB_OK); }

void ShowReadError() { ShowMessage("Error in reading file"); }

void SetWaitCursor(bool waiting) {
  HCURSOR cursor = waiting ? cursors.wait : cursors.arrow;
  if (cursor == nullptr) cursor = LoadCursorA(nullptr, waiting ? IDC_WAIT : IDC_ARROW);
  SetCursor(cursor);
}
