// The main window's command dispatch: every menu command, the toolbar's
// commands (which arrive as ids 1 to 16 and are mapped to their menu
// commands) and the commands the program sends itself. Each command stops
// playback first when it changes the frame list, the palettes or the file.
#include "editor/commands.h"

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "editing/dirty_rectangles.h"
#include "editing/duplicate_frames.h"
#include "editing/frame_order.h"
#include "platform/utf8_path.h"
#include "resource_ids.h"
#include "editor/clipboard.h"
#include "editor/colour_menu.h"
#include "editor/delays_dialog.h"
#include "editor/document_life.h"
#include "editor/image_view.h"
#include "editor/loop_count_dialog.h"
#include "editor/menu_state.h"
#include "editor/playback.h"
#include "editor/settings_store.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"
#include "editor/undo_commands.h"
#include "render/view_geometry.h"

namespace {

constexpr wchar_t kGuideFileName[] = L"guide.html";
constexpr int kOpenPendingRecentFile = IDM_FILE_RECENT_LAST + 1;  // 904, sent by the deferred save

constexpr char kAboutText[] =
    "Frambo Version 1.1\n\n"
    "An editor for animated GIF files: arrange, time and crop the frames of an\n"
    "animation and work on their palettes and transparency.";

// The toolbar's command ids and the menu commands they stand for. The
// select tool (16) has no menu command of its own.
int MenuCommandOfTool(int command) {
  switch (command) {
    case kToolNew: return IDM_FILE_NEW;
    case kToolOpen: return IDM_FILE_OPEN;
    case kToolSave: return IDM_FILE_SAVE;
    case kToolSaveAs: return IDM_FILE_SAVE_AS;
    case kToolInsert: return IDM_FILE_INSERT_FRAMES;
    case kToolAdd: return IDM_FILE_ADD_FRAMES;
    case kToolCut: return IDM_EDIT_CUT;
    case kToolCopy: return IDM_EDIT_COPY;
    case kToolPaste: return IDM_EDIT_PASTE;
    case kToolZoomOut: return IDM_VIEW_ZOOM_OUT;
    case kToolZoomIn: return IDM_VIEW_ZOOM_IN;
    case kToolPlay: return IDM_ANIMATION_PLAY;
    case kToolStop: return IDM_ANIMATION_STOP;
    case kToolAdvance: return IDM_ANIMATION_NEXT_FRAME;
    case kToolFramesWindow: return IDM_VIEW_FRAMES_WINDOW;
    case kToolUndo: return IDM_EDIT_UNDO;
    case kToolRedo: return IDM_EDIT_REDO;
  }
  return command;
}

// The picture area of the main window and the image view over it.
void InvalidateViewArea(bool erase) {
  if (mainWindow != nullptr) InvalidateRect(mainWindow, &viewArea, erase ? TRUE : FALSE);
  if (imageView != nullptr) InvalidateRect(imageView, nullptr, erase ? TRUE : FALSE);
}

void Redraw() { RefreshFrameView(RefreshMode::kFull); }

void OnNew() {
  StopPlayback();
  if (!ConfirmSaveChanges(kResumeNew)) return;
  NewDocument();
  SetModified(false);
  RestartHistory();
}

void OnOpen() {
  if (!ConfirmSaveChanges(kResumeOpen)) return;
  // A cancelled dialog leaves the document, and whether it needs saving, as
  // they were.
  if (ShowOpenDialog(0, true)) SetModified(false);
}

// Insert, Add and the pastes on a full list: said, and nothing changes.
bool ListIsFull() {
  if (doc.frameCount < kMaxEntries) return false;
  ShowMessage("The animation cannot hold more frames.");
  return true;
}

// Insert and Add: marked modified even when the dialog was cancelled.
void OnInsertFrames(int index) {
  StopPlayback();
  if (ListIsFull()) return;
  ShowOpenDialog(index, false);
  SetModified(true);
}

void OnDeleteFrame() {
  StopPlayback();
  if (doc.frameCount > 0) DeleteFrame(doc.currentFrame);
  if (doc.frameCount > 0 && doc.currentFrame >= doc.frameCount)
    doc.currentFrame = static_cast<int16_t>(doc.frameCount - 1);
  UpdateTitle();
  FillFramesList();
  Redraw();
  SetModified(true);
}

void OnCut() {
  StopPlayback();
  if (doc.frameCount == 0) return;
  // An entry the clipboard did not take would be lost by the delete.
  if (CopyFrameToClipboard(doc.currentFrame)) SendMessageA(mainWindow, WM_COMMAND, IDM_FILE_DELETE_FRAME, 0);
}

void OnCopy() {
  StopPlayback();
  if (doc.frameCount != 0) CopyFrameToClipboard(doc.currentFrame);
}

void OnPaste() {
  StopPlayback();
  if (ListIsFull()) return;
  // A refused paste has said so and left the document as it was.
  if (!PasteFromClipboard(doc.currentFrame)) return;
  SetModified(true);
  Redraw();
}

void OnPasteAtEnd() {
  StopPlayback();
  if (ListIsFull()) return;
  if (!PasteFromClipboard(doc.frameCount)) return;
  doc.currentFrame = static_cast<int16_t>(doc.frameCount - 1);
  Redraw();
  SetModified(true);
}

void OnCropToSelection() {
  if (selectionState != kSelectionDone) return;
  // The crop holds the corners within the frame, cancels the selection and
  // marks the document when it cuts. A selection that leaves nothing to keep,
  // or a frame that cannot be had, ends here and changes nothing.
  CropFrameToSelection(selectionRect.startX, selectionRect.startY, selectionRect.endX, selectionRect.endY);
  EnableMenuCommand(IDM_EDIT_CROP_TO_SELECTION, false);
  if (selectionState == kSelectionDone) {
    CancelSelection();
    Redraw();
  }
}

// The copy comes after the current entry and becomes current.
void OnDuplicateFrame() {
  StopPlayback();
  if (doc.frameCount == 0 || ListIsFull() || !DuplicateFrame(doc.currentFrame)) return;
  ++doc.currentFrame;
  FillFramesList();
  Redraw();
  SetModified(true);
}

void OnToggleFramesWindow() {
  settings.showFramesWindow = settings.showFramesWindow ? 0 : 1;
  ApplyFramesWindowVisibility();
}

void OnZoom(int level, bool erase) {
  zoom = static_cast<int16_t>(level);
  UpdateZoomText();
  InvalidateViewArea(erase);
}

// Comment entries are not skipped here, and playback goes on from the new
// frame.
void OnNextFrame() {
  if (doc.frameCount == 0) return;
  previousFrame = doc.currentFrame;
  doc.currentFrame = static_cast<int16_t>(doc.currentFrame + 1 >= doc.frameCount ? 0 : doc.currentFrame + 1);
  Redraw();
}

// Back to the image frame before the current one, from the first to the
// last. The pictures Next frame would have drawn it over are drawn again,
// from the image frame after the last one whose disposal clears the screen.
void OnPreviousFrame() {
  int target = PreviousImageFrame(doc.currentFrame);
  if (target < 0) target = PreviousImageFrame(doc.frameCount);
  if (target < 0) return;
  int start = target;
  for (int before = PreviousImageFrame(start);
       before >= 0 && (doc.frames[before]->disposal & kRestoreToBackground) == 0; before = PreviousImageFrame(start))
    start = before;
  ResetRetainedPicture();
  previousFrame = -1;
  for (int i = start; i != target; i = NextImageFrame(i)) {
    doc.currentFrame = static_cast<int16_t>(i);
    RefreshFrameView(RefreshMode::kQuiet);
  }
  doc.currentFrame = static_cast<int16_t>(target);
  Redraw();
}

// Says how many frames went, or that memory ran out and nothing changed.
void OnRemoveDuplicates() {
  StopPlayback();
  SetWaitCursor(true);
  const int removed = RemoveDuplicateFrames();
  SetWaitCursor(false);
  if (removed < 0) {
    ShowMessage("Not enough memory to compare the frames.");
    return;
  }
  if (removed > 0) {
    FollowFrameList();
    FillFramesList();
    Redraw();
    SetModified(true);
  }
  char text[64];
  snprintf(text, sizeof text, "%d duplicate frame%s removed.", removed, removed == 1 ? "" : "s");
  ShowMessage(text);
}

// The user guide lies beside the program's file, wherever that was installed
// or built, and opens in the default browser. The path may name folders in
// any language, hence the wide calls.
void OnHelp() {
  std::vector<wchar_t> program(MAX_PATH);
  DWORD length = 0;
  // A path the buffer cannot hold comes back cut to its size.
  while ((length = GetModuleFileNameW(nullptr, program.data(), DWORD(program.size()))) == program.size() &&
         program.size() < 32768)
    program.resize(program.size() * 2);
  std::wstring guide(program.data(), length < program.size() ? length : 0);
  guide.erase(guide.find_last_of(L'\\') + 1);
  guide += kGuideFileName;
  const wchar_t* problem = nullptr;
  const DWORD attributes = GetFileAttributesW(guide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    problem = L"The user guide was not found: ";
  else if (reinterpret_cast<INT_PTR>(ShellExecuteW(mainWindow, L"open", guide.c_str(), nullptr, nullptr,
                                                   SW_SHOWNORMAL)) <= 32)
    problem = L"The user guide could not be opened: ";
  if (problem == nullptr) return;
  MessageBoxW(mainWindow, (problem + guide).c_str(), Utf16(kProgramTitle).c_str(), MB_OK);
}

void OnAbout() { MessageBoxA(mainWindow, kAboutText, kProgramTitle, MB_OK); }

void OnSelectTool() {
  EnableMenuCommand(IDM_EDIT_CROP_TO_SELECTION, false);
  ToggleSelectionTool();
}

}  // namespace

void MoveCurrentFrameTo(int index) {
  StopPlayback();
  if (index == doc.currentFrame || !MoveFrameTo(doc.currentFrame, index)) return;
  doc.currentFrame = static_cast<int16_t>(index);
  previousFrame = -1;
  ResetRetainedPicture();
  FillFramesList();
  Redraw();
  SetModified(true);
}

void ShowFirstImageFrame() {
  const int first = NextImageFrame(-1);
  if (first < 0) return;
  doc.currentFrame = static_cast<int16_t>(first);
  Redraw();
}

namespace {

// Commands that start the history again, write the file, or walk it.
bool LeavesNoStep(int command) {
  return command == IDM_FILE_NEW || command == IDM_FILE_OPEN || command == IDM_FILE_SAVE ||
         command == IDM_FILE_SAVE_AS || command == IDM_FILE_EXIT || command == IDM_EDIT_UNDO ||
         command == IDM_EDIT_REDO || (command >= IDM_FILE_RECENT_FIRST && command <= kOpenPendingRecentFile);
}

// A command another one sends (Cut sends Delete frame) is part of its step.
int commandDepth = 0;

LRESULT RunCommand(int command) {
  switch (command) {
    case IDM_FILE_NEW: OnNew(); return 0;
    case IDM_FILE_OPEN: OnOpen(); return 0;
    case IDM_FILE_SAVE: RequestSave(); return 0;
    case IDM_FILE_SAVE_AS: ShowSaveAsDialog(); return 0;
    case IDM_FILE_INSERT_FRAMES: OnInsertFrames(doc.currentFrame); return 0;
    case IDM_FILE_ADD_FRAMES: OnInsertFrames(doc.frameCount); return 0;
    case IDM_FILE_DELETE_FRAME: OnDeleteFrame(); return 0;
    case IDM_FILE_EXIT: SendMessageA(mainWindow, WM_CLOSE, 0, 0); return 0;
    case IDM_EDIT_CUT: OnCut(); return 0;
    case IDM_EDIT_COPY: OnCopy(); return 0;
    case IDM_EDIT_PASTE: OnPaste(); return 0;
    case IDM_EDIT_PASTE_AT_END: OnPasteAtEnd(); return 0;
    case IDM_EDIT_CROP_TO_SELECTION: OnCropToSelection(); return 0;
    case IDM_EDIT_UNDO: OnUndo(); return 0;
    case IDM_EDIT_REDO: OnRedo(); return 0;
    case IDM_EDIT_DUPLICATE_FRAME: OnDuplicateFrame(); return 0;
    case IDM_EDIT_MOVE_EARLIER: MoveCurrentFrameTo(doc.currentFrame - 1); return 0;
    case IDM_EDIT_MOVE_LATER: MoveCurrentFrameTo(doc.currentFrame + 1); return 0;
    case IDM_VIEW_DIRTY_ONLY:
      settings.showOnlyDirtyRectangles = settings.showOnlyDirtyRectangles ? 0 : 1;
      UpdateCheckMarks();
      return 0;
    case IDM_VIEW_FRAMES_WINDOW: OnToggleFramesWindow(); return 0;
    case IDM_VIEW_ZOOM_IN:
      if (zoom < kMaxZoom) OnZoom(zoom + 1, true);
      return 0;
    case IDM_VIEW_ZOOM_OUT:
      if (zoom > kMinZoom) OnZoom(zoom - 1, true);
      return 0;
    case IDM_VIEW_NORMAL: OnZoom(0, false); return 0;
    case IDM_VIEW_MARK_DIRTY:
      settings.markDirtyRectangles = settings.markDirtyRectangles ? 0 : 1;
      UpdateCheckMarks();
      InvalidateViewArea(true);
      return 0;
    case IDM_ANIMATION_PLAY: StartPlayback(); return 0;
    case IDM_ANIMATION_STOP: StopPlayback(); return 0;
    case IDM_ANIMATION_NEXT_FRAME: OnNextFrame(); return 0;
    case IDM_ANIMATION_PREVIOUS_FRAME: OnPreviousFrame(); return 0;
    case IDM_ANIMATION_LOOP_COUNT: ShowLoopCountDialog(); return 0;
    case IDM_ANIMATION_SET_DELAYS: ShowDelaysDialog(); return 0;
    case IDM_ANIMATION_REMOVE_DUPLICATES: OnRemoveDuplicates(); return 0;
    case IDM_OPTIONS_COMMENT_FRAME:
      settings.addCreditComment = settings.addCreditComment ? 0 : 1;
      UpdateCheckMarks();
      return 0;
    // Both stop playback, show their progress and their message themselves.
    case IDM_OPTIONS_CROP_TO_DIRTY: CropFramesToDirty(); return 0;
    case IDM_OPTIONS_OPTIMIZE_TRANSPARENCY: CropFramesToDirty(Transparency::kForUnchangedPixels); return 0;
    case IDM_OPTIONS_RESTORE_FULL_SIZE: RestoreFramesToFullSize(); return 0;
    case IDM_COLORS_LOAD_PALETTE:
    case IDM_COLORS_SAVE_PALETTE:
    case IDM_COLORS_GRAY_SCALE:
    case IDM_COLORS_DECREASE:
    case IDM_COLORS_BACKGROUND:
    case IDM_COLORS_TRANSPARENT:
    case IDM_COLORS_OPTIMAL_PALETTE:
      return OnColourCommand(command);
    case IDM_HELP_HELP: OnHelp(); return 1;
    case IDM_HELP_ABOUT: OnAbout(); return 0;
    case IDM_FILE_RECENT_FIRST:
    case IDM_FILE_RECENT_FIRST + 1:
    case IDM_FILE_RECENT_FIRST + 2:
    case IDM_FILE_RECENT_LAST: OpenRecentFile(command - IDM_FILE_RECENT_FIRST); return 0;
    case kOpenPendingRecentFile: OpenPendingRecentFile(); return 0;
    case kToolSelect: OnSelectTool(); return 0;
  }
  return 0;
}

}  // namespace

LRESULT OnCommand(WPARAM wParam) {
  const int command = MenuCommandOfTool(static_cast<int>(wParam));
  ++commandDepth;
  const LRESULT result = RunCommand(command);
  --commandDepth;
  if (commandDepth == 0 && !LeavesNoStep(command)) RecordCommandStep(command);
  return result;
}
