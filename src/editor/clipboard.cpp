// Frames through the system clipboard in the two standard formats only: an
// image frame as a packed device-independent bitmap (CF_DIB), a comment entry
// as plain text (CF_TEXT). A pasted bitmap goes through a temporary .TMP file
// and the BMP import, so that a picture from any program becomes a frame; a
// picture this program copied also gets back the copied frame's position,
// timing, transparency and palette choice.
//
// The main window stays in the clipboard viewer chain for the whole run, so
// that Paste is enabled exactly while the clipboard offers something to paste.
#include "editor/clipboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/history.h"
#include "editor/document_life.h"
#include "editor/menu_state.h"
#include "editor/shell_state.h"
#include "platform/file_calls.h"
#include "platform/temp_file.h"
#include "platform/utf8_path.h"

HGLOBAL clipboardBlock = nullptr;
uint8_t clipboardHoldsOwnFrame = 0;
CopiedFrameProperties copiedFrameProperties;
HWND nextClipboardViewer = nullptr;
char pasteFileName[256] = "";

namespace {

constexpr size_t kColorTableBytes = 256 * sizeof(PaletteEntry);
constexpr size_t kDibPixelOffset = sizeof(BITMAPINFOHEADER) + kColorTableBytes;  // 1064
constexpr LONG kPixelsPerMetre = 100;
constexpr size_t kFileHeaderBytes = 14;
// A pasted text becomes at most this long a comment.
constexpr size_t kMaxPastedText = 5000;

// The clipboard, open for a window until this goes out of scope: an open
// clipboard blocks every other program.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND window) : open_(OpenClipboard(window) != 0) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool ok() const { return open_; }

 private:
  bool open_;
};

// A global memory block locked until this goes out of scope.
class LockedBlock {
 public:
  explicit LockedBlock(HANDLE block)
      : block_(block), data_(block != nullptr ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr) {}
  ~LockedBlock() {
    if (data_ != nullptr) GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  uint8_t* data() const { return data_; }
  // What the block holds; 0 when it could not be locked.
  size_t size() const { return data_ != nullptr ? GlobalSize(block_) : 0; }

 private:
  HANDLE block_;
  uint8_t* data_;
};

// Hands block to the clipboard, which owns it from then on; a block the
// clipboard refuses is ours to free.
bool HandToClipboard(UINT format, HGLOBAL block) {
  if (SetClipboardData(format, block) == nullptr) {
    GlobalFree(block);
    return false;
  }
  clipboardBlock = block;
  return true;
}

void WriteDibHeader(uint8_t* target, const Frame& frame) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = frame.width;
  header.biHeight = frame.height;  // positive: the rows are stored bottom-up
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biXPelsPerMeter = kPixelsPerMetre;
  header.biYPelsPerMeter = kPixelsPerMetre;
  memcpy(target, &header, sizeof header);
  PaletteEntry* table = reinterpret_cast<PaletteEntry*>(target + sizeof header);
  for (int i = 0; i < 256; ++i) {
    table[i] = frame.palette[i];
    table[i].reserved = 0;
  }
}

bool PutBitmap(const Frame& frame) {
  const uint32_t stride = static_cast<uint32_t>(RowStride(std::max<int32_t>(frame.width, 0)));
  const uint32_t pixelBytes = stride * static_cast<uint32_t>(std::max<int32_t>(frame.height, 0));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kDibPixelOffset + pixelBytes);
  if (block == nullptr) return false;
  {
    LockedBlock locked(block);
    if (locked.data() == nullptr) {
      GlobalFree(block);
      return false;
    }
    WriteDibHeader(locked.data(), frame);
    doc.swapFile.ReadBlockAt(frame.dataOffset, locked.data() + kDibPixelOffset, pixelBytes);
  }
  return HandToClipboard(CF_DIB, block);
}

// The comment's bytes and a terminating NUL (the block is zeroed).
bool PutComment(const Frame& entry) {
  const int32_t length = std::max<int32_t>(entry.left, 0);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<size_t>(length) + 1);
  if (block == nullptr) return false;
  {
    LockedBlock locked(block);
    if (locked.data() == nullptr) {
      GlobalFree(block);
      return false;
    }
    if (length > 0) doc.swapFile.ReadAt(entry.dataOffset, locked.data(), length);
  }
  return HandToClipboard(CF_TEXT, block);
}

void KeepCopiedProperties(const Frame& frame) {
  CopiedFrameProperties& kept = copiedFrameProperties;
  kept.left = frame.left;
  kept.top = frame.top;
  kept.colorCount = frame.colorCount;
  kept.sortFlag = frame.sortFlag;
  kept.interlaced = frame.interlaced;
  kept.disposal = frame.disposal;
  kept.transparent = frame.transparent;
  kept.transparentIndex = frame.transparentIndex;
  kept.delay = frame.delay;
  kept.useGlobalPalette = frame.useGlobalPalette;
}

void GiveBackCopiedProperties(Frame& frame) {
  const CopiedFrameProperties& kept = copiedFrameProperties;
  frame.left = kept.left;
  frame.top = kept.top;
  frame.colorCount = kept.colorCount;
  frame.sortFlag = kept.sortFlag;
  frame.interlaced = kept.interlaced;
  frame.disposal = kept.disposal;
  frame.transparent = kept.transparent;
  frame.transparentIndex = kept.transparentIndex;
  frame.delay = kept.delay;
  frame.useGlobalPalette = kept.useGlobalPalette;
}

// The logical screen reaches as far as the frame now placed on it.
void CoverFrameWithScreen(const Frame& frame) {
  const int32_t right = std::min<int32_t>(frame.left + frame.width, 0xFFFF);
  const int32_t bottom = std::min<int32_t>(frame.top + frame.height, 0xFFFF);
  if (right > doc.screenWidth) doc.screenWidth = static_cast<uint16_t>(right);
  if (bottom > doc.screenHeight) doc.screenHeight = static_cast<uint16_t>(bottom);
}

// What pasting into an empty document resets, kept so that a paste that
// adds nothing can put it back.
struct DocumentStart {
  uint16_t screenWidth;
  uint16_t screenHeight;
  int16_t currentFrame;
  int16_t previousFrame;
  uint32_t swapEnd;
};

DocumentStart KeepDocumentStart() {
  return DocumentStart{doc.screenWidth, doc.screenHeight, doc.currentFrame, previousFrame, doc.swapEnd};
}

void RestoreDocumentStart(const DocumentStart& start) {
  doc.screenWidth = start.screenWidth;
  doc.screenHeight = start.screenHeight;
  doc.currentFrame = start.currentFrame;
  previousFrame = start.previousFrame;
  doc.swapEnd = start.swapEnd;
}

// A paste into an empty document starts a fresh swap file and a fresh
// logical screen, which the pasted entry then sets.
void StartFreshDocument() {
  DeleteAllFramePalettes();
  doc.screenWidth = 0;
  doc.screenHeight = 0;
  doc.currentFrame = 0;
  previousFrame = -1;
  // Steps of the undo history may still refer to the old blocks.
  if (!HistoryKeepsOldBlocks()) RewindSwapFile();
  UpdateCutCopyEnabled();
}

// The clipboard's bitmap after a file header of "BM" and zeros: the import
// finds the rows from the information header, never from the file header.
// False when the clipboard could not be opened, held no bitmap, or the file
// could not be written in full.
bool CopyClipboardBitmap(int file) {
  OpenedClipboard clipboard(mainWindow);
  if (!clipboard.ok()) return false;
  LockedBlock bitmap(GetClipboardData(CF_DIB));
  const size_t size = bitmap.size();
  if (size == 0 || size > static_cast<size_t>(INT32_MAX)) return false;
  return FileWrite(file, bitmap.data(), static_cast<uint32_t>(size)) == static_cast<int32_t>(size);
}

bool WritePasteFile(const char* path) {
  const int file = FileCreate(path);
  if (file < 0) return false;
  static const uint8_t header[kFileHeaderBytes] = {'B', 'M'};
  bool written = FileWrite(file, header, kFileHeaderBytes) == static_cast<int32_t>(kFileHeaderBytes) &&
                 CopyClipboardBitmap(file);
  written = FileClose(file) && written;
  return written;
}

// The clipboard's bitmap as a new image frame at index. A half-written file
// would import as a frame with rows missing: a bitmap that cannot be had
// whole is refused instead. Every refusal but a full frame list has been
// shown to the user once.
bool PasteBitmap(int index) {
  bool pasted = false;
  if (!MakeTempFileName(pasteFileName, sizeof pasteFileName)) {
    pasteFileName[0] = '\0';
    ShowReadError();
  } else if (!WritePasteFile(pasteFileName)) {
    ShowReadError();
  } else {
    // The name ends in ".TMP": its last letter chooses the BMP import.
    pasted = LoadFileByExtension(pasteFileName, index) != 0;
  }
  RemovePasteFile();
  if (!pasted) return false;
  doc.currentFrame = static_cast<int16_t>(index);
  Frame& frame = *doc.frames[index];
  if (clipboardHoldsOwnFrame) {
    GiveBackCopiedProperties(frame);
    CoverFrameWithScreen(frame);
  }
  return true;
}

// The clipboard's text, up to its first NUL and at most kMaxPastedText
// bytes, as a new comment entry at index. The current entry stays the same.
bool PasteText(int index) {
  OpenedClipboard clipboard(mainWindow);
  if (!clipboard.ok()) return false;
  LockedBlock text(GetClipboardData(CF_TEXT));
  if (text.data() == nullptr) return false;
  const size_t scanned = std::min(text.size(), kMaxPastedText);
  const char* bytes = reinterpret_cast<const char*>(text.data());
  const uint32_t length = static_cast<uint32_t>(std::find(bytes, bytes + scanned, '\0') - bytes);
  if (doc.swapEnd + static_cast<uint64_t>(length) > kSwapLimit) return false;
  if (!InsertFrame(index)) return false;
  Frame& entry = *doc.frames[index];
  entry.left = static_cast<int16_t>(length);
  entry.disposal = kCommentDisposal;
  entry.dataOffset = doc.swapEnd;
  if (length > 0) doc.swapFile.WriteAt(doc.swapEnd, bytes, static_cast<int32_t>(length));
  doc.swapEnd += length;
  return true;
}

void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam) {
  // The message names no owner on Windows: ask who put the content there.
  if (GetClipboardOwner() != window) clipboardHoldsOwnFrame = 0;
  if (nextClipboardViewer != nullptr) SendMessageA(nextClipboardViewer, WM_DRAWCLIPBOARD, wParam, lParam);
  SetPasteEnabled(IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_TEXT));
}

void OnChangeClipboardChain(HWND leaving, HWND after) {
  if (leaving == nextClipboardViewer)
    nextClipboardViewer = after;
  else if (nextClipboardViewer != nullptr)
    SendMessageA(nextClipboardViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(leaving),
                 reinterpret_cast<LPARAM>(after));
}

}  // namespace

bool CopyFrameToClipboard(int index) {
  if (index < 0 || index >= doc.frameCount) return false;
  const Frame& frame = *doc.frames[index];
  OpenedClipboard clipboard(mainWindow);
  if (!clipboard.ok()) return false;
  EmptyClipboard();
  if (IsComment(frame)) return PutComment(frame);
  const bool put = PutBitmap(frame);
  KeepCopiedProperties(frame);
  // Set before the clipboard closes: the viewer message that follows the
  // close finds the main window as the owner and keeps it.
  clipboardHoldsOwnFrame = 1;
  return put;
}

bool PasteFromClipboard(int index) {
  index = std::clamp<int>(index, 0, doc.frameCount);
  SetAnimationEnabled(false);
  SetSaveAsEnabled(false);
  pasteFileName[0] = '\0';
  const DocumentStart start = KeepDocumentStart();
  if (doc.frameCount == 0) StartFreshDocument();
  // A bitmap is preferred when the clipboard offers both.
  const bool pasted = IsClipboardFormatAvailable(CF_DIB) ? PasteBitmap(index) : PasteText(index);
  if (pasted) {
    // The entries after index moved: the picture kept for composing the
    // next frame no longer belongs to the entry it names.
    ResetRetainedPicture();
  } else {
    // A refused paste leaves the document as it was.
    RestoreDocumentStart(start);
    UpdateCutCopyEnabled();
  }
  SetAnimationEnabled(doc.frameCount > 1);
  SetSaveAsEnabled(doc.frameCount > 0);
  UpdateTitle();
  FillFramesList();
  return pasted;
}

void JoinClipboardChain(HWND window) {
  // A main window built earlier in this process has left the chain and
  // given up its data.
  clipboardBlock = nullptr;
  clipboardHoldsOwnFrame = 0;
  nextClipboardViewer = nullptr;
  nextClipboardViewer = SetClipboardViewer(window);
  SetPasteEnabled(IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_TEXT));
}

void LeaveClipboardChain(HWND window) {
  ChangeClipboardChain(window, nextClipboardViewer);
  nextClipboardViewer = nullptr;
  // A frame copied last stays on the clipboard for other programs, as a
  // picture or a text: the system owns the block now, and the frame's own
  // properties go with this process.
  clipboardBlock = nullptr;
  clipboardHoldsOwnFrame = 0;
}

LRESULT OnClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWCLIPBOARD:
      OnDrawClipboard(window, wParam, lParam);
      return 0;
    case WM_CHANGECBCHAIN:
      OnChangeClipboardChain(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_DESTROYCLIPBOARD:
      // The system releases the block itself.
      clipboardBlock = nullptr;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RemovePasteFile() {
  if (pasteFileName[0] == '\0') return;
  RemoveFile(pasteFileName);
  pasteFileName[0] = '\0';
}
