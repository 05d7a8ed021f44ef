// The frames window: the list of entries and the frame-properties panel
// where the current frame's values are edited, with the palette part below.
// FillFramesList is declared in document/ui_operations.h.
#pragma once

#include <windows.h>

constexpr char kFramesWindowClass[] = "WindowsGifdelayClass";

// Control identifiers of the frames window.
constexpr int kFramesListId = 50;
constexpr int kDelayFieldId = 51;
constexpr int kRestoreBoxId = 52;
constexpr int kPaletteInfoId = 53;
constexpr int kUseGlobalBoxId = 54;
constexpr int kLeftFieldId = 55;
constexpr int kTopFieldId = 56;
constexpr int kTransparentIndexId = 59;
constexpr int kPickButtonId = 60;
constexpr int kPaletteWindowId = 80;
constexpr int kPaletteToggleId = 90;
constexpr int kSwatchId = 96;
constexpr int kTransparentBoxId = 105;

// The frames window's controls, made with it.
struct FramePanel {
  HWND list = nullptr;
  HWND delayField = nullptr;
  HWND restoreBox = nullptr;
  HWND leftField = nullptr;
  HWND leftSpinner = nullptr;
  HWND topField = nullptr;
  HWND topSpinner = nullptr;
  HWND widthValue = nullptr;
  HWND heightValue = nullptr;
  HWND transparentBox = nullptr;
  HWND transparentIndexValue = nullptr;
  HWND swatch = nullptr;
  HWND pickButton = nullptr;
  HWND useGlobalBox = nullptr;
  HWND paletteToggle = nullptr;
  HWND paletteInfo = nullptr;
  HWND paletteWindow = nullptr;
};
extern FramePanel panel;

// Set while the program itself writes the panel's fields: the change
// notifications that follow are not the user's, so they neither stop
// playback nor take values.
extern bool fillingPanel;

bool RegisterFramesWindowClass(HINSTANCE instance);
// Creates the frames window over the image view with every control, shown
// or hidden as settings.showFramesWindow says.
HWND CreateFramesWindow(HWND imageView);

// The frames window's height and the toggle button's text from
// settings.showPalette.
void ApplyPaletteVisibility();
// Moves the frames window back inside the image view's client area (whose
// scroll bars come and go); where it does not fit, its caption stays
// reachable at the top left.
void KeepFramesWindowInView();
