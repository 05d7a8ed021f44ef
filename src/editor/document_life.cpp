// The document's life as the user sees it: New, Open, Insert, Add, recent
// and dropped files, Save and Save as, the save prompt and the command it
// resumes, the modified flag and the caption.
//
// Saving is deferred to the message loop so that the screen is repainted
// before the long write starts:
//   Save:    saveState 0 -> kSaveDue -> (loop saves) 0
//   Save as: saveState 0 -> kSaveAsChosen, then the main window's and the
//            image view's paints OR in their bits in either order -> kSaveDue
//            -> (loop saves) 0
// pendingAfterSave is set only by a Yes to the prompt; a successful save
// resumes it, a failed save or a cancelled Save-as dialog abandons it.
#include "editor/document_life.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "editing/history.h"
#include "formats/gif_writer.h"
#include "formats/load_file.h"
#include "platform/utf8_path.h"
#include "resource_ids.h"
#include "editor/file_dialogs.h"
#include "editor/image_view.h"
#include "editor/menu_state.h"
#include "editor/settings_store.h"
#include "editor/shell_state.h"
#include "editor/status_bar.h"
#include "editor/toolbar.h"
#include "editor/undo_commands.h"

uint8_t saveState = kSaveIdle;
uint8_t pendingAfterSave = kResumeNothing;
char pendingRecentFile[256] = "";

namespace {

constexpr char kUntitled[] = "untitled";
// What the deferred save writes to: the Save-as choice, or a copy of
// fileName for Save.
std::string saveTarget;
// The Open dialog's filter chosen last, for this run only.
DWORD openFilterIndex = 1;

bool IsUntitled() { return strcmp(doc.fileName, kUntitled) == 0; }

void CopyText(char* target, size_t capacity, const char* text) { snprintf(target, capacity, "%s", text); }

void SetFileName(const char* path) {
  CopyText(doc.fileName, sizeof doc.fileName, path);
  const char* backslash = strrchr(doc.fileName, '\\');
  doc.fileNameOffset = static_cast<uint16_t>(backslash != nullptr ? backslash - doc.fileName + 1 : 0);
}

bool EndsWithIgnoringCase(const char* text, const char* ending) {
  const size_t length = strlen(text);
  const size_t endingLength = strlen(ending);
  return length >= endingLength && _stricmp(text + length - endingLength, ending) == 0;
}

// Only a GIF can be saved back under its own name; a picture imported from a
// BMP or JPEG file leaves the document "untitled".
bool IsGifName(const char* path) { return EndsWithIgnoringCase(path, ".gif"); }

bool IsPictureName(const char* path) {
  return IsGifName(path) || EndsWithIgnoringCase(path, ".bmp") || EndsWithIgnoringCase(path, ".jpg") ||
         EndsWithIgnoringCase(path, ".jpeg");
}

// The folder a dialog chose, kept for the next one as the settings keep it.
void KeepFolder(char* folder, size_t capacity, const FileDialog& dialog) {
  snprintf(folder, capacity, "%s", dialog.chosenFolder.c_str());
}

// Empties the frame list as opening a file in place of the document does.
void EmptyForReplace() {
  DeleteAllFramePalettes();
  doc.screenWidth = 0;
  doc.screenHeight = 0;
  doc.currentFrame = 0;
  previousFrame = -1;
  while (DeleteFrame(0)) {
  }
  RewindSwapFile();
  doc.hasGlobalPalette = 0;
  doc.loopCount = kLoopForever;  // a GIF read in sets its own; a picture loops for ever
}

// A reader that adds nothing, or stops half way, may leave the index past
// the end of the list.
void KeepCurrentFrameInList() {
  if (doc.currentFrame >= doc.frameCount) doc.currentFrame = static_cast<int16_t>(doc.frameCount - 1);
  if (doc.currentFrame < 0) doc.currentFrame = 0;
}

// The message loop saves after the message it is dispatching. A command
// sent from outside the loop (another program, a test) is not one of its
// messages: a message of our own makes sure the loop wakes up for the save.
void SaveFromTheLoop() {
  saveState = kSaveDue;
  if (mainWindow != nullptr) PostMessageA(mainWindow, WM_NULL, 0, 0);
}

void ResumeAfterSave(uint8_t code) {
  switch (code) {
    case kResumeClose:
      SendMessageA(mainWindow, WM_CLOSE, 0, 0);
      break;
    case kResumeNew:
      SendMessageA(mainWindow, WM_COMMAND, IDM_FILE_NEW, 0);
      break;
    case kResumeOpen:
      SendMessageA(mainWindow, WM_COMMAND, IDM_FILE_OPEN, 0);
      break;
    case kResumeRecentFile:
      SendMessageA(mainWindow, WM_COMMAND, IDM_FILE_RECENT_LAST + 1, 0);
      break;
  }
}

}  // namespace

void SetModified(bool modified) {
  doc.modified = modified ? 1 : 0;
  const bool saveable = modified && !IsUntitled();
  EnableMenuCommand(IDM_FILE_SAVE, saveable);
  if (toolbar != nullptr) EnableToolbarButton(kToolSave - 1, saveable);
}

void UpdateTitle() {
  if (mainWindow != nullptr) {
    const size_t offset = doc.fileNameOffset <= strlen(doc.fileName) ? doc.fileNameOffset : 0;
    char title[sizeof doc.fileName + 32];
    snprintf(title, sizeof title, "Frambo - %s %s", doc.fileName + offset, zoomText);
    // Straight to the wide default procedure: the window's own, an ANSI one,
    // would pass the text through the code page.
    DefWindowProcW(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf16(title).c_str()));
  }
  if (!busy) UpdateCutCopyEnabled();
}

// IDYES, IDNO or IDCANCEL; IDNO when there is nothing to save.
int AskToSaveChanges() {
  if (!doc.modified || doc.frameCount == 0) return IDNO;
  return MessageBoxA(mainWindow, "Do you want to save the changes?", kProgramTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
}

bool ConfirmSaveChanges(ResumeCode code) {
  const int answer = AskToSaveChanges();
  if (answer == IDNO) return true;
  if (answer == IDYES) {
    pendingAfterSave = code;
    SendMessageA(mainWindow, WM_COMMAND, IsUntitled() ? IDM_FILE_SAVE_AS : IDM_FILE_SAVE, 0);
  }
  return false;
}

bool ConfirmEndOfSession() {
  const int answer = AskToSaveChanges();
  if (answer != IDYES) return answer == IDNO;
  // The session may end as soon as this returns: the save the request leaves
  // due cannot wait for the message loop.
  pendingAfterSave = kResumeNothing;
  RequestSave();
  if (saveState == kSaveIdle) return false;  // the Save-as dialog was cancelled
  RunDeferredSave();
  // A failed save has said so; the changes would be lost with the session.
  return !doc.modified;
}

void NewDocument() {
  SetFileName(kUntitled);
  SetAnimationEnabled(false);
  SetSaveAsEnabled(false);
  DeleteAllFramePalettes();
  doc.currentFrame = 0;
  previousFrame = -1;
  while (DeleteFrame(0)) {
  }
  doc.screenWidth = 0;
  doc.screenHeight = 0;
  doc.hasGlobalPalette = 0;
  doc.loopCount = kLoopForever;
  FillFramesList();
  RefreshFrameView(RefreshMode::kFull);
  if (mainWindow != nullptr) InvalidateRect(mainWindow, &viewArea, TRUE);
}

int16_t LoadFileByExtension(const char* path, int index) {
  CommitPendingChange();
  SetWaitCursor(true);
  const bool ok = ReadFileByExtension(path, index);
  SetWaitCursor(false);
  scrollX = 0;
  scrollY = 0;
  UpdateScrollRanges();
  busy = 0;
  EndProgress();
  return ok ? 1 : 0;
}

void FollowFrameList() {
  KeepCurrentFrameInList();
  SetAnimationEnabled(doc.frameCount > 1);
  SetSaveAsEnabled(doc.frameCount > 0);
  UpdateTitle();
  ResetRetainedPicture();
}

bool OpenDocumentFile(const char* path, int index, bool replace) {
  SetAnimationEnabled(false);
  SetSaveAsEnabled(false);
  if (replace) EmptyForReplace();
  // A name longer than fileName holds could not be saved back: refused as
  // a file that cannot be read.
  const bool fits = strlen(path) < sizeof doc.fileName;
  if (!fits) ShowReadError();
  const bool ok = fits && LoadFileByExtension(path, index) != 0;
  if (ok) {
    if (replace) SetFileName(IsGifName(path) ? path : kUntitled);
    doc.currentFrame = static_cast<int16_t>(index);
    KeepCurrentFrameInList();
    if (doc.frameCount > 1) SetAnimationEnabled(true);
    if (doc.frameCount > 0) SetSaveAsEnabled(true);
    UpdateTitle();
    if (replace && path[0] != '\0') AddRecentFile(path);
    ResetRetainedPicture();
  } else if (replace) {
    // The reader has told the user already.
    SetFileName(kUntitled);
    doc.currentFrame = 0;
    previousFrame = -1;
    while (DeleteFrame(0)) {
    }
    SetAnimationEnabled(false);
    SetSaveAsEnabled(false);
    UpdateTitle();
    ResetRetainedPicture();
  } else {
    // A refused Insert or Add keeps the frames there were (and whatever the
    // reader added before it stopped): the menus follow what remains.
    FollowFrameList();
  }
  FillFramesList();
  RefreshFrameView(RefreshMode::kFull);
  if (replace) RestartHistory();
  return ok;
}

bool ShowOpenDialog(int index, bool replace) {
  StopPlayback();
  FileDialog dialog;
  dialog.filter = IDS_FILTER_OPEN;
  dialog.filterIndex = openFilterIndex;
  dialog.folder = openDir[0] != '\0' ? openDir : nullptr;
  dialog.flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!ChooseFileToOpen(&dialog)) return false;
  openFilterIndex = dialog.filterIndex;
  OpenDocumentFile(dialog.path.c_str(), index, replace);
  KeepFolder(openDir, sizeof openDir, dialog);
  return true;
}

void OpenRecentFile(int k) {
  StopPlayback();
  const char* path = RecentFile(k);
  if (path == nullptr || path[0] == '\0') return;
  CopyText(pendingRecentFile, sizeof pendingRecentFile, path);
  if (ConfirmSaveChanges(kResumeRecentFile)) OpenPendingRecentFile();
}

void OpenPendingRecentFile() {
  OpenDocumentFile(pendingRecentFile, 0, true);
  SetModified(false);
}

void RequestSave() {
  StopPlayback();
  // Writing a file called "untitled" is never what the user meant.
  if (IsUntitled()) {
    ShowSaveAsDialog();
    return;
  }
  saveTarget = doc.fileName;
  SaveFromTheLoop();
}

void ShowSaveAsDialog() {
  StopPlayback();
  FileDialog dialog;
  dialog.filter = IDS_FILTER_SAVE_GIF;
  dialog.filterIndex = settings.interlacedSave ? 2 : 1;
  dialog.folder = saveDir[0] != '\0' ? saveDir : nullptr;
  dialog.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  dialog.defaultExtension = L"GIF";
  if (!ChooseFileToSave(&dialog)) {
    pendingAfterSave = kResumeNothing;
    return;
  }
  settings.interlacedSave = dialog.filterIndex == 2 ? 1 : 0;
  saveTarget = dialog.path;
  saveState = kSaveAsChosen;
  RefreshFrameView(RefreshMode::kFull);
  KeepFolder(saveDir, sizeof saveDir, dialog);
  // Both paints must come for the save to run: ask for them, and where no
  // paint can come (a minimised window, or one too small to show the view)
  // save without waiting.
  RECT view = {};
  if (imageView != nullptr) GetClientRect(imageView, &view);
  if (mainWindow == nullptr || imageView == nullptr || IsIconic(mainWindow) || IsRectEmpty(&view) ||
      IsRectEmpty(&viewArea)) {
    SaveFromTheLoop();
    return;
  }
  InvalidateRect(mainWindow, &viewArea, FALSE);
  InvalidateRect(imageView, nullptr, FALSE);
}

void RunDeferredSave() {
  saveState = kSaveIdle;
  SetWaitCursor(true);
  const bool ok = WriteGif(saveTarget.c_str());
  // The credit comment and the global palette the save put in are a step.
  RecordCommandStep(IDM_FILE_SAVE);
  if (ok) {
    MarkStateSaved();
    AddRecentFile(saveTarget.c_str());
    SetModified(false);
    UpdateScrollRanges();
    doc.currentFrame = 0;
    previousFrame = -1;
  }
  SetWaitCursor(false);
  RefreshFrameView(RefreshMode::kFull);
  busy = 0;
  if (imageView != nullptr) InvalidateRect(imageView, nullptr, TRUE);
  EndProgress();
  UpdateTitle();
  const uint8_t resume = pendingAfterSave;
  pendingAfterSave = kResumeNothing;
  if (ok) {
    ResumeAfterSave(resume);
  } else {
    // The document stays modified under its old name; the command that
    // asked for the save is abandoned.
    ShowMessage("Error in writing file");
  }
}

void OpenDroppedFiles(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  const UINT length = count > 0 ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
  std::wstring wide(length + 1, L'\0');
  if (length > 0) DragQueryFileW(drop, 0, &wide[0], length + 1);
  DragFinish(drop);
  if (length == 0) return;
  const std::string path = Utf8(wide.c_str());
  if (path.size() >= sizeof pendingRecentFile || !IsPictureName(path.c_str())) {
    ShowReadError();
    return;
  }
  StopPlayback();
  // Resumed after a Yes to the prompt as a recent file is.
  CopyText(pendingRecentFile, sizeof pendingRecentFile, path.c_str());
  if (ConfirmSaveChanges(kResumeRecentFile)) OpenPendingRecentFile();
}
