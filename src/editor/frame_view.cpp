// The window side of the frame view: the composed picture turned into the
// display bitmap that the image view copies from, the frames' GDI palettes on
// palette displays, the frame-properties panel's contents and the palette
// the palette window draws. The composition itself is frame_composer.cpp.
#include "editor/frame_view.h"

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "editor/document_life.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/menu_state.h"
#include "editor/shell_state.h"
#include "render/frame_composer.h"

HBITMAP displayBitmap = nullptr;
HPALETTE previousPalette = nullptr;
ShownPalette shownPalette = {};

namespace {

constexpr int kBackgroundColorCommand = 605;  // Colors, "Set &Background color"

// The bitmap the view DC held before the first display bitmap went in; it
// goes back before a display bitmap is deleted.
HBITMAP initialBitmap = nullptr;

// A BITMAPINFO with room for a whole 256-colour table.
struct BitmapHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};
BitmapHeader bitmapHeader;

// A LOGPALETTE with room for 256 entries.
struct LogicalPalette {
  WORD version;
  WORD entryCount;
  PALETTEENTRY entries[256];
};
LogicalPalette logicalPalette;

static_assert(sizeof(PaletteEntry) == sizeof(RGBQUAD), "a frame palette is a DIB colour table");

bool IsEntryIndex(int index) {
  return index >= 0 && index < doc.frameCount && index < kMaxEntries && doc.frames[index] != nullptr;
}

HPALETTE FramePalette(int index) {
  return index >= 0 && index < kMaxEntries ? static_cast<HPALETTE>(doc.framePalettes[index]) : nullptr;
}

// The panel's controls may not exist yet (or any more): every write checks.
void SetControlText(HWND control, const char* text) {
  if (control == nullptr) return;
  fillingPanel = true;
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  fillingPanel = false;
}

void SetControlCheck(HWND control, bool checked) {
  if (control != nullptr) SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EnableControl(HWND control, bool enabled) {
  if (control != nullptr) EnableWindow(control, enabled ? TRUE : FALSE);
}

// The controls that follow whether there is an image frame to edit; the pick
// button is not among them (an image frame without transparency keeps it as
// it was, so that a pick can give the frame a transparent colour).
void EnableFrameControls(bool enabled) {
  HWND controls[] = {panel.delayField, panel.restoreBox,  panel.leftField,   panel.leftSpinner,
                     panel.topField,   panel.topSpinner,  panel.widthValue,  panel.heightValue,
                     panel.useGlobalBox, panel.transparentBox};
  for (HWND control : controls) EnableControl(control, enabled);
}

void SetPaletteInfoText(int count) {
  char text[32];
  snprintf(text, sizeof text, "%i colors     ", count);
  SetControlText(panel.paletteInfo, text);
}

void InvalidatePaletteWindow() {
  if (panel.paletteWindow != nullptr) InvalidateRect(panel.paletteWindow, nullptr, TRUE);
}

// Positions go to the panel as the file holds them (0..65535), so that what
// is shown is what the fields take back.
void UpdateFramePanel(const Frame& frame) {
  if (!frame.useGlobalPalette || !doc.hasGlobalPalette)
    ShowFramePaletteInfo(doc.currentFrame);
  else
    ShowGlobalPaletteInfo();
  EnableFrameControls(true);

  char text[32];
  snprintf(text, sizeof text, "%u", static_cast<unsigned>(frame.delay));
  SetControlText(panel.delayField, text);
  SetControlCheck(panel.restoreBox, (frame.disposal & kRestoreToBackground) != 0);
  snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<uint16_t>(frame.left)));
  SetControlText(panel.leftField, text);
  snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<uint16_t>(frame.top)));
  SetControlText(panel.topField, text);
  snprintf(text, sizeof text, "%i     ", static_cast<int>(frame.width));
  SetControlText(panel.widthValue, text);
  snprintf(text, sizeof text, "%i     ", static_cast<int>(frame.height));
  SetControlText(panel.heightValue, text);
  if (frame.transparent) {
    snprintf(text, sizeof text, "%i     ", static_cast<int>(frame.transparentIndex));
    SetControlText(panel.transparentIndexValue, text);
    EnableControl(panel.pickButton, true);
  } else {
    SetControlText(panel.transparentIndexValue, "-      ");
  }
}

// The display bitmap out of the view DC and deleted; the DC holds its
// initial bitmap again.
void DropDisplayBitmap() {
  if (initialBitmap != nullptr && viewDC != nullptr) SelectObject(viewDC, initialBitmap);
  if (displayBitmap != nullptr) {
    DeleteObject(displayBitmap);
    displayBitmap = nullptr;
  }
}

// The new picture as a device bitmap in the screen's format, drawn with the
// current frame's own palette (even when it is marked as using the global
// one: its palette holds the colours its indices were made for).
void MakeDisplayBitmap(const Frame& frame) {
  BITMAPINFOHEADER& header = bitmapHeader.header;
  header = {};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = newPicture.width;
  header.biHeight = newPicture.height;  // positive: rows bottom-up, as stored
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biXPelsPerMeter = 100;
  header.biYPelsPerMeter = 100;
  memcpy(bitmapHeader.colors, frame.palette, sizeof bitmapHeader.colors);

  HPALETTE framePalette = IsPaletteDisplay() ? FramePalette(doc.currentFrame) : nullptr;
  if (framePalette != nullptr && screenDC != nullptr) {
    previousPalette = SelectPalette(screenDC, framePalette, FALSE);
    if (previousPalette != framePalette) RealizePalette(screenDC);
  }
  displayBitmap = CreateDIBitmap(screenDC, &header, CBM_INIT, newPicture.block.data(),
                                 reinterpret_cast<BITMAPINFO*>(&bitmapHeader), DIB_RGB_COLORS);
  if (framePalette != nullptr && screenDC != nullptr && previousPalette != nullptr)
    SelectPalette(screenDC, previousPalette, FALSE);
}

void SelectDisplayBitmap() {
  if (displayBitmap == nullptr || viewDC == nullptr) return;
  HBITMAP replaced = static_cast<HBITMAP>(SelectObject(viewDC, displayBitmap));
  if (initialBitmap == nullptr) initialBitmap = replaced;
}

// Steps 4 to 6 of a refresh of an image frame. False when the picture could
// not be built: the refresh ends there.
bool ShowImageFrame(RefreshMode mode) {
  DropDisplayBitmap();
  if (!BuildNewPicture()) return false;
  const Frame& frame = *doc.frames[doc.currentFrame];
  MakeDisplayBitmap(frame);
  RetainNewPicture();
  SelectDisplayBitmap();
  if (mode == RefreshMode::kFull) UpdateFramePanel(frame);
  return true;
}

void SelectListEntryAndMarks() {
  if (panel.list != nullptr) SendMessageA(panel.list, LB_SETCURSEL, doc.currentFrame, 0);
  const Frame& frame = *doc.frames[doc.currentFrame];
  SetControlCheck(panel.useGlobalBox, frame.useGlobalPalette != 0);
  SetControlCheck(panel.transparentBox, frame.transparent != 0);
}

void RequestRepaints() {
  UpdateTitle();
  if (mainWindow != nullptr) InvalidateRect(mainWindow, &viewArea, TRUE);
  // The main window's invalidation reaches the view through it; said again
  // so that the view repaints whatever the main window's styles.
  if (imageView != nullptr) InvalidateRect(imageView, nullptr, TRUE);
  if (panel.swatch != nullptr) InvalidateRect(panel.swatch, nullptr, TRUE);
}

void DeleteFramePalette(int index) {
  if (!IsPaletteDisplay()) return;
  HPALETTE palette = FramePalette(index);
  if (palette == nullptr) return;
  // A palette selected into a DC cannot be deleted: the screen DC gets back
  // what the frame palettes replaced.
  if (screenDC != nullptr && previousPalette != nullptr && previousPalette != palette)
    SelectPalette(screenDC, previousPalette, FALSE);
  DeleteObject(palette);
  doc.framePalettes[index] = nullptr;
}

}  // namespace

void ClearFramePanel(RefreshMode mode) {
  if (mode != RefreshMode::kFull) return;
  EnableFrameControls(false);
  EnableControl(panel.pickButton, false);
  SetControlCheck(panel.useGlobalBox, false);
  SetControlCheck(panel.transparentBox, false);
  SetControlText(panel.delayField, "0");
  SetControlText(panel.leftField, "0");
  SetControlText(panel.topField, "0");
  SetControlText(panel.widthValue, "0      ");
  SetControlText(panel.heightValue, "0      ");
  SetControlText(panel.transparentIndexValue, "-      ");
  ShowNoPaletteInfo();
}

void ShowFramePaletteInfo(int frameIndex) {
  if (!IsEntryIndex(frameIndex)) {
    ShowNoPaletteInfo();
    return;
  }
  const Frame& frame = *doc.frames[frameIndex];
  EnableMenuCommand(kBackgroundColorCommand, frame.useGlobalPalette != 0);
  shownPalette.count = frame.colorCount;
  for (int i = 0; i < 256; ++i)
    shownPalette.colors[i] = {frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue};
  SetPaletteInfoText(frame.colorCount);
  InvalidatePaletteWindow();
}

void ShowGlobalPaletteInfo() {
  EnableMenuCommand(kBackgroundColorCommand, true);
  shownPalette.count = doc.globalColorCount;
  // Entries behind the count keep what they held; a count outside the table
  // copies no more than the table.
  int copied = doc.globalColorCount < 0 ? 0 : doc.globalColorCount > 256 ? 256 : doc.globalColorCount;
  memcpy(shownPalette.colors, doc.globalPalette, static_cast<size_t>(copied) * sizeof(RgbTriple));
  SetPaletteInfoText(doc.globalColorCount);
  InvalidatePaletteWindow();
}

void ShowNoPaletteInfo() {
  EnableMenuCommand(kBackgroundColorCommand, false);
  shownPalette.count = 0;
  SetControlText(panel.paletteInfo, "No palette   ");
  InvalidatePaletteWindow();
}

UINT SelectFramePalette(HDC dc, int frameIndex) {
  if (!IsPaletteDisplay() || dc == nullptr) return 0;
  HPALETTE palette = FramePalette(frameIndex);
  if (palette == nullptr) return 0;
  previousPalette = SelectPalette(dc, palette, FALSE);
  return previousPalette != palette ? RealizePalette(dc) : 0;
}

UINT RealizeFramePaletteIn(HWND window) {
  if (!IsPaletteDisplay() || doc.frameCount == 0) return 0;
  HPALETTE palette = FramePalette(doc.currentFrame);
  if (palette == nullptr) return 0;
  HDC dc = GetDC(window);
  if (dc == nullptr) return 0;
  HPALETTE replaced = SelectPalette(dc, palette, FALSE);
  UINT realised = RealizePalette(dc);
  if (replaced != nullptr) SelectPalette(dc, replaced, FALSE);
  ReleaseDC(window, dc);
  return realised == GDI_ERROR ? 0 : realised;
}

void ReleaseFrameView() {
  DropDisplayBitmap();
  initialBitmap = nullptr;
  previousPalette = nullptr;
  DiscardRetainedPicture();
  newPicture.block.Release();
  newPicture.frame = -1;
  framePicture.block.Release();
}

void RefreshFrameView(RefreshMode mode) {
  UpdateFrameOrderItems();
  if (doc.frameCount == 0 || selectionFrame != doc.currentFrame) CancelSelection();
  if (doc.frameCount == 0 || !IsEntryIndex(doc.currentFrame)) {
    // An empty document keeps the last bitmap; the view paints background.
    ClearFramePanel(mode);
    RequestRepaints();
    return;
  }
  if (IsComment(*doc.frames[doc.currentFrame])) {
    // The view shows the comment's text; the bitmap stays.
    ClearFramePanel(mode);
  } else if (!ShowImageFrame(mode)) {
    return;
  }
  if (mode == RefreshMode::kFull) SelectListEntryAndMarks();
  RequestRepaints();
}

void ResetRetainedPicture() { DiscardRetainedPicture(); }

void CreateFramePalette(int index) {
  if (!IsPaletteDisplay() || !IsEntryIndex(index)) return;
  // Whoever replaces a palette deletes the old one first; should one be left,
  // it goes here rather than leak.
  DeleteFramePalette(index);
  const Frame& frame = *doc.frames[index];
  logicalPalette.version = 0x300;
  logicalPalette.entryCount = 256;
  for (int i = 0; i < 256; ++i)
    logicalPalette.entries[i] = {frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue, 0};
  doc.framePalettes[index] = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logicalPalette));
}

void DeleteFramePaletteIfAny(int index) {
  if (IsEntryIndex(index)) DeleteFramePalette(index);
}

void DeleteAllFramePalettes() {
  for (int i = 0; i < doc.frameCount; ++i) DeleteFramePalette(i);
}
