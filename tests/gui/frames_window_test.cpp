// The frames window as a user works it: its list, values typed or pasted
// into the panel's fields, its check boxes, the close box and the palette part.
#include <cstdio>
#include <string>
#include <vector>

#include "gif_builder.h"
#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/frames_window.h"
#include "editor/shell_state.h"

namespace {

// 40x30 screen, 8x6 images at (i, i) and a comment at entry 3. Frame 0:
// disposal 1, delay 10, at (2, 3); frame 1: transparent, delay 65535.
std::string TwelveEntries() {
  GifBuilder gif;
  gif.Header().Screen(40, 30, 4);
  for (int i = 0; i < 12; ++i) {
    if (i == 3) {
      gif.Comment("hello");
      continue;
    }
    gif.GraphicControl(i == 0 ? 1 : 0, i == 1, i == 0 ? 10 : i == 1 ? 65535 : 5 * i, 2);
    gif.Image(i == 0 ? 2 : i, i == 0 ? 3 : i, 8, 6, std::vector<uint8_t>(48, static_cast<uint8_t>(i % 4)));
  }
  gif.Trailer();
  std::string path = ScratchFile("frames-window-twelve.gif");
  FILE* file = fopen(path.c_str(), "wb");
  if (file != nullptr) {
    fwrite(gif.bytes.data(), 1, gif.bytes.size(), file);
    fclose(file);
  }
  return path;
}

const Frame& Entry(int index) { return *doc.frames[index]; }

// One more turn of the message loop, with what it runs after each message.
void Settle(EditorSession& session) {
  PostMessageA(session.main(), WM_NULL, 0, 0);
  session.Pump();
}

// Types over the field's whole text a character at a time; "" deletes it.
void Type(EditorSession& session, int id, const std::string& text) {
  HWND field = session.FramesControl(id);
  SendMessageA(field, EM_SETSEL, 0, -1);
  if (text.empty()) PostMessageA(field, WM_CHAR, VK_BACK, 0);
  for (char c : text) PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
  session.Pump();
}

// The whole text at once, as another program puts it: unlike typing, not
// bounded by the field's width.
void Put(EditorSession& session, int id, const std::string& text) {
  SetWindowTextA(session.FramesControl(id), text.c_str());
  Settle(session);
}

void SelectEntry(EditorSession& session, int index) {
  HWND list = session.FramesControl(kFramesListId);
  SendMessageA(list, LB_SETCURSEL, index, 0);
  SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kFramesListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  Settle(session);
}

void Click(EditorSession& session, int id) {
  SendMessageA(session.FramesControl(id), BM_CLICK, 0, 0);
  Settle(session);
}

TEST(FramesWindow, TwelveEntriesListInFrameOrderWithTheCommentMarked) {
  EditorSession session(TwelveEntries());
  std::vector<std::string> texts = session.FramesListTexts();
  ASSERT_EQ(texts.size(), 12u) << "expected 12 entries listed, got " << texts.size();
  for (int i = 0; i < 12; ++i) {
    char expected[32];
    snprintf(expected, sizeof expected, i == 3 ? "frame %3i  // Comment" : "frame %3i", i + 1);
    EXPECT_EQ(texts[i], expected) << "entry " << i;
  }
  SelectEntry(session, 10);
  EXPECT_EQ(doc.currentFrame, 10) << "expected list entry 10 to become the current frame";
}

// Each refresh writes the stored values back into the fields, and each
// write comes back as a change: only what the user changed may count.
TEST(FramesWindow, WalkingThroughTheListNeverMarksTheDocumentModified) {
  EditorSession session(TwelveEntries());
  SelectEntry(session, 0);
  for (int key : {VK_DOWN, VK_UP})
    for (int step = 0; step < 12; ++step) {
      PostMessageA(session.FramesControl(kFramesListId), WM_KEYDOWN, key, 0);
      Settle(session);
    }
  for (int i : {3, 1, 3, 11, 0}) SelectEntry(session, i);
  for (int id : {kDelayFieldId, kLeftFieldId, kTopFieldId, kFramesListId}) {
    SetFocus(session.FramesControl(id));
    Settle(session);
  }
  EXPECT_EQ(doc.modified, 0) << "expected selecting entries to leave the document unmodified";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "expected Save greyed";
  EXPECT_EQ(Entry(3).left, 5) << "expected the comment's length kept";
}

TEST(FramesWindow, TypedValuesAreTakenAsCReadsNumbersWithinTheFormat) {
  EditorSession session(TwelveEntries());
  SelectEntry(session, 0);
  Type(session, kLeftFieldId, "0x10");
  EXPECT_EQ(Entry(0).left, 16) << "expected \"0x10\" read as hexadecimal";
  EXPECT_EQ(doc.modified, 1) << "expected a typed left to mark the document modified";
  Type(session, kLeftFieldId, "010");
  EXPECT_EQ(Entry(0).left, 8) << "expected \"010\" read as octal";
  Type(session, kDelayFieldId, "");
  EXPECT_EQ(Entry(0).delay, 0) << "expected an empty delay to give 0";

  Type(session, kLeftFieldId, "50");
  Type(session, kTopFieldId, "30");
  Type(session, kLeftFieldId, "5");
  EXPECT_EQ(doc.screenWidth, 58) << "expected the screen widened to left + width, and never narrowed";
  EXPECT_EQ(doc.screenHeight, 36) << "expected the screen heightened to top + height";

  // Their low 16 bits would be 16 and 4464: the frame would wrap back in.
  for (const char* text : {"65552", "0x10010", "70000", "40000", "-1", "99999999999999999999"}) {
    Put(session, kLeftFieldId, text);
    EXPECT_EQ(Entry(0).left, 5) << "expected left " << text << " refused";
  }
  Put(session, kLeftFieldId, "32767");
  EXPECT_EQ(doc.screenWidth, 32775) << "expected the largest position taken";
}

TEST(FramesWindow, TextLongerThanTheFieldBufferIsHarmless) {
  EditorSession session(TwelveEntries());
  SelectEntry(session, 0);
  Put(session, kLeftFieldId, std::string(1000, '9'));
  EXPECT_EQ(Entry(0).left, 2) << "expected a 1000-digit left refused";
  Put(session, kTopFieldId, "12" + std::string(998, ' '));
  EXPECT_EQ(Entry(0).top, 12) << "expected the number in front of a long text taken";
  Put(session, kDelayFieldId, std::string(1000, 'x'));
  EXPECT_EQ(Entry(0).delay, 10) << "expected 1000 letters to change nothing";
  EXPECT_EQ(session.FramesControlText(kDelayFieldId).size(), 1000u) << "expected the field to hold the whole text";
}

TEST(FramesWindow, CheckBoxesToggleTheirValuesAndMarks) {
  EditorSession session(TwelveEntries());
  SelectEntry(session, 0);
  Click(session, kRestoreBoxId);
  EXPECT_EQ(Entry(0).disposal, 3) << "expected restore on disposal 1 to give 3";
  EXPECT_EQ(SendMessageA(session.FramesControl(kRestoreBoxId), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(doc.modified, 1) << "expected the toggle to mark the document modified";
  Click(session, kRestoreBoxId);
  EXPECT_EQ(Entry(0).disposal, 1) << "expected restore off to give disposal 1 back";

  Click(session, kTransparentBoxId);
  EXPECT_EQ(Entry(0).transparentIndex, 0) << "expected the transparent index to start at 0";
  EXPECT_EQ(session.FramesControlText(kTransparentIndexId), "0     ");
  SelectEntry(session, 1);
  Click(session, kTransparentBoxId);
  EXPECT_EQ(Entry(1).transparent, 0) << "expected frame 2's transparency switched off";
}

TEST(FramesWindow, CloseBoxHidesItAndThePaletteButtonResizesItInPlace) {
  EditorSession session;
  ASSERT_TRUE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected the frames window shown at first";
  RECT before, after;
  GetWindowRect(framesWindow, &before);
  bool shown = session.FramesControlText(kPaletteToggleId) == "Hide palette";
  for (int click = 0; click < 2; ++click) {
    EXPECT_EQ(session.FramesControlText(kPaletteToggleId), shown ? "Hide palette" : "Show palette");
    GetWindowRect(framesWindow, &after);
    EXPECT_EQ(after.bottom - after.top, shown ? 336 : 230) << "expected the height to follow the palette part";
    EXPECT_EQ(after.top, before.top) << "expected the corner kept";
    Click(session, kPaletteToggleId);
    shown = !shown;
  }
  SendMessageA(framesWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  session.Pump();
  EXPECT_TRUE(IsWindow(framesWindow) && !IsWindowVisible(framesWindow)) << "expected the window kept but hidden";
  EXPECT_FALSE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected 302 unchecked";
  session.Command(IDM_VIEW_FRAMES_WINDOW);
}

}  // namespace
