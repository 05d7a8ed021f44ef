// Cut, Copy, Paste and Paste at end through Wine's real clipboard: round
// trips of image frames and comments, pictures and texts put there by another
// window of this process (standing in for another program), refused pastes,
// the temporary paste file, the Paste commands following the clipboard, and
// the clipboard viewer chain.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/clipboard.h"
#include "editor/toolbar.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr char kReadError[] = "Error in reading file";
constexpr char kOtherWindowClass[] = "FramboClipboardTestOther";

// Another program's window: it owns what it puts on the clipboard and, once
// it has joined the viewer chain, counts the change notices that reach it
// and passes them on as a well-behaved viewer does.
struct ViewerState {
  HWND next = nullptr;
  bool joined = false;
  int changesSeen = 0;
};

LRESULT CALLBACK OtherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<ViewerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_DRAWCLIPBOARD:
      if (state == nullptr) return 0;
      ++state->changesSeen;
      if (state->next != nullptr) SendMessageA(state->next, message, wParam, lParam);
      return 0;
    case WM_CHANGECBCHAIN:
      if (state == nullptr) return 0;
      if (reinterpret_cast<HWND>(wParam) == state->next)
        state->next = reinterpret_cast<HWND>(lParam);
      else if (state->next != nullptr)
        SendMessageA(state->next, message, wParam, lParam);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class OtherWindow {
 public:
  OtherWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OtherWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kOtherWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExA(0, kOtherWindowClass, "other program", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(nullptr, window_) << "expected the other window, got error " << GetLastError();
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state_));
  }
  ~OtherWindow() {
    LeaveChain();
    DestroyWindow(window_);
  }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;

  void JoinChain() {
    state_.joined = true;
    state_.next = SetClipboardViewer(window_);
  }
  void LeaveChain() {
    if (!state_.joined) return;
    ChangeClipboardChain(window_, state_.next);
    state_.joined = false;
  }
  int changesSeen() const { return state_.changesSeen; }
  HWND handle() const { return window_; }

  // Replaces the clipboard's content with the given formats, as this
  // window's own.
  void Put(const std::vector<std::pair<UINT, Bytes>>& formats) {
    ASSERT_TRUE(OpenClipboard(window_)) << "expected the clipboard opened, got error " << GetLastError();
    EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
      memcpy(GlobalLock(block), bytes.data(), bytes.size());
      GlobalUnlock(block);
      EXPECT_NE(nullptr, SetClipboardData(format, block)) << "expected format " << format << " taken";
    }
    CloseClipboard();
  }
  void PutText(const char* text) { Put({{CF_TEXT, Bytes(text, text + strlen(text) + 1)}}); }
  void Empty() { Put({}); }

 private:
  HWND window_ = nullptr;
  ViewerState state_;
};

// The clipboard's block of format, as any program reads it; empty when none.
Bytes ClipboardBytes(UINT format) {
  Bytes bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  HANDLE data = GetClipboardData(format);
  const auto* source = data != nullptr ? static_cast<const uint8_t*>(GlobalLock(data)) : nullptr;
  if (source != nullptr) {
    bytes.assign(source, source + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

uint32_t Dword(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  memcpy(&value, bytes.data() + at, 4);
  return value;
}

void PutDword(Bytes* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

using Rgb = std::array<uint8_t, 3>;  // red, green, blue

// A true-colour packed bitmap as other programs put it on the clipboard,
// pixels given top row first. Bit fields here put red in the lowest byte, so
// that reading them as plain BGR swaps red and blue.
enum class TrueColorKind { k24, k32, k32BitFields };

Bytes TrueColorDib(TrueColorKind kind, int width, int height, const std::vector<Rgb>& pixels) {
  const int bits = kind == TrueColorKind::k24 ? 24 : 32;
  const bool bitFields = kind == TrueColorKind::k32BitFields;
  Bytes dib;
  for (uint32_t value : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) PutDword(&dib, value);
  PutDword(&dib, 1u | static_cast<uint32_t>(bits) << 16);
  PutDword(&dib, bitFields ? BI_BITFIELDS : BI_RGB);
  for (int i = 0; i < 5; ++i) PutDword(&dib, 0);
  if (bitFields)
    for (uint32_t mask : {0x000000FFu, 0x0000FF00u, 0x00FF0000u}) PutDword(&dib, mask);
  const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
  for (int row = height - 1; row >= 0; --row) {
    Bytes line;
    for (int x = 0; x < width; ++x) {
      const Rgb& p = pixels[static_cast<size_t>(row) * width + x];
      // Byte by byte: a list insert into the empty row draws a false overflow
      // warning from the 32-bit compiler.
      const Rgb stored = bitFields ? Rgb{p[0], p[1], p[2]} : Rgb{p[2], p[1], p[0]};
      for (uint8_t byte : stored) line.push_back(byte);
      if (bits == 32) line.push_back(0);
    }
    line.resize(stride, 0);
    dib.insert(dib.end(), line.begin(), line.end());
  }
  return dib;
}

Rgb ColorOf(const PaletteEntry& entry) { return Rgb{entry.red, entry.green, entry.blue}; }

Bytes FrameRows(const Frame& frame) {
  ByteBuffer block;
  EXPECT_TRUE(ReadFrameBlock(frame, &block));
  return Bytes(block.data(), block.data() + block.size());
}

// The colour a frame shows at (x, y), y counted from the top.
Rgb ShownColor(const Frame& frame, const Bytes& rows, int x, int y) {
  const size_t stored = static_cast<size_t>(frame.height - 1 - y) * RowStride(frame.width) + x;
  return ColorOf(frame.palette[rows[stored]]);
}

// The fields a paste of the program's own picture gives back, in one line.
std::string Fields(const Frame& f) {
  char text[200];
  snprintf(text, sizeof text, "at %d,%d %dx%d colours %d delay %d disposal %d transparent %d/%d sort %d interlaced %d global %d",
           f.left, f.top, f.width, f.height, f.colorCount, f.delay, f.disposal, f.transparent, f.transparentIndex,
           f.sortFlag, f.interlaced, f.useGlobalPalette);
  return text;
}

std::string CommentText(int index) {
  const Frame& entry = *doc.frames[index];
  std::string text(static_cast<size_t>(entry.left), '\0');
  if (entry.left > 0) doc.swapFile.ReadAt(entry.dataOffset, &text[0], entry.left);
  return text;
}

int TimesShown(const EditorSession& session, const std::string& text) {
  int count = 0;
  for (const ShownDialog& dialog : session.shown()) count += dialog.text == text ? 1 : 0;
  return count;
}

// The names of the files in the session's temporary folder other than the
// swap file, "" when there are none.
std::string LeftoverTempFiles(const EditorSession& session) {
  std::string names;
  const char* swapName = strrchr(doc.swapFile.path, '\\') != nullptr ? strrchr(doc.swapFile.path, '\\') + 1 : "";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((session.tempFolder() + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.cFileName[0] != '.' && _stricmp(found.cFileName, swapName) != 0) names += found.cFileName + std::string(" ");
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool PasteOffered(const EditorSession& session) {
  const bool menu = session.MenuEnabled(IDM_EDIT_PASTE);
  EXPECT_EQ(menu, session.MenuEnabled(IDM_EDIT_PASTE_AT_END)) << "expected Paste and Paste at end alike";
  EXPECT_EQ(menu, session.ToolbarEnabled(kToolPaste)) << "expected the Paste button as the menu";
  return menu;
}

// Waits for handle while answering the messages other threads send to this
// one: opening the clipboard may ask its owner, a window of this thread.
void WaitAnsweringSentMessages(HANDLE handle) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 10000 &&
         MsgWaitForMultipleObjects(1, &handle, FALSE, 10000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent ones
  }
}

// Holds the clipboard open from another thread, as a busy program does,
// until it goes out of scope.
class ClipboardHeldElsewhere {
 public:
  ClipboardHeldElsewhere() {
    opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
    WaitAnsweringSentMessages(opened_);
  }
  ~ClipboardHeldElsewhere() {
    SetEvent(release_);
    WaitAnsweringSentMessages(thread_);
    for (HANDLE handle : {thread_, opened_, release_}) CloseHandle(handle);
  }
  bool held() const { return held_; }

 private:
  static DWORD WINAPI Hold(void* self) {
    auto* holder = static_cast<ClipboardHeldElsewhere*>(self);
    holder->held_ = OpenClipboard(nullptr) != 0;
    SetEvent(holder->opened_);
    WaitForSingleObject(holder->release_, 10000);
    if (holder->held_) CloseClipboard();
    return 0;
  }
  HANDLE opened_, release_, thread_;
  volatile bool held_ = false;
};

}  // namespace

TEST(ClipboardTest, ImageFrameCopiedAndPastedKeepsPixelsPaletteAndFrameFields) {
  EditorSession session(DataFile("frame-offsets.gif"));
  ASSERT_EQ(6, doc.frameCount);
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  ASSERT_EQ(2, doc.currentFrame);
  // Values a picture imported from elsewhere would never get, so that each
  // one lost on the way shows.
  Frame& source = *doc.frames[2];
  source.delay = 37;
  source.disposal = 3;
  source.transparent = 1;
  source.transparentIndex = 5;
  source.sortFlag = 32;
  source.interlaced = 64;
  const Frame original = source;
  const Bytes originalRows = FrameRows(source);

  session.Command(IDM_EDIT_COPY);
  // What other programs read: an 8-bit bottom-up packed bitmap.
  const Bytes dib = ClipboardBytes(CF_DIB);
  ASSERT_GE(dib.size(), 1064 + originalRows.size()) << "expected the whole frame on the clipboard";
  EXPECT_EQ(30u, Dword(dib, 4)) << "expected the frame's width";
  EXPECT_EQ(20u, Dword(dib, 8)) << "expected a positive height: rows bottom-up";
  EXPECT_EQ(0x00080001u, Dword(dib, 12)) << "expected 1 plane of 8 bits";
  EXPECT_EQ(0u, Dword(dib, 32)) << "expected all 256 colours used";
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = original.palette[i];
    ASSERT_EQ((entry.blue | entry.green << 8 | entry.red << 16), static_cast<int>(Dword(dib, 40 + 4 * i)))
        << "colour " << i;
  }
  EXPECT_TRUE(std::equal(originalRows.begin(), originalRows.end(), dib.begin() + 1064))
      << "expected the stored rows unchanged after the colour table";
  EXPECT_TRUE(PasteOffered(session)) << "expected Paste offered after a copy";

  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(7, doc.frameCount);
  EXPECT_EQ(6, doc.currentFrame) << "expected the pasted frame current";
  const Frame& pasted = *doc.frames[6];
  EXPECT_EQ("at 70,0 30x20 colours 16 delay 37 disposal 3 transparent 1/5 sort 32 interlaced 64 global 1", Fields(pasted));
  EXPECT_EQ(originalRows, FrameRows(pasted)) << "expected the same pixel indices";
  for (int i = 0; i < 256; ++i)
    ASSERT_TRUE(ColorOf(original.palette[i]) == ColorOf(pasted.palette[i])) << "expected palette entry " << i << " kept";
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(7u, session.FramesListTexts().size());
  EXPECT_EQ("", LeftoverTempFiles(session)) << "expected the paste file removed";
  EXPECT_EQ(0, pasteFileName[0]);

  // Paste puts the frame before the current entry and makes it current.
  session.Command(IDM_ANIMATION_NEXT_FRAME);  // wraps to entry 0
  session.Command(IDM_EDIT_PASTE);
  ASSERT_EQ(8, doc.frameCount);
  EXPECT_EQ(0, doc.currentFrame);
  EXPECT_EQ(Fields(pasted), Fields(*doc.frames[0]));
  EXPECT_TRUE(session.shown().empty()) << "expected no message, got " << session.shown().front().text;

  // Into a new document the frame keeps its place, and the screen reaches it.
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  session.Command(IDM_EDIT_PASTE);
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(70, doc.frames[0]->left);
  EXPECT_EQ(100, doc.screenWidth) << "expected the screen to reach the frame's right edge, 70 + 30";
  EXPECT_EQ(20, doc.screenHeight);
}

TEST(ClipboardTest, CommentEntriesTravelAsPlainText) {
  EditorSession session(DataFile("comments-between-frames.gif"));
  ASSERT_EQ(5, doc.frameCount);
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_EDIT_COPY);  // the image frame: the own-frame state is set
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  ASSERT_EQ(2, doc.currentFrame);
  session.Command(IDM_EDIT_COPY);
  const Bytes text = ClipboardBytes(CF_TEXT);
  ASSERT_FALSE(text.empty()) << "expected the comment readable as ordinary text";
  EXPECT_STREQ("second", reinterpret_cast<const char*>(text.data()));
  EXPECT_TRUE(ClipboardBytes(CF_DIB).empty()) << "expected the copied picture replaced";
  EXPECT_EQ(1, clipboardHoldsOwnFrame) << "expected a comment copy to leave the own-frame state alone";

  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(6, doc.frameCount);
  EXPECT_TRUE(IsComment(*doc.frames[5])) << "expected a comment entry";
  EXPECT_EQ("second", CommentText(5));
  EXPECT_EQ("frame   6  // Comment", session.FramesListTexts().back());

  // Cut of a comment: on the clipboard, and gone from the list.
  session.Command(IDM_ANIMATION_NEXT_FRAME);  // wraps to entry 0, "first"
  session.Command(IDM_EDIT_CUT);
  EXPECT_EQ(5, doc.frameCount);
  EXPECT_STREQ("first", reinterpret_cast<const char*>(ClipboardBytes(CF_TEXT).data()));
  EXPECT_EQ("second", CommentText(4)) << "expected the other entries kept";
}

TEST(ClipboardTest, EmptyCommentCopiesAsEmptyText) {
  EditorSession session(DataFile("comment-empty.gif"));
  ASSERT_TRUE(IsComment(*doc.frames[0]));
  session.Command(IDM_EDIT_COPY);
  const Bytes text = ClipboardBytes(CF_TEXT);
  ASSERT_FALSE(text.empty()) << "expected a text block";
  EXPECT_EQ(0, text[0]) << "expected the text to end at once";
  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(3, doc.frameCount);
  EXPECT_TRUE(IsComment(*doc.frames[2]));
  EXPECT_EQ(0, doc.frames[2]->left) << "expected an empty comment";
}

TEST(ClipboardTest, TrueColorPicturesFromAnotherProgramBecomeFramesWithImportDefaults) {
  const std::vector<Rgb> pixels = {{255, 0, 0}, {0, 128, 0}, {0, 0, 255},
                                   {10, 20, 30}, {200, 100, 50}, {255, 255, 255}};
  OtherWindow other;
  for (TrueColorKind kind : {TrueColorKind::k24, TrueColorKind::k32, TrueColorKind::k32BitFields}) {
    SCOPED_TRACE(kind == TrueColorKind::k24 ? "24 bits" : kind == TrueColorKind::k32 ? "32 bits" : "32-bit fields");
    EditorSession session;
    other.Put({{CF_DIB, TrueColorDib(kind, 3, 2, pixels)}});
    session.Pump();
    ASSERT_TRUE(PasteOffered(session)) << "expected Paste offered for a picture";
    session.Command(IDM_EDIT_PASTE);
    ASSERT_EQ(1, doc.frameCount) << "expected the picture pasted into the empty document";
    const Frame& frame = *doc.frames[0];
    ASSERT_EQ("at 0,0 3x2 colours 256 delay 0 disposal 0 transparent 0/0 sort 0 interlaced 0 global 0", Fields(frame));
    const Bytes rows = FrameRows(frame);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_TRUE(pixels[y * 3 + x] == ShownColor(frame, rows, x, y)) << "pixel " << x << "," << y;
    EXPECT_EQ(3, doc.screenWidth) << "expected the logical screen set by the picture";
    EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS));
    EXPECT_FALSE(session.AnimationMenuEnabled()) << "expected no animation of one frame";
    EXPECT_TRUE(session.shown().empty()) << "expected no message, got " << session.shown().front().text;
    EXPECT_EQ("", LeftoverTempFiles(session)) << "expected the paste file removed";
  }
}

TEST(ClipboardTest, AnotherOwnerForgetsTheCopiedFrameAndAPictureIsPreferredOverText) {
  EditorSession session(DataFile("frame-offsets.gif"));
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_EDIT_COPY);
  ASSERT_EQ(1, clipboardHoldsOwnFrame);
  const Bytes dib = ClipboardBytes(CF_DIB);
  ASSERT_FALSE(dib.empty());

  // Windows names no owner in the change notice; ours must survive it.
  SendMessageA(session.main(), WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_EQ(1, clipboardHoldsOwnFrame) << "expected the copied frame remembered while the editor owns the clipboard";

  // The very same picture, now offered by someone else, with a text too.
  OtherWindow other;
  other.Put({{CF_TEXT, Bytes{'h', 'i', 0}}, {CF_DIB, dib}});
  session.Pump();
  EXPECT_EQ(0, clipboardHoldsOwnFrame) << "expected the copied frame forgotten once another window owns the clipboard";
  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(7, doc.frameCount);
  EXPECT_FALSE(IsComment(*doc.frames[6])) << "expected the picture taken before the text";
  EXPECT_EQ("at 0,0 30x20 colours 256 delay 0 disposal 0 transparent 0/0 sort 0 interlaced 0 global 0",
            Fields(*doc.frames[6]))
      << "expected the import's defaults, not the copied frame's fields";
}

TEST(ClipboardTest, TextFromAnotherProgramBecomesACommentCutAtItsEndOr5000Bytes) {
  EditorSession session;
  OtherWindow other;
  other.PutText("hello");
  session.Pump();
  session.Command(IDM_EDIT_PASTE);
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ("hello", CommentText(0));
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected Save as for a document of one comment";

  other.Put({{CF_TEXT, Bytes{'a', 'b', 0, 'c', 'd', 0}}});
  session.Command(IDM_EDIT_PASTE_AT_END);
  EXPECT_EQ("ab", CommentText(1)) << "expected the text to end at its first NUL";
  EXPECT_TRUE(session.AnimationMenuEnabled());

  // No NUL at all: the first 5000 bytes, nothing read beyond the block.
  other.Put({{CF_TEXT, Bytes(6000, 'x')}});
  session.Command(IDM_EDIT_PASTE_AT_END);
  ASSERT_EQ(3, doc.frameCount);
  EXPECT_EQ(5000, doc.frames[2]->left);
  EXPECT_EQ(std::string(5000, 'x'), CommentText(2));
  EXPECT_EQ("hello", CommentText(0)) << "expected earlier comments kept in the swap file";
}

TEST(ClipboardTest, RefusedPictureLeavesTheDocumentAsItWasAndSaysSoOnce) {
  // 8 bits a pixel claimed, 7 given: no import can take it.
  Bytes bad = TrueColorDib(TrueColorKind::k24, 2, 2, std::vector<Rgb>(4, Rgb{1, 2, 3}));
  bad[14] = 7;
  OtherWindow other;
  {
    EditorSession session(DataFile("frame-offsets.gif"));
    session.Command(IDM_ANIMATION_NEXT_FRAME);
    const std::vector<std::string> listBefore = session.FramesListTexts();
    const uint16_t screenBefore = doc.screenWidth;
    other.Put({{CF_DIB, bad}});
    session.Command(IDM_EDIT_PASTE);
    EXPECT_EQ(6, doc.frameCount) << "expected no entry lost or added";
    EXPECT_EQ(1, doc.currentFrame);
    EXPECT_EQ(listBefore, session.FramesListTexts());
    EXPECT_EQ(screenBefore, doc.screenWidth);
    EXPECT_EQ(1, TimesShown(session, kReadError)) << "expected \"Error in reading file\" once";
    EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected Save as still offered";
    EXPECT_TRUE(session.AnimationMenuEnabled()) << "expected the Animation menu still offered";
    EXPECT_TRUE(session.MenuEnabled(IDM_EDIT_COPY));
    EXPECT_EQ("", LeftoverTempFiles(session)) << "expected the paste file removed";

    session.Command(IDM_EDIT_PASTE_AT_END);
    EXPECT_EQ(6, doc.frameCount);
    EXPECT_EQ(2, TimesShown(session, kReadError));
  }
  {
    EditorSession session;
    other.Put({{CF_DIB, bad}});
    session.Command(IDM_EDIT_PASTE);
    EXPECT_EQ(0, doc.frameCount);
    EXPECT_EQ(1, TimesShown(session, kReadError));
    EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected nothing to save";
    EXPECT_FALSE(session.AnimationMenuEnabled());
    EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_COPY));
    EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
  }
}

TEST(ClipboardTest, ClipboardHeldByAnotherProgramFailsThePasteOnceAndChangesNothing) {
  EditorSession session(DataFile("muybridge.gif"));
  const int16_t entries = doc.frameCount;
  OtherWindow other;
  other.Put({{CF_DIB, TrueColorDib(TrueColorKind::k24, 1, 1, {Rgb{9, 9, 9}})}});
  {
    ClipboardHeldElsewhere busy;
    ASSERT_TRUE(busy.held());
    session.Command(IDM_EDIT_PASTE);
    EXPECT_EQ(entries, doc.frameCount);
    EXPECT_EQ(1, TimesShown(session, kReadError));
    EXPECT_EQ("", LeftoverTempFiles(session)) << "expected the paste file removed";
    // Copy cannot reach the clipboard either, and reports it.
    EXPECT_FALSE(CopyFrameToClipboard(0));
  }
  session.Command(IDM_EDIT_PASTE);
  EXPECT_EQ(entries + 1, doc.frameCount) << "expected the paste to work once the clipboard is free";
}

// Cut deletes the entry even when nothing reached the clipboard, and the
// entry is lost: enable once Cut looks at what CopyFrameToClipboard returns.
TEST(ClipboardTest, CutKeepsTheEntryWhenTheClipboardIsHeldElsewhere) {
  EditorSession session(DataFile("muybridge.gif"));
  const int16_t entries = doc.frameCount;
  ClipboardHeldElsewhere busy;
  ASSERT_TRUE(busy.held());
  session.Command(IDM_EDIT_CUT);
  EXPECT_EQ(entries, doc.frameCount) << "expected the entry kept when it could not be copied";
}

TEST(ClipboardTest, ClipboardIsClosedAfterPastesThatFindNothingToAdd) {
  OtherWindow other;
  {
    EditorSession session;
    other.Empty();
    session.Command(IDM_EDIT_PASTE);  // sent while greyed, as a program could
    EXPECT_EQ(0, doc.frameCount);
    EXPECT_EQ(nullptr, GetOpenClipboardWindow()) << "expected the clipboard closed after a paste of nothing";
  }
  {
    EditorSession session(DataFile("frames-180.gif"));
    ASSERT_EQ(180, doc.frameCount);
    other.PutText("one too many");
    session.Command(IDM_EDIT_PASTE_AT_END);
    EXPECT_EQ(180, doc.frameCount);
    EXPECT_EQ(nullptr, GetOpenClipboardWindow()) << "expected the clipboard closed after a paste into a full list";
  }
}

TEST(ClipboardTest, PasteFollowsWhatTheClipboardOffers) {
  OtherWindow other;
  other.PutText("there before the editor");
  EditorSession session;
  EXPECT_TRUE(PasteOffered(session)) << "expected Paste offered from the start";
  other.Empty();
  session.Pump();
  EXPECT_FALSE(PasteOffered(session)) << "expected Paste greyed on an empty clipboard";
  other.Put({{CF_DIB, TrueColorDib(TrueColorKind::k24, 1, 1, {Rgb{1, 2, 3}})}});
  session.Pump();
  EXPECT_TRUE(PasteOffered(session)) << "expected Paste offered for a picture";
  other.Put({{CF_WAVE, Bytes{1, 2, 3}}});
  session.Pump();
  EXPECT_FALSE(PasteOffered(session)) << "expected Paste greyed for a format it cannot take";
}

TEST(ClipboardTest, ViewerChainSurvivesTheRemovalOfTheNextViewer) {
  OtherWindow first;                          // last in the chain
  auto second = std::make_unique<OtherWindow>();  // right after the main window
  OtherWindow owner;                          // changes the clipboard
  first.JoinChain();
  second->JoinChain();
  EditorSession session;
  ASSERT_EQ(second->handle(), nextClipboardViewer);

  second.reset();  // leaves the chain, then its window goes
  EXPECT_EQ(first.handle(), nextClipboardViewer) << "expected the main window to link past the leaving viewer";
  const int seen = first.changesSeen();
  owner.PutText("change");
  session.Pump();
  EXPECT_EQ(seen + 1, first.changesSeen()) << "expected the change passed on to the rest of the chain";
  EXPECT_TRUE(PasteOffered(session));

  // A viewer further down leaving is passed on, not taken for ours.
  first.LeaveChain();
  EXPECT_EQ(nullptr, nextClipboardViewer);
  owner.Empty();
  session.Pump();
  EXPECT_FALSE(PasteOffered(session)) << "expected the main window still notified";
}

TEST(ClipboardTest, ClosingTheEditorTakesBackOnlyItsOwnData) {
  {
    EditorSession session(DataFile("frame-offsets.gif"));
    session.Command(IDM_EDIT_COPY);
    ASSERT_FALSE(ClipboardBytes(CF_DIB).empty());
  }
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB)) << "expected the editor's picture gone with it";
  OtherWindow other;
  {
    EditorSession session(DataFile("frame-offsets.gif"));
    session.Command(IDM_EDIT_COPY);
    other.PutText("someone else's");
    session.Pump();
  }
  const Bytes text = ClipboardBytes(CF_TEXT);
  ASSERT_FALSE(text.empty()) << "expected another program's text left on the clipboard";
  EXPECT_STREQ("someone else's", reinterpret_cast<const char*>(text.data()));
}
