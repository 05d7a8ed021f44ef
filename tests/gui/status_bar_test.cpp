// The status bar and the progress bar beside it: the one text part, the
// 26-step redraw rule seen as the bar's own position messages, what a
// finished load leaves, and the program's message boxes.
#include "gui_harness.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "document/ui_operations.h"

namespace {

// Every PBM_SETPOS the progress bar receives, through a subclass.
std::vector<int>* recordedPositions = nullptr;
WNDPROC progressProc = nullptr;

LRESULT CALLBACK RecordingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS && recordedPositions != nullptr) recordedPositions->push_back(static_cast<int>(wParam));
  return CallWindowProcA(progressProc, window, message, wParam, lParam);
}

class ProgressRecorder {
 public:
  explicit ProgressRecorder(HWND bar) : bar_(bar) {
    recordedPositions = &positions;
    progressProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProgressProc)));
  }
  ~ProgressRecorder() {
    SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progressProc));
    recordedPositions = nullptr;
  }
  std::vector<int> positions;

 private:
  HWND bar_;
};

std::string Joined(const std::vector<int>& values) {
  std::string text;
  for (int value : values) text += (text.empty() ? "" : ",") + std::to_string(value);
  return "[" + text + "]";
}

// One frame of rows steps, each a step of total.
std::vector<int> PositionsForFrame(const EditorSession& session, int steps, int total) {
  ProgressRecorder recorder(session.ProgressBar());
  BeginProgress(1);
  for (int i = 0; i < steps; ++i) StepProgress(ProgressKind::kReading, total);
  return recorder.positions;
}

TEST(StatusBar, OnePartOf200PixelsWithEmptyTextAtStart) {
  EditorSession session;
  HWND bar = session.StatusBar();
  ASSERT_NE(nullptr, bar) << "expected the status bar as control 333, got none";
  int edges[4] = {};
  LRESULT parts = SendMessageA(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(1, parts) << "expected one part, got " << parts;
  EXPECT_EQ(200, edges[0]) << "expected its right edge at 200, got " << edges[0];
  EXPECT_EQ("", session.StatusBarText());
  char className[64] = "";
  GetClassNameA(session.ProgressBar(), className, sizeof className);
  EXPECT_STREQ(PROGRESS_CLASSA, className) << "expected the registered progress class";
}

TEST(ProgressDisplay, AFrameIsRedrawnAtMost26TimesWhateverItsHeight) {
  EditorSession session;
  std::vector<int> hundred = PositionsForFrame(session, 100, 100);
  std::vector<int> expectedHundred;
  for (int position = 0; position <= 100; position += 4) expectedHundred.push_back(position);
  EXPECT_EQ(expectedHundred, hundred) << "100 rows: expected 26 draws at 0,4,...,100, got " << Joined(hundred);
  EXPECT_EQ("Reading frame 1", session.StatusBarText());
  EXPECT_TRUE(IsWindowVisible(session.ProgressBar())) << "expected the bar shown once a step was drawn";

  std::vector<int> ten = PositionsForFrame(session, 10, 10);
  EXPECT_EQ((std::vector<int>{8, 20, 28, 40, 48, 60, 68, 80, 88, 100}), ten) << "10 rows: got " << Joined(ten);

  std::vector<int> empty = PositionsForFrame(session, 1, 0);
  EXPECT_EQ(std::vector<int>{100}, empty) << "total 0 counts as 1: got " << Joined(empty);
}

TEST(ProgressDisplay, NextFrameKeepsTheBarAndEndHidesItAndClearsTheText) {
  EditorSession session;
  ProgressRecorder recorder(session.ProgressBar());
  BeginProgress(2);
  StepProgress(ProgressKind::kSaving, 4);
  EXPECT_EQ("Saving frame 2", session.StatusBarText());
  BeginProgress(3);
  EXPECT_TRUE(IsWindowVisible(session.ProgressBar())) << "expected the bar kept between frames";
  StepProgress(ProgressKind::kSaving, 4);
  EXPECT_EQ("Saving frame 3", session.StatusBarText());
  EXPECT_EQ((std::vector<int>{24, 24}), recorder.positions)
      << "expected each frame's first step drawn afresh, got " << Joined(recorder.positions);

  EndProgress();
  EXPECT_EQ("", session.StatusBarText());
  EXPECT_FALSE(IsWindowVisible(session.ProgressBar())) << "expected the bar hidden by the end";
  EXPECT_EQ(0, SendMessageA(session.ProgressBar(), PBM_GETPOS, 0, 0)) << "expected the bar back at 0";
}

TEST(ProgressDisplay, FinishedLoadLeavesNoTextAndNoBar) {
  EditorSession session(DataFile("../../examples/sample.gif"));
  EXPECT_EQ("Frambo - sample.gif (1:1)", session.Caption());
  EXPECT_EQ("", session.StatusBarText()) << "expected the status text cleared after the load";
  EXPECT_FALSE(IsWindowVisible(session.ProgressBar())) << "expected the bar hidden after the load";
}

TEST(ProgramMessages, BoxesAreOwnedByTheMainWindowWithTheProgramCaption) {
  EditorSession session;
  ShowReadError();
  ShowMessage("Optimization completed");
  ASSERT_EQ(2u, session.shown().size()) << "expected two boxes, got " << session.shown().size();
  EXPECT_EQ("Error in reading file", session.shown()[0].text);
  EXPECT_EQ("Optimization completed", session.shown()[1].text);
  for (const ShownDialog& box : session.shown()) {
    EXPECT_EQ("Frambo Version 1.1", box.caption) << "for \"" << box.text << "\"";
    EXPECT_EQ(session.main(), box.owner) << "expected \"" << box.text << "\" owned by the main window";
  }
}

}  // namespace
