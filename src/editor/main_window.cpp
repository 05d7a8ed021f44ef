// The main window: its class, the building of the whole editor window in the
// order its parts depend on each other, the window procedure (layout,
// background, palette realisation, the hand-off of commands, timers and
// clipboard messages) and the orderly shutdown.
#include "editor/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "resource_ids.h"
#include "editor/clipboard.h"
#include "editor/commands.h"
#include "editor/document_life.h"
#include "editor/dpi.h"
#include "editor/frame_view.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/menu_state.h"
#include "editor/playback.h"
#include "editor/settings_store.h"
#include "editor/shell_state.h"
#include "editor/status_bar.h"
#include "editor/toolbar.h"
#include "editor/undo_commands.h"

namespace {

constexpr uint8_t kPaletteDisplayFlag = 1;
constexpr uint8_t kEightBitDisplayFlag = 64;

// Whether the last CreateMainWindow gave up because the swap file could
// not be made.
bool swapFileFailed = false;
// Set once ReadSettings has run: a start that failed before it must not
// write the defaults over the user's stored settings.
bool settingsRead = false;

void ComputeViewArea() {
  GetClientRect(mainWindow, &viewArea);
  viewArea.top += Scaled(kToolbarStripHeight);
  viewArea.bottom -= Scaled(kStatusStripHeight);
  viewWidth = static_cast<int16_t>(viewArea.right - viewArea.left);
  viewHeight = static_cast<int16_t>(viewArea.bottom - viewArea.top);
}

// The document as a fresh process has it; a second main window in the same
// process (the GUI tests build one per test) starts from here too.
void StartWithEmptyDocument() {
  doc.currentFrame = 0;
  doc.screenWidth = 0;
  doc.screenHeight = 0;
  doc.hasGlobalPalette = 0;
  doc.loopCount = kLoopForever;
  doc.modified = 0;
  doc.pendingChange = kNoPendingChange;
  doc.swapEnd = 0;
  strcpy(doc.fileName, "untitled");
  doc.fileNameOffset = 0;
  zoom = 0;
  strcpy(zoomText, "(1:1)");
  previousFrame = -1;
  ResetStatusBarState();
}

// Every handle of shell_state back to null once the window is gone.
void ForgetWindows() {
  mainWindow = nullptr;
  mainMenu = nullptr;
  toolbar = nullptr;
  statusBar = nullptr;
  progressBar = nullptr;
  imageView = nullptr;
  framesWindow = nullptr;
  screenDC = nullptr;
  viewDC = nullptr;
  cursors = Cursors();
  viewArea = RECT{};
  viewWidth = 0;
  viewHeight = 0;
}


LRESULT OnQueryNewPalette() {
  if (!IsPaletteDisplay() || doc.frameCount == 0) return 0;
  for (HWND window : {panel.paletteWindow, panel.swatch, imageView})
    if (window != nullptr) SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0);
  UINT realised = RealizeFramePaletteIn(mainWindow);
  if (realised > 0) InvalidateRect(mainWindow, &viewArea, TRUE);
  return static_cast<LRESULT>(realised);
}

LRESULT OnPaletteChanged(HWND changedBy) {
  if (changedBy == mainWindow || !IsPaletteDisplay()) return 0;
  return OnQueryNewPalette();
}

void OnCreate(HWND window) {
  // Kept before CreateWindowEx returns, so that anything run during the
  // rest of the creation already has an owner for its message boxes.
  mainWindow = window;
  ReadDpi(window);
  displayFlags = 0;
  if (GetDeviceCaps(screenDC, RASTERCAPS) & RC_PALETTE) displayFlags |= kPaletteDisplayFlag;
  if (GetDeviceCaps(screenDC, BITSPIXEL) == 8) displayFlags |= kEightBitDisplayFlag;
}

// Moved to a screen of another resolution: the window takes the size the
// system suggests, and what is made from now on the new scale.
void OnDpiChanged(int dotsPerInch, const RECT* suggested) {
  SetDpi(dotsPerInch);
  SetWindowPos(mainWindow, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnSize() {
  ComputeViewArea();
  if (toolbar != nullptr) SendMessageA(toolbar, WM_SIZE, 0, 0);
  if (statusBar != nullptr) SendMessageA(statusBar, WM_SIZE, 0, 0);
  if (progressBar != nullptr) MoveWindow(progressBar, Scaled(200), viewArea.bottom, Scaled(200), Scaled(kStatusStripHeight), TRUE);
  if (imageView != nullptr) {
    MoveWindow(imageView, viewArea.left, viewArea.top, viewArea.right, viewArea.bottom - viewArea.top, TRUE);
    UpdateScrollRanges();
  }
  UpdateTitle();
}

// Only the toolbar and status strips: the image view covers the rest.
void OnEraseBackground(HDC dc) {
  FillInclusive(dc, 0, 0, viewArea.right, Scaled(kToolbarStripHeight), COLOR_BTNFACE);
  FillInclusive(dc, 0, viewArea.bottom, viewArea.right, viewArea.bottom + Scaled(kStatusStripHeight), COLOR_BTNFACE);
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  // Save as waits for this repaint (and the view's) before it writes.
  if (static_cast<int8_t>(saveState) > 0) saveState |= kMainWindowPainted;
}

void OnClose(HWND window) {
  if (ConfirmSaveChanges(kResumeClose)) DestroyWindow(window);
}

// What must not outlive the process: the swap and paste files go, the
// settings are written. Also all that is done when the session ends, which
// ends the process without WM_DESTROY.
void ReleaseFilesAndWriteSettings() {
  StopPlayback();
  CloseSwapFile();
  RemovePasteFile();
  if (settingsRead) WriteSettings();
  settingsRead = false;
}

void OnDestroy(HWND window) {
  LeaveClipboardChain(window);
  ReleaseFilesAndWriteSettings();
  while (DeleteFrame(0)) {
  }
  DeleteAllFramePalettes();
  ReleaseFrameView();
  if (viewDC != nullptr) DeleteDC(viewDC);
  if (screenDC != nullptr) ReleaseDC(nullptr, screenDC);
  if (cursors.pick != nullptr) DestroyCursor(cursors.pick);
  ForgetWindows();
  // A save or a resumed command of this window has nothing left to act on.
  saveState = kSaveIdle;
  pendingAfterSave = kResumeNothing;
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_NOTIFY:
      return OnToolbarNotify(lParam);
    case WM_NCACTIVATE:
      // The floating frames window's caption is drawn active with ours.
      if (framesWindow != nullptr) SendMessageA(framesWindow, WM_NCACTIVATE, wParam, lParam);
      break;
    case WM_COMMAND:
      // The high word tells a key (1) from a menu or a button (0): the same command.
      return OnCommand(LOWORD(wParam));
    case WM_TIMER:
      PlaybackStep();
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_QUERYENDSESSION:
      return ConfirmEndOfSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (wParam) ReleaseFilesAndWriteSettings();
      return 0;
    case WM_DRAWCLIPBOARD:
    case WM_CHANGECBCHAIN:
    case WM_DESTROYCLIPBOARD:
      return OnClipboardMessage(window, message, wParam, lParam);
    case WM_QUERYNEWPALETTE:
      return OnQueryNewPalette();
    case WM_PALETTECHANGED:
      return OnPaletteChanged(reinterpret_cast<HWND>(wParam));
    case WM_DROPFILES:
      OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void LoadCursors() {
  cursors.arrow = LoadCursorA(nullptr, IDC_ARROW);
  cursors.wait = LoadCursorA(nullptr, IDC_WAIT);
  cursors.pick = LoadCursorA(appInstance, "PICK");
  cursors.cross = LoadCursorA(nullptr, IDC_CROSS);
}

void RegisterCommonControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
}

// Steps 1 and 2: the shared GDI objects and the window itself.
HWND CreateFrameWindow(HINSTANCE instance) {
  appInstance = instance;
  LoadCursors();
  screenDC = GetDC(nullptr);
  viewDC = CreateCompatibleDC(screenDC);
  windowTextColor = GetSysColor(COLOR_WINDOWTEXT);
  windowColor = GetSysColor(COLOR_WINDOW);
  return CreateWindowExA(0, kMainWindowClass, nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

// Everything inside the main window, in the order each part needs the last.
void BuildChildren() {
  mainMenu = GetMenu(mainWindow);
  ReadSettings();
  settingsRead = true;
  UpdateCheckMarks();
  JoinClipboardChain(mainWindow);
  CreateMainToolbar(mainWindow);
  SetPasteEnabled(IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_TEXT));
  ComputeViewArea();
  CreateMainProgressBar(mainWindow);
  UpdateTitle();
  EnableMenuCommand(IDM_EDIT_CROP_TO_SELECTION, false);
  RegisterImageViewClass(appInstance);
  imageView = CreateImageView(mainWindow);
  RegisterFramesWindowClass(appInstance);
  framesWindow = CreateFramesWindow(imageView);
  ApplyFramesWindowVisibility();
  ShowNoPaletteInfo();
}

// Explorer's "Open with", file associations ("%1") and a file dropped on the
// program's icon pass the path in double quotes: one surrounding pair goes.
std::string UnquotedPath(const char* commandLine) {
  std::string path = commandLine;
  while (!path.empty() && (path.back() == ' ' || path.back() == '\t')) path.pop_back();
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return path;
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "MICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
  windowClass.lpszClassName = kMainWindowClass;
  if (RegisterClassA(&windowClass) != 0) return true;
  // Registered already by an earlier main window of this process.
  WNDCLASSA existing;
  return GetClassInfoA(instance, kMainWindowClass, &existing) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, const char* commandLine, int showCommand) {
  swapFileFailed = false;
  RegisterCommonControls();
  StartWithEmptyDocument();
  if (CreateFrameWindow(instance) == nullptr) {
    ReleaseDC(nullptr, screenDC);
    DeleteDC(viewDC);
    ForgetWindows();
    return nullptr;
  }
  HWND window = mainWindow;
  CreateMainStatusBar(window);
  if (!OpenSwapFile()) {
    // Nothing can be loaded without it; the window never shows.
    swapFileFailed = true;
    MessageBoxA(window, "Cannot create the swap file in the temporary folder", kProgramTitle, MB_OK | MB_ICONSTOP);
    DestroyWindow(window);
    return nullptr;
  }
  doc.swapEnd = 0;
  BuildChildren();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  ApplyPaletteVisibility();
  SetAnimationEnabled(false);
  SetSaveAsEnabled(false);
  SetModified(false);
  DragAcceptFiles(window, TRUE);
  const std::string path = UnquotedPath(commandLine != nullptr ? commandLine : "");
  if (!path.empty()) {
    OpenDocumentFile(path.c_str(), 0, true);
  } else {
    RefreshFrameView(RefreshMode::kFull);
    RestartHistory();
  }
  return window;
}

bool SwapFileFailedAtStart() { return swapFileFailed; }

void AfterMessage() {
  if (saveState == kSaveDue) RunDeferredSave();
  CommitPendingChange();
}
