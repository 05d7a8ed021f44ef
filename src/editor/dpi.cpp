#include "editor/dpi.h"

namespace {

int dpi = 96;

}  // namespace

void ReadDpi(HWND window) {
  // Found at run time: Windows before 10 and older Wine lack it.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  // Through void(*)(), which any function pointer may be cast to and from.
  const auto forWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  int found = forWindow != nullptr && window != nullptr ? static_cast<int>(forWindow(window)) : 0;
  if (found <= 0) {
    HDC screen = GetDC(nullptr);
    found = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  SetDpi(found);
}

void SetDpi(int dotsPerInch) { dpi = dotsPerInch > 0 ? dotsPerInch : 96; }

int CurrentDpi() { return dpi; }

int Scaled(int value) { return MulDiv(value, dpi, 96); }
