// Cut, Copy, Paste and Paste at end through Wine's real clipboard: frames and
// comments there and back, pictures and texts of another window of this
// process (standing in for another program), refused pastes, a clipboard
// held elsewhere, and the Paste commands following the clipboard through the
// viewer chain.
#include <cstring>
#include <memory>

#include "editor/clipboard.h"
#include "gui_harness.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Another program's window: it owns what it puts on the clipboard and, once
// in the viewer chain, counts the change notices and passes them on.
struct OtherWindow {
  OtherWindow() {
    WNDCLASSA windowClass = {0, Proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "TestOther"};
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window = CreateWindowA("TestOther", "", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(this));
  }
  ~OtherWindow() {
    if (inChain) ChangeClipboardChain(window, next);
    DestroyWindow(window);
  }
  // The clipboard's content replaced by these formats.
  void Put(const std::vector<std::pair<UINT, Bytes>>& formats) {
    OpenClipboard(window);
    EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      memcpy(GlobalLock(block), bytes.data(), bytes.size());
      GlobalUnlock(block);
      SetClipboardData(format, block);
    }
    CloseClipboard();
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_DRAWCLIPBOARD && message != WM_CHANGECBCHAIN) return DefWindowProcA(window, message, w, l);
    auto* self = reinterpret_cast<OtherWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    self->changesSeen += message == WM_DRAWCLIPBOARD;
    if (message == WM_CHANGECBCHAIN && HWND(w) == self->next)
      self->next = HWND(l);
    else if (self->next != nullptr)
      SendMessageA(self->next, message, w, l);
    return 0;
  }
  HWND window = nullptr, next = nullptr;
  bool inChain = false;
  int changesSeen = 0;
};

Bytes Text(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }

// A 32-bit packed bitmap of one colour as other programs put it on the clipboard.
Bytes Dib(int width, int height) {
  std::vector<uint32_t> words = {40, uint32_t(width), uint32_t(height), 0x200001, BI_RGB, 0, 0, 0, 0, 0};
  words.resize(words.size() + size_t(width * height), 0xC86432);
  return Bytes(reinterpret_cast<uint8_t*>(words.data()), reinterpret_cast<uint8_t*>(words.data() + words.size()));
}

// What a paste of the program's own frame gives back, in one line.
std::string Fields(const Frame& f) {
  char text[200];
  snprintf(text, sizeof text, "at %d,%d %dx%d colours %d delay %d disposal %d transparent %d/%d sort %d interlaced %d "
           "global %d", f.left, f.top, f.width, f.height, f.colorCount, f.delay, f.disposal, f.transparent,
           f.transparentIndex, f.sortFlag, f.interlaced, f.useGlobalPalette);
  return text;
}

std::string CommentText(int index) {
  std::string text(size_t(doc.frames[index]->left), '\0');
  doc.swapFile.ReadAt(doc.frames[index]->dataOffset, &text[0], int32_t(text.size()));
  return text;
}

bool PasteOffered(const EditorSession& session) {
  const bool menu = session.MenuEnabled(IDM_EDIT_PASTE);
  EXPECT_EQ(menu, session.MenuEnabled(IDM_EDIT_PASTE_AT_END) && session.ToolbarEnabled(kToolPaste));
  return menu;
}

// Holds the clipboard open, as a busy program does, from opening (events[0]) till release (events[1]).
DWORD WINAPI HoldClipboard(void* events) {
  OpenClipboard(nullptr);
  SetEvent(static_cast<HANDLE*>(events)[0]);
  WaitForSingleObject(static_cast<HANDLE*>(events)[1], 10000);
  return CloseClipboard();
}

// Waits for handle, answering meanwhile what other threads send to this one's windows.
void WaitAnswering(HANDLE handle) {
  for (MSG message; MsgWaitForMultipleObjects(1, &handle, FALSE, 10000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1;)
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace

TEST(ClipboardTest, OwnFrameIsCopiedAsABitmapAndPastedBackWithItsFieldsAnotherOwnersWithout) {
  EditorSession session(DataFile("frame-offsets.gif"));
  session.SelectEntry(2);
  // Values a picture imported from elsewhere never gets: each one lost shows.
  Frame& source = *doc.frames[2];
  source.delay = 37, source.disposal = 3, source.transparent = 1, source.transparentIndex = 5, source.sortFlag = 32;
  source.interlaced = 64;
  const Frame original = source;
  const Bytes rows = StoredBlock(2);
  session.Command(IDM_EDIT_COPY);
  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(6, doc.currentFrame) << "expected the pasted frame current";
  EXPECT_EQ(Fields(original), Fields(*doc.frames[6]));
  EXPECT_TRUE(rows == StoredBlock(6) && !memcmp(original.palette, doc.frames[6]->palette, sizeof original.palette))
      << "expected the same pixel indices and palette";
  EXPECT_EQ(7u, session.FramesListTexts().size());
  EXPECT_EQ(1u, FileNames(session.tempFolder()).size()) << "expected the paste file gone, the swap file left";
  // Into a new document the frame keeps its place, and the screen reaches it.
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  session.Command(IDM_EDIT_PASTE);
  EXPECT_EQ(Fields(original), Fields(*doc.frames[0]));
  EXPECT_EQ(original.left + original.width, doc.screenWidth) << "expected the screen to reach the frame's right edge";

  // Windows names no owner in the change notice; the copied frame must survive it, and only it.
  SendMessageA(session.main(), WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_EQ(1, clipboardHoldsOwnFrame) << "expected the copied frame remembered while the editor owns the clipboard";
  OtherWindow other;
  other.Put({{CF_TEXT, Text("hi")}, {CF_DIB, Dib(3, 2)}});
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  session.Command(IDM_EDIT_PASTE);
  EXPECT_EQ("at 0,0 3x2 colours 256 delay 0 disposal 0 transparent 0/0 sort 0 interlaced 0 global 0",
            Fields(*doc.frames[0])) << "expected another owner's picture, before its text, with the import's fields";
  EXPECT_TRUE(doc.screenWidth == 3 && session.MenuEnabled(IDM_FILE_SAVE_AS) && !session.AnimationMenuEnabled())
      << "expected the screen set by the picture, and the menus by its one frame";
}

TEST(ClipboardTest, CommentsTravelAsTextAndTextOfAnotherProgramIsCutAtItsEndOr5000Bytes) {
  EditorSession session(DataFile("comments-between-frames.gif"));  // comment, image, comment, image, comment
  const std::string second = CommentText(2);
  session.SelectEntry(2);
  session.Command(IDM_EDIT_COPY);
  session.Command(IDM_EDIT_PASTE_AT_END);
  OtherWindow other;
  other.Put({{CF_TEXT, Bytes{'a', 'b', 0, 'c', 'd', 0}}});
  session.Command(IDM_EDIT_PASTE_AT_END);
  other.Put({{CF_TEXT, Bytes(6000, 'x')}});  // no NUL: nothing may be read beyond the block
  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(8, doc.frameCount);
  EXPECT_EQ(Joined({second, "ab", std::string(5000, 'x')}), Joined({CommentText(5), CommentText(6), CommentText(7)}));
  EXPECT_EQ(nullptr, GetOpenClipboardWindow()) << "expected the clipboard closed after the pastes";
}

TEST(ClipboardTest, RefusedOrUnreachablePictureChangesNothingAndIsSaidOnce) {
  Bytes bad = Dib(2, 2);
  bad[14] = 7;  // 7 bits a pixel: no import takes it
  OtherWindow other;
  other.Put({{CF_DIB, bad}});
  EditorSession session(DataFile("frame-offsets.gif"));
  session.SelectEntry(1);
  const std::vector<std::string> list = session.FramesListTexts();
  session.Command(IDM_EDIT_PASTE);
  EXPECT_TRUE(list == session.FramesListTexts() && doc.currentFrame == 1 && doc.screenWidth == 100)
      << "expected the document as it was";
  EXPECT_EQ("Error in reading file", session.LastShown());
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS) && session.AnimationMenuEnabled()) << "expected both still offered";
  EXPECT_EQ(1u, FileNames(session.tempFolder()).size()) << "expected the paste file gone, the swap file left";

  other.Put({{CF_DIB, Dib(1, 1)}});
  HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HANDLE holder = CreateThread(nullptr, 0, HoldClipboard, events, 0, nullptr);
  WaitAnswering(events[0]);
  session.Command(IDM_EDIT_PASTE);
  session.Command(IDM_EDIT_CUT);
  EXPECT_EQ(list, session.FramesListTexts()) << "expected the entry kept when it could not be copied";
  EXPECT_EQ(2u, session.shown().size()) << "expected the failed paste said once, the failed cut not at all";
  SetEvent(events[1]);
  WaitAnswering(holder);
  session.Command(IDM_EDIT_PASTE);
  EXPECT_EQ(list.size() + 1, session.FramesListTexts().size()) << "expected the paste to work with the clipboard free";
}

TEST(ClipboardTest, PasteFollowsTheClipboardThroughTheViewerChainAndACopiedFrameOutlivesTheEditor) {
  OtherWindow last, owner;
  auto next = std::make_unique<OtherWindow>();  // right after the main window
  owner.Put({{CF_TEXT, Text("there before the editor")}});
  for (OtherWindow* viewer : {&last, next.get()}) viewer->next = SetClipboardViewer(viewer->window);
  last.inChain = next->inChain = true;
  {
    EditorSession session(DataFile("frame-offsets.gif"));
    EXPECT_TRUE(PasteOffered(session)) << "expected Paste offered from the start";
    session.Command(IDM_EDIT_COPY);
    next.reset();  // leaves the chain, then its window goes
    EXPECT_EQ(last.window, nextClipboardViewer) << "expected the main window to link past the leaving viewer";
    const int seen = last.changesSeen;
    owner.Put({{CF_WAVE, Bytes{1, 2, 3}}});
    session.Pump();
    EXPECT_EQ(seen + 1, last.changesSeen) << "expected the change passed on to the rest of the chain";
    EXPECT_FALSE(PasteOffered(session)) << "expected Paste greyed for a format it cannot take";
    owner.Put({{CF_DIB, Dib(1, 1)}});
    session.Pump();
    EXPECT_TRUE(PasteOffered(session)) << "expected Paste offered for a picture";
  }
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << "expected another program's picture left on the clipboard";
  {
    EditorSession session(DataFile("frame-offsets.gif"));
    session.Command(IDM_EDIT_COPY);
  }
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << "expected the frame copied last to outlive the editor";
  EditorSession session;
  session.Command(IDM_EDIT_PASTE);
  ASSERT_EQ(1, doc.frameCount) << "expected the frame copied before closing pasted";
  EXPECT_EQ("at 0,0 100x80 colours 256 delay 0 disposal 0 transparent 0/0 sort 0 interlaced 0 global 0",
            Fields(*doc.frames[0])) << "expected it pasted as another program's picture";
}
