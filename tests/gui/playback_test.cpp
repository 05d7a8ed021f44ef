// Playback as the user sees it: which frames the timer shows and in which
// order, when it does not start, and what stops it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/frames_window.h"
#include "editor/playback.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"

namespace {

// A command or a timer tick delivered without running the loop; the real
// timer the program sets is taken away at once so that no tick of its own
// slips in (the program still counts it as set).
void Send(EditorSession& session, UINT message, WPARAM wParam) {
  SendMessageA(session.main(), message, wParam, 0);
  KillTimer(session.main(), kPlaybackTimerId);
}

}  // namespace

TEST(PlaybackTest, CommentEntriesAreNeverShown) {
  EditorSession session(DataFile("comments-between-frames.gif"));  // comment, image, comment, image, comment
  Send(session, WM_COMMAND, IDM_ANIMATION_PLAY);
  ASSERT_TRUE(PlaybackRunning()) << "expected the timer set with two image frames";
  std::string shown;
  for (int i = 0; i < 4; ++i) {
    Send(session, WM_TIMER, kPlaybackTimerId);
    shown += std::to_string(doc.currentFrame);
  }
  EXPECT_EQ("1313", shown) << "expected the two image entries in turn";
  EXPECT_TRUE(PlaybackRunning()) << "expected each step to set the timer again";
  EXPECT_EQ(1, previousFrame);
}

TEST(PlaybackTest, OneImageFrameIsShownWithoutTimer) {
  EditorSession session(DataFile("comment-short.gif"));  // comment, image
  session.Command(kToolPlay);
  EXPECT_EQ(1, doc.currentFrame) << "expected the image frame made current";
  EXPECT_FALSE(PlaybackRunning()) << "expected no timer for a single image frame";
}

TEST(PlaybackTest, TimerStepsTheAnimationUntilStopped) {
  EditorSession session(DataFile("muybridge.gif"));  // 15 frames of 100 ms
  session.Command(IDM_ANIMATION_PLAY);
  session.PumpFor(1500);
  EXPECT_NE(-1, previousFrame) << "expected the timer to have moved the animation on";
  session.Command(kToolStop);
  const int stoppedAt = doc.currentFrame;
  session.PumpFor(300);
  EXPECT_EQ(stoppedAt, doc.currentFrame) << "expected no step after Stop";

  // Play resumes from the frame shown; Next frame and zoom leave it playing.
  Send(session, WM_COMMAND, IDM_ANIMATION_PLAY);
  Send(session, WM_COMMAND, IDM_ANIMATION_NEXT_FRAME);
  Send(session, WM_COMMAND, IDM_VIEW_ZOOM_IN);
  EXPECT_TRUE(PlaybackRunning()) << "Next frame and zoom must not stop playback";
  Send(session, WM_TIMER, kPlaybackTimerId);
  EXPECT_EQ((stoppedAt + 2) % doc.frameCount, doc.currentFrame);
}

TEST(PlaybackTest, CommandsThatChangeTheDocumentStopIt) {
  EditorSession session(DataFile("muybridge.gif"));
  session.Command(IDM_ANIMATION_PLAY);
  SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kFramesListId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(panel.list));
  EXPECT_FALSE(PlaybackRunning()) << "expected a frames-window command to stop playback";
  for (int command : {IDM_FILE_DELETE_FRAME, IDM_EDIT_COPY, IDM_FILE_SAVE_AS}) {
    session.Command(IDM_ANIMATION_PLAY);
    session.Command(command);  // Save as: its dialog is cancelled
    EXPECT_FALSE(PlaybackRunning()) << "command " << command << " left playback running";
  }
  // A tick already on its way when playback stopped moves nothing.
  const int current = doc.currentFrame;
  Send(session, WM_TIMER, kPlaybackTimerId);
  EXPECT_EQ(current, doc.currentFrame) << "a late tick restarted playback";
}
