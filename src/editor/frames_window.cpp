// The frames window: the list of entries, the frame-properties panel whose
// fields and boxes change the current frame, and the palette part below it.
// What the panel shows for a frame is written by the frame view's refresh;
// this file takes what the user changes.
#include "editor/frames_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "colour/color_pick.h"
#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "resource_ids.h"
#include "editor/dpi.h"
#include "editor/frames_list_drag.h"
#include "editor/menu_state.h"
#include "editor/palette_windows.h"
#include "editor/shell_state.h"
#include "editor/undo_commands.h"

FramePanel panel;
bool fillingPanel = false;

namespace {

constexpr int kFramesWindowWidth = 400;
constexpr int kHeightWithoutPalette = 230;
constexpr int kHeightWithPalette = 336;
constexpr int kSpinnerMax = 9999;
// The document keeps positions as signed 16-bit numbers (the reader refuses
// larger ones too), and the file format cannot place a frame's edge beyond
// 65535.
constexpr int64_t kMaxPosition = 32767;
constexpr int64_t kMaxFrameEdge = 65535;
// Tab visits the controls that take input in the order they were made,
// which is reading order: the list, then the panel from top to bottom.
constexpr DWORD kFieldStyle = WS_TABSTOP | WS_BORDER;
constexpr DWORD kBoxStyle = WS_TABSTOP | BS_CHECKBOX;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kSpinnerStyle =
    WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
                 int height, int id) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, Scaled(x), Scaled(y), Scaled(width),
                         Scaled(height), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, nullptr);
}

HWND MakeLabel(HWND parent, const char* text, int y) {
  return MakeControl(parent, "STATIC", text, SS_RIGHT, 202, y, 100, 22, 0);
}

HWND MakeSpinner(HWND parent, int y, HWND buddy) {
  return CreateUpDownControl(kSpinnerStyle, Scaled(350), Scaled(y), Scaled(20), Scaled(22), parent, 0, appInstance,
                             buddy, kSpinnerMax, 0, 0);
}

void CreatePanelControls(HWND window) {
  panel.list = MakeControl(window, "LISTBOX", "", WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, 0, 0, 190, 200,
                           kFramesListId);
  FollowDragsIn(panel.list);
  MakeLabel(window, "Delay time: ", 0);
  panel.delayField = MakeControl(window, "EDIT", "", kFieldStyle, 300, 0, 90, 22, kDelayFieldId);
  panel.restoreBox =
      MakeControl(window, "BUTTON", "Restore to background", kBoxStyle, 195, 22, 200, 22, kRestoreBoxId);
  MakeLabel(window, "Left: ", 44);
  panel.leftField = MakeControl(window, "EDIT", "", kFieldStyle, 300, 44, 60, 22, kLeftFieldId);
  panel.leftSpinner = MakeSpinner(window, 44, panel.leftField);
  MakeLabel(window, "Top: ", 66);
  panel.topField = MakeControl(window, "EDIT", "", kFieldStyle, 300, 66, 60, 22, kTopFieldId);
  panel.topSpinner = MakeSpinner(window, 66, panel.topField);
  MakeLabel(window, "Width: ", 88);
  panel.widthValue = MakeControl(window, "STATIC", "", SS_SIMPLE, 300, 88, 40, 22, 0);
  MakeLabel(window, "Height: ", 110);
  panel.heightValue = MakeControl(window, "STATIC", "", SS_SIMPLE, 300, 110, 40, 22, 0);
  panel.transparentBox =
      MakeControl(window, "BUTTON", "Trans. Col.", kBoxStyle, 195, 132, 100, 22, kTransparentBoxId);
  panel.transparentIndexValue = MakeControl(window, "STATIC", "", SS_SIMPLE, 300, 132, 29, 22, kTransparentIndexId);
  panel.pickButton = MakeControl(window, "BUTTON", "Pick", kButtonStyle, 350, 132, 40, 22, kPickButtonId);
  RegisterSwatchClass(appInstance);
  panel.swatch = MakeControl(window, kSwatchClass, "", WS_BORDER, 330, 132, 20, 22, kSwatchId);
  panel.useGlobalBox =
      MakeControl(window, "BUTTON", "Use global palette", kBoxStyle, 195, 154, 160, 22, kUseGlobalBoxId);
  RegisterPaletteWindowClass(appInstance);
  panel.paletteWindow = MakeControl(window, kPaletteWindowClass, "Palette", 0, 0, 230, 320, 100, kPaletteWindowId);
  if (panel.paletteWindow != nullptr) GetClientRect(panel.paletteWindow, &paletteWindowRect);
  panel.paletteInfo = MakeControl(window, "STATIC", "", SS_SIMPLE, 0, 210, 250, 20, kPaletteInfoId);
  panel.paletteToggle = MakeControl(window, "BUTTON", "", kButtonStyle, 220, 180, 110, 20, kPaletteToggleId);
}

// The frame the panel edits: an image frame, never a comment entry (whose
// fields hold its text length, and for which the panel shows zeros).
Frame* EditedFrame() {
  return IsImageFrame(doc.currentFrame) ? doc.frames[doc.currentFrame].get() : nullptr;
}

// A change noted for the message loop; a redraw already asked for in the
// same message is kept.
void NotePendingChange(uint8_t change) {
  if (change > doc.pendingChange) doc.pendingChange = change;
}

// Reads a field's text into text, however long what was typed or pasted:
// at most N - 1 characters, always ended.
template <size_t N>
void ReadField(HWND field, char (&text)[N]) {
  text[0] = '\0';
  if (field == nullptr) return;
  LRESULT length = SendMessageA(field, WM_GETTEXT, N, reinterpret_cast<LPARAM>(text));
  if (length < 0) length = 0;
  if (length > static_cast<LRESULT>(N - 1)) length = N - 1;
  text[length] = '\0';
}

bool IsBlank(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  return *text == '\0';
}

void SelectListedFrame() {
  if (panel.list != nullptr) {
    LRESULT selection = SendMessageA(panel.list, LB_GETCURSEL, 0, 0);
    if (selection != LB_ERR && selection >= 0 && selection < doc.frameCount)
      doc.currentFrame = static_cast<int16_t>(selection);
  }
  RefreshFrameView(RefreshMode::kFull);
}

// "%u" as C reads it (a minus sign wraps), kept to its low 16 bits; an empty
// field is 0 and a text that does not start with a number changes nothing.
void TakeDelay() {
  Frame* frame = EditedFrame();
  if (frame == nullptr) return;
  char text[256];
  ReadField(panel.delayField, text);
  unsigned long long value = 0;
  if (!IsBlank(text)) {
    char* end = nullptr;
    value = strtoull(text, &end, 10);
    if (end == text) return;
  }
  uint16_t delay = static_cast<uint16_t>(value);
  if (delay == frame->delay) return;
  frame->delay = delay;
  NotePendingChange(kFrameValueChanged);
}

// A left or top as C's "%i" reads it ("0x10" is 16, "010" is 8). Taken only
// when it differs from the stored value (the refresh's own text comes back
// here), is not negative, fits the document's positions, and keeps the
// frame's far edge within the format. The screen grows to hold the frame but
// never shrinks.
void TakePosition(HWND field, int16_t Frame::*position, int16_t Frame::*size, uint16_t Document::*screenSize) {
  Frame* frame = EditedFrame();
  if (frame == nullptr) return;
  char text[256];
  ReadField(field, text);
  char* end = nullptr;
  long long value = strtoll(text, &end, 0);
  if (end == text) return;
  if (value == frame->*position) return;
  if (value < 0 || value > kMaxPosition) return;
  int64_t edge = value + static_cast<uint16_t>(frame->*size);
  if (edge > kMaxFrameEdge) return;
  frame->*position = static_cast<int16_t>(value);
  if (edge > doc.*screenSize) doc.*screenSize = static_cast<uint16_t>(edge);
  NotePendingChange(kPictureChanged);
}

void SetCheck(HWND box, bool checked) {
  if (box != nullptr) SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Flips "Restore to background" (bit 1 of the disposal) and nothing else of it.
void ToggleRestore() {
  Frame* frame = EditedFrame();
  if (frame == nullptr) return;
  frame->disposal ^= kRestoreToBackground;
  SetCheck(panel.restoreBox, (frame->disposal & kRestoreToBackground) != 0);
  SetModified(true);
}

void ToggleUseGlobalPalette() {
  Frame* frame = EditedFrame();
  if (frame == nullptr) return;
  frame->useGlobalPalette = frame->useGlobalPalette ? 0 : 1;
  SetModified(true);
  SetCheck(panel.useGlobalBox, frame->useGlobalPalette != 0);
  EnableMenuCommand(IDM_COLORS_BACKGROUND, frame->useGlobalPalette != 0);
}

// Either way the index starts again from 0; the refresh shows it.
void ToggleTransparent() {
  Frame* frame = EditedFrame();
  if (frame == nullptr) return;
  frame->transparent = frame->transparent ? 0 : 1;
  frame->transparentIndex = 0;
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}

void TogglePalette() {
  settings.showPalette = settings.showPalette ? 0 : 1;
  ApplyPaletteVisibility();
}

bool IsButton(int id) {
  return id == kRestoreBoxId || id == kUseGlobalBoxId || id == kTransparentBoxId || id == kPickButtonId ||
         id == kPaletteToggleId;
}

// The focus coming to or leaving a control is no change of the user's.
bool IsFocusChange(int code) {
  return code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == EN_SETFOCUS || code == EN_KILLFOCUS;
}

// Fields and the list react to whatever else they report: their texts and
// selection are read again and compared. Buttons act on a click only, so
// that a focus notification can never flip a value.
void OnCommand(int id, int code) {
  if (fillingPanel) return;
  if (IsButton(id) ? code != BN_CLICKED : IsFocusChange(code)) return;
  StopPlayback();
  switch (id) {
    case kFramesListId:
      SelectListedFrame();
      break;
    case kDelayFieldId:
      TakeDelay();
      break;
    case kRestoreBoxId:
      ToggleRestore();
      break;
    case kLeftFieldId:
      TakePosition(panel.leftField, &Frame::left, &Frame::width, &Document::screenWidth);
      break;
    case kTopFieldId:
      TakePosition(panel.topField, &Frame::top, &Frame::height, &Document::screenHeight);
      break;
    case kUseGlobalBoxId:
      ToggleUseGlobalPalette();
      break;
    case kTransparentBoxId:
      ToggleTransparent();
      break;
    case kPickButtonId:
      ArmTransparentPick();
      break;
    case kPaletteToggleId:
      TogglePalette();
      break;
  }
  RecordPanelStep(id);
}

// The close box only hides the window, through the View menu's command so
// that its check mark and the toolbar follow.
void OnClose() {
  if (mainWindow != nullptr) SendMessageA(mainWindow, WM_COMMAND, IDM_VIEW_FRAMES_WINDOW, 0);
}

// The controls go with the window; a main window built later makes new ones.
void OnDestroy() { panel = FramePanel(); }

LRESULT CALLBACK FramesWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterFramesWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = FramesWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kFramesWindowClass;
  // Every main window built in one process registers it again.
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateFramesWindow(HWND imageView) {
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kFramesWindowClass, "Frames",
                                WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                                viewArea.right - Scaled(kFramesWindowWidth), viewArea.top, Scaled(kFramesWindowWidth),
                                Scaled(kHeightWithoutPalette), imageView,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFramesWindowId)), appInstance, nullptr);
  if (window == nullptr) return nullptr;
  framesWindow = window;
  ShowWindow(window, settings.showFramesWindow ? SW_SHOW : SW_HIDE);
  CreatePanelControls(window);
  KeepFramesWindowInView();
  return window;
}

void KeepFramesWindowInView() {
  if (framesWindow == nullptr) return;
  HWND view = GetParent(framesWindow);
  RECT client;
  RECT frame;
  GetClientRect(view, &client);
  GetWindowRect(framesWindow, &frame);
  POINT corner = {frame.left, frame.top};
  ScreenToClient(view, &corner);
  const LONG x = std::max(0L, std::min(corner.x, client.right - (frame.right - frame.left)));
  const LONG y = std::max(0L, std::min(corner.y, client.bottom - (frame.bottom - frame.top)));
  if (x != corner.x || y != corner.y)
    SetWindowPos(framesWindow, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ApplyPaletteVisibility() {
  if (panel.paletteToggle != nullptr)
    SetWindowTextA(panel.paletteToggle, settings.showPalette ? "Hide palette" : "Show palette");
  if (framesWindow == nullptr) return;
  RECT frame;
  GetWindowRect(framesWindow, &frame);
  POINT corner = {frame.left, frame.top};
  ScreenToClient(GetParent(framesWindow), &corner);
  MoveWindow(framesWindow, corner.x, corner.y, Scaled(kFramesWindowWidth),
             Scaled(settings.showPalette ? kHeightWithPalette : kHeightWithoutPalette), TRUE);
  KeepFramesWindowInView();
}

// The entries in frame order, their numbers right-aligned in three places.
// The list is drawn once, when it is full.
void FillFramesList() {
  if (panel.list == nullptr) return;
  SendMessageA(panel.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(panel.list, LB_RESETCONTENT, 0, 0);
  SendMessageA(panel.list, LB_INITSTORAGE, static_cast<WPARAM>(doc.frameCount), doc.frameCount * 24);
  char text[32];
  for (int i = 0; i < doc.frameCount; ++i) {
    snprintf(text, sizeof text, IsComment(*doc.frames[i]) ? "frame %3i  // Comment" : "frame %3i", i + 1);
    SendMessageA(panel.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageA(panel.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(panel.list, nullptr, TRUE);
}
