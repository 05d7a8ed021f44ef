// The main window: class registration, creation, the caption and the window
// procedure. The document's life ends here with the window (WM_DESTROY).
#include "shell/main_window.h"

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/ui_operations.h"

HWND mainWindow = nullptr;

namespace {

// The zoom part of the caption; the zoom commands will rewrite its digits.
char zoomText[] = "(1:1)";

// The view area shows the window colour until the image view covers it.
void PaintContent(HDC dc, const RECT& area) {
  FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

void OnCreate(HWND window) {
  // Kept before CreateWindowEx returns so that anything run during creation
  // already has an owner for its message boxes.
  mainWindow = window;
  UpdateTitle();
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc != nullptr) PaintContent(dc, paint.rcPaint);
  EndPaint(window, &paint);
}

void OnPrintClient(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  PaintContent(dc, client);
}

void OnClose(HWND window) { DestroyWindow(window); }

void OnDestroy() {
  CloseSwapFile();
  DeleteAllFramePalettes();
  while (DeleteFrame(0)) {
  }
  mainWindow = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_PRINTCLIENT:
      OnPrintClient(window, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "MICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassA(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance) {
  // The caption is set by WM_CREATE from the document.
  return CreateWindowExA(0, kMainWindowClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

void UpdateTitle() {
  if (mainWindow == nullptr) return;
  const char* name = strrchr(doc.fileName, '\\');
  name = name != nullptr ? name + 1 : doc.fileName;
  char title[sizeof doc.fileName + 32];
  snprintf(title, sizeof title, "Frambo - %s %s", name, zoomText);
  SendMessageA(mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
}
