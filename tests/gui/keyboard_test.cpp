// The keyboard and the wheel as a user works them: keys posted to the
// focused window with the modifiers held in the thread's key state, the
// wheel posted to the focused window with the pointer over another, all
// through the loop's own translation.
#include <initializer_list>

#include "editor/playback.h"
#include "gui_harness.h"

namespace {

void Press(EditorSession& session, HWND focus, UINT key, std::initializer_list<UINT> held = {}) {
  BYTE state[256] = {};
  for (UINT modifier : held) state[modifier] = 0x80;
  SetFocus(focus);
  SetKeyboardState(state);
  // With Alt held a key comes as a system key, flagged in its bit 29.
  const bool alt = state[VK_MENU] != 0;
  PostMessageA(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? 0x20000001 : 1);
  PostMessageA(focus, alt ? WM_SYSKEYUP : WM_KEYUP, key, LPARAM(alt ? 0xE0000001 : 0xC0000001));
  session.Pump();
  state[VK_CONTROL] = state[VK_SHIFT] = state[VK_MENU] = 0;
  SetKeyboardState(state);
}

}  // namespace

TEST(Keyboard, KeysActOnFramesFromEveryWindowButTextFieldsAndTheListKeepTheirOwn) {
  EditorSession session(DataFile("frame-offsets.gif"));  // 6 frames
  const HWND main = session.main(), list = panel.list, delay = panel.delayField;
  // After each key: the frame and count, the zoom, playback and the delay field.
  struct { HWND focus; UINT key; std::initializer_list<UINT> held; const char* expected; } rows[] = {
      {main, VK_RIGHT, {}, "2/6 0 50"}, {imageView, VK_NEXT, {}, "3/6 0 50"}, {framesWindow, VK_RIGHT, {}, "4/6 0 50"},
      {list, VK_LEFT, {}, "3/6 0 50"} /* the list's own move */, {list, VK_DELETE, {}, "3/5 0 50"},
      {imageView, VK_OEM_PLUS, {VK_CONTROL}, "3/5 1 50"}, {list, VK_ADD, {VK_CONTROL}, "3/5 2 50"},
      {main, '0', {VK_CONTROL}, "3/5 0 50"}, {main, VK_OEM_MINUS, {VK_CONTROL}, "3/5 -1 50"},
      {main, VK_F5, {}, "3/5 -1 playing 50"}, {delay, VK_ESCAPE, {}, "3/5 -1 50"},  // no text key: the window's
      {delay, VK_DELETE, {}, "3/5 -1 0"}, {delay, VK_RIGHT, {}, "3/5 -1 0"}, {delay, 'X', {VK_CONTROL}, "3/5 -1 0"},
      {delay, 'Z', {VK_CONTROL}, "3/5 -1 50"} /* the field's own undo */, {main, 'D', {VK_CONTROL}, "4/6 -1 50"},
      {list, 'Z', {VK_CONTROL}, "3/5 -1 50"}, {main, 'Z', {VK_CONTROL, VK_SHIFT}, "4/6 -1 50"},
      {imageView, 'Z', {VK_CONTROL}, "3/5 -1 50"}, {main, 'Y', {VK_CONTROL}, "4/6 -1 50"},
      {main, VK_UP, {VK_MENU}, "3/6 -1 50"}, {list, VK_DOWN, {VK_MENU}, "4/6 -1 50"}, {main, VK_LEFT, {}, "3/6 -1 50"}};
  for (const auto& row : rows) {
    Press(session, row.focus, row.key, row.held);
    EXPECT_EQ(row.expected, std::to_string(doc.currentFrame + 1) + "/" + std::to_string(doc.frameCount) + " " +
                                std::to_string(zoom) + (PlaybackRunning() ? " playing " : " ") +
                                WindowText(panel.delayField))
        << "after key " << row.key;
  }
  // Tab from the picture round the frames window in reading order, Shift+Tab
  // from the main window to its last control; a click on the picture takes the focus back.
  std::string order;
  for (int press = 0; press < 10; ++press) {
    Press(session, press == 0 ? imageView : GetFocus(), VK_TAB);
    order += std::to_string(GetDlgCtrlID(GetFocus())) + " ";
  }
  Press(session, main, VK_TAB, {VK_SHIFT});
  order += std::to_string(GetDlgCtrlID(GetFocus()));
  SendMessageA(imageView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ("50 51 52 55 56 105 60 54 90 50 90 view", order + (GetFocus() == imageView ? " view" : " elsewhere"));
}

// A screen of 2000 x 1500 and 40 frames of one pixel: the view scrolls both
// ways and the list has more entries than it shows. With the focus in the
// list, it would scroll itself; in the main window, nothing would.
TEST(Wheel, ScrollsAndZoomsTheViewAboutThePointerAndScrollsTheListUnderIt) {
  GifBuilder gif;
  gif.Header().Screen(2000, 1500, 2);
  for (int i = 0; i < 40; ++i) gif.Image(0, 0, 1, 1, {1});
  EditorSession session(WriteGif("wheel.gif", gif));
  const HWND list = panel.list, view = imageView;
  // (100, 60) shows pixel (196, 108), at 2:1 from (146, 78) too; at 1:2 it would need (-4, -12).
  struct { HWND focus, window; int x, y, delta; WORD keys; const char* expected; } rows[] = {
      {list, view, 50, 50, -120, 0, "0,48 0 0"}, {list, view, 50, 50, -240, MK_SHIFT, "96,48 0 0"},
      {list, view, 100, 60, 120, MK_CONTROL, "146,78 1 0"}, {list, view, 100, 60, -240, MK_CONTROL, "96,48 0 0"},
      {list, view, 100, 60, -120, MK_CONTROL, "0,0 -1 0"}, {session.main(), list, 20, 20, -120, 0, "0,0 -1 3"}};
  for (const auto& row : rows) {
    POINT at = {row.x, row.y};
    ClientToScreen(row.window, &at);
    SetFocus(row.focus);
    PostMessageA(row.focus, WM_MOUSEWHEEL, MAKEWPARAM(row.keys, row.delta), MAKELPARAM(at.x, at.y));
    session.Pump();
    EXPECT_EQ(row.expected, std::to_string(scrollX) + "," + std::to_string(scrollY) + " " + std::to_string(zoom) + " " +
                                std::to_string(SendMessageA(list, LB_GETTOPINDEX, 0, 0)))
        << "scroll, zoom and the list's first entry shown";
  }
}
