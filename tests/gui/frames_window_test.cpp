// The frames window as a user works it: its list, values typed or pasted into
// the panel's fields, its check boxes and its close box.
#include "gui_harness.h"

namespace {

// The field's whole text replaced: typed a character at a time ("" deletes
// it), or put at once, as another program puts it, beyond the field's width.
void Type(EditorSession& session, HWND field, const std::string& text, bool typed = true) {
  SendMessageA(field, EM_SETSEL, 0, -1);
  if (!typed) SetWindowTextA(field, text.c_str());
  if (typed && text.empty()) PostMessageA(field, WM_CHAR, VK_BACK, 0);
  for (char c : typed ? text : "") PostMessageA(field, WM_CHAR, WPARAM(uint8_t(c)), 0);
  PostMessageA(session.main(), WM_NULL, 0, 0);  // one more turn of the loop
  session.Pump();
}

}  // namespace

TEST(FramesWindow, FieldsTakeNumbersAsCReadsThemWithinTheFormat) {
  EditorSession session(DataFile("frame-offsets.gif"));  // frame 0: 100 x 80 at (0, 0) on a screen as large
  session.SelectEntry(5);
  EXPECT_EQ("[50 | 35 | 25 | 30      | 30      | -      ]",
            Joined({WindowText(panel.delayField), WindowText(panel.leftField), WindowText(panel.topField),
                    WindowText(panel.widthValue), WindowText(panel.heightValue),
                    WindowText(panel.transparentIndexValue)}))
      << "expected frame 5's values in the panel";
  session.SelectEntry(0);
  Type(session, panel.leftField, "0x10");
  EXPECT_TRUE(doc.frames[0]->left == 16 && doc.modified) << "expected \"0x10\" read as hexadecimal, and a change";
  Type(session, panel.leftField, "010");
  EXPECT_EQ(8, doc.frames[0]->left) << "expected \"010\" read as octal";
  Type(session, panel.delayField, "");
  EXPECT_EQ(0, doc.frames[0]->delay) << "expected an empty delay to give 0";
  Type(session, panel.leftField, "100");
  Type(session, panel.topField, "30");
  Type(session, panel.leftField, "5");
  EXPECT_EQ("200 110", std::to_string(doc.screenWidth) + " " + std::to_string(doc.screenHeight))
      << "expected the screen grown to the frame's far edges, and never narrowed";

  // Their low 16 bits would be 16 and 4464: the frame would wrap back in.
  for (const char* text : {"65552", "0x10010", "70000", "40000", "-1", "99999999999999999999", "abc"}) {
    Type(session, panel.leftField, text, false);
    EXPECT_EQ(5, doc.frames[0]->left) << "expected left " << text << " refused";
  }
  Type(session, panel.leftField, "32767", false);
  EXPECT_EQ(32767 + 100, doc.screenWidth) << "expected the largest position taken";
  // Longer than the field's buffer: the number in front is taken, letters change nothing.
  Type(session, panel.topField, "12" + std::string(998, ' '), false);
  EXPECT_EQ(12, doc.frames[0]->top) << "expected the number in front of a long text taken";
  Type(session, panel.delayField, "7", false);
  Type(session, panel.delayField, std::string(1000, 'x'), false);
  EXPECT_TRUE(doc.frames[0]->delay == 7 && WindowText(panel.delayField).size() == 1000u)
      << "expected 1000 letters, all held by the field, to change nothing";
}

TEST(FramesWindow, RestoreBoxFlipsItsBitBothWaysAndTheCloseBoxHidesTheWindow) {
  EditorSession session(DataFile("frame-offsets.gif"));  // disposal 1
  SendMessageA(panel.restoreBox, BM_CLICK, 0, 0);
  EXPECT_TRUE(doc.frames[0]->disposal == 3 && doc.modified && SendMessageA(panel.restoreBox, BM_GETCHECK, 0, 0))
      << "expected Restore to background to set bit 1 only, marked, and the document modified";
  SendMessageA(panel.restoreBox, BM_CLICK, 0, 0);
  EXPECT_EQ(1, doc.frames[0]->disposal) << "expected a second click to give the disposal back";
  SendMessageA(framesWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(framesWindow) || session.MenuChecked(IDM_VIEW_FRAMES_WINDOW))
      << "expected the window hidden, and Show frames window unchecked";
}

// harvesters.gif at 2:1 brings up both scroll bars in the default window.
TEST(FramesWindow, StaysInsideTheImageViewAsScrollBarsComeAndTheMainWindowShrinks) {
  EditorSession session(DataFile("harvesters.gif"));
  session.Command(IDM_VIEW_ZOOM_IN);
  for (SIZE size : {SIZE{0, 0}, SIZE{520, 420}, SIZE{300, 200}}) {
    if (size.cx > 0) MoveWindow(session.main(), 0, 0, size.cx, size.cy, TRUE);
    session.Pump();
    RECT view, frames;
    GetClientRect(imageView, &view);
    GetWindowRect(framesWindow, &frames);
    MapWindowPoints(nullptr, imageView, reinterpret_cast<POINT*>(&frames), 2);
    const bool inside = frames.left >= 0 && frames.right <= view.right && frames.bottom <= view.bottom;
    EXPECT_TRUE(size.cx == 300 ? frames.left == 0 && frames.top == 0 : inside) << size.cx << " wide";
  }
}
