// The main window as a user meets it: what the menus and their buttons offer
// as the document goes through its states, the progress shown while a file
// loads and cleared after, and playback: which frames its timer shows, in
// which order, and what stops it.
#include "editor/playback.h"
#include "gui_harness.h"

namespace {

// "Save, Save as, Animation, Copy" as + and -, from the menu; Cut and each
// toolbar button must agree with their menu items.
std::string Offered(const EditorSession& session) {
  const bool save = session.MenuEnabled(IDM_FILE_SAVE), saveAs = session.MenuEnabled(IDM_FILE_SAVE_AS),
             animation = session.AnimationMenuEnabled(), copy = session.MenuEnabled(IDM_EDIT_COPY);
  EXPECT_EQ(copy, session.MenuEnabled(IDM_EDIT_CUT)) << "Cut differs from Copy";
  for (int tool : {kToolSave, kToolSaveAs, kToolCut, kToolCopy, kToolPlay, kToolStop, kToolAdvance})
    EXPECT_EQ(tool == kToolSave ? save : tool == kToolSaveAs ? saveAs : tool < kToolPlay ? copy : animation,
              session.ToolbarEnabled(tool)) << "button " << tool << " differs from its menu item";
  return std::string(save ? "+" : "-") + (saveAs ? "+" : "-") + (animation ? "+" : "-") + (copy ? "+" : "-");
}

// What the status bar and the progress bar are told: texts and positions.
std::vector<std::string> told;
WNDPROC statusProc, progressProc;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SB_SETTEXTA || message == PBM_SETPOS)
    told.push_back(message == PBM_SETPOS ? std::to_string(wParam) : reinterpret_cast<const char*>(lParam));
  return CallWindowProcA(window == statusBar ? statusProc : progressProc, window, message, wParam, lParam);
}

// A command or a tick delivered without the loop; the real timer the program
// sets is taken away at once so that no tick of its own slips in (the
// program still counts it as set).
void Send(EditorSession& session, UINT message, WPARAM wParam) {
  SendMessageA(session.main(), message, wParam, 0);
  KillTimer(session.main(), kPlaybackTimerId);
}

}  // namespace

TEST(MainWindow, CommandsFollowTheDocumentThroughItsStates) {
  EditorSession session;
  EXPECT_EQ("----", Offered(session)) << "empty, untitled";
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION) || session.ToolbarPressed(kToolSave) ||
               session.ToolbarPressed(kToolSelect)) << "expected no crop, greyed Save drawn raised, no selection tool";
  session.Command(IDM_FILE_DELETE_FRAME);
  EXPECT_EQ("----", Offered(session)) << "modified, untitled, empty";
  statusProc = WNDPROC(SetWindowLongPtrA(statusBar, GWLP_WNDPROC, LONG_PTR(Record)));
  progressProc = WNDPROC(SetWindowLongPtrA(progressBar, GWLP_WNDPROC, LONG_PTR(Record)));
  session.AnswerFileName(DataFile("comments-between-frames.gif"));  // comment, image, comment, image, comment
  session.Command(kToolOpen);
  SetWindowLongPtrA(statusBar, GWLP_WNDPROC, LONG_PTR(statusProc));
  SetWindowLongPtrA(progressBar, GWLP_WNDPROC, LONG_PTR(progressProc));
  EXPECT_NE(std::string::npos, Joined(told).find("Reading frame 4 | 100 | ")) << "expected the reading shown, got "
                                                                                 << Joined(told).substr(0, 300);
  EXPECT_TRUE(session.StatusBarText().empty() && !IsWindowVisible(progressBar) &&
              !SendMessageA(progressBar, PBM_GETPOS, 0, 0)) << "expected the text cleared, the bar hidden at 0 after";
  EXPECT_EQ("[frame   1  // Comment | frame   2 | frame   3  // Comment | frame   4 | frame   5  // Comment]",
            Joined(session.FramesListTexts()));
  for (int entry : {3, 2, 1, 0, 4}) session.SelectEntry(entry);  // each refresh writes the fields back
  EXPECT_EQ("-+++", Offered(session)) << "opened and walked through, not modified";
  session.SelectEntry(4);
  session.Command(kToolCut);
  EXPECT_EQ(3, doc.currentFrame) << "deleting the last entry makes the new last one current";
  EXPECT_EQ("++++", Offered(session)) << "modified, named";
  for (int i = 0; i < 9; ++i) session.Command(i % 2 ? IDM_VIEW_ZOOM_IN : kToolZoomIn);
  EXPECT_EQ("Frambo - comments-between-frames.gif (9:1)", session.Caption()) << "expected a ninth zoom in to stop";
  session.Command(IDM_VIEW_NORMAL);
  for (int i = 0; i < 9; ++i) session.Command(i % 2 ? IDM_VIEW_ZOOM_OUT : kToolZoomOut);
  EXPECT_EQ("Frambo - comments-between-frames.gif (1:9)", session.Caption()) << "expected a ninth zoom out to stop";
  session.AnswerButton(IDNO);
  session.AnswerFileName(DataFile("two-colors.gif"));
  session.Command(IDM_FILE_OPEN);
  EXPECT_EQ("-+-+", Offered(session)) << "one frame opened";
  session.Command(IDM_FILE_DELETE_FRAME);
  EXPECT_EQ("++--", Offered(session)) << "last entry deleted: Save as stays";
}

TEST(Playback, TicksShowTheImageFramesInTurnUntilACommandStopsThem) {
  EditorSession session(DataFile("comments-between-frames.gif"));  // comment, image, comment, image, comment
  session.Command(kToolPlay);
  EXPECT_TRUE(WaitFor([&] { session.Pump(); return doc.currentFrame == 3; })) << "expected the program's own timer "
                                                                               "to step through the frames of 500 ms";
  Send(session, WM_COMMAND, kToolPlay);
  std::string shown;
  for (int i = 0; i < 4; ++i) {
    Send(session, WM_TIMER, kPlaybackTimerId);
    shown += std::to_string(doc.currentFrame);
  }
  EXPECT_EQ("1313", shown) << "expected the two image entries in turn, comments never";
  Send(session, WM_COMMAND, IDM_ANIMATION_NEXT_FRAME);
  Send(session, WM_COMMAND, IDM_VIEW_ZOOM_IN);
  Send(session, WM_TIMER, kPlaybackTimerId);
  EXPECT_EQ(1, doc.currentFrame) << "expected Next frame and zoom to leave it playing on from the frame shown";
  for (HWND control : {panel.list, panel.delayField, panel.leftField, session.main()}) SetFocus(control);
  session.Pump();
  EXPECT_TRUE(PlaybackRunning()) << "expected the focus moving through the frames window to leave playback running";
  session.SelectEntry(0);
  EXPECT_FALSE(PlaybackRunning()) << "expected a frames-window command to stop playback";
  for (int command : {IDM_FILE_DELETE_FRAME, IDM_EDIT_COPY, IDM_FILE_SAVE_AS, int(kToolStop)}) {
    Send(session, WM_COMMAND, IDM_ANIMATION_PLAY);
    session.Command(command);  // Save as: its dialog is cancelled
    EXPECT_FALSE(PlaybackRunning()) << "command " << command << " left playback running";
  }
  // A tick already on its way when playback stopped moves nothing.
  const int current = doc.currentFrame;
  Send(session, WM_TIMER, kPlaybackTimerId);
  EXPECT_EQ(current, doc.currentFrame) << "a late tick restarted playback";

}
