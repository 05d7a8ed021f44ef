// The program entry: the main window and the message loop, which hands each
// message to ProcessMessage (keys, wheel, then the deferred save and the
// frames window's pending change).
#include <windows.h>

#include "editor/main_window.h"
#include "editor/message_loop.h"

namespace {

constexpr int kSwapFileFailureStatus = 1;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  if (previous == nullptr && !RegisterMainWindowClass(instance)) return 0;
  const char* path = commandLine != nullptr ? commandLine : "";
  while (*path == ' ' || *path == '\t') ++path;
  if (CreateMainWindow(instance, path, showCommand) == nullptr)
    return SwapFileFailedAtStart() ? kSwapFileFailureStatus : 0;
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) ProcessMessage(&message);
  return static_cast<int>(message.wParam);
}
