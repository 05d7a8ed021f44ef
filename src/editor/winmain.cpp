// The program entry: the main window and the message loop, which hands each
// message to ProcessMessage (keys, wheel, then the deferred save and the
// frames window's pending change).
#include <windows.h>

#include <string>

#include "platform/utf8_path.h"
#include "editor/main_window.h"
#include "editor/message_loop.h"

namespace {

constexpr int kSwapFileFailureStatus = 1;

// The command line after the program's name, in UTF-8: a name in any
// language arrives whole, whatever the system's code page.
std::string ArgumentText() {
  const wchar_t* line = GetCommandLineW();
  if (*line == L'"') {
    for (++line; *line != L'\0' && *line != L'"';) ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return Utf8(line);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
  if (previous == nullptr && !RegisterMainWindowClass(instance)) return 0;
  if (CreateMainWindow(instance, ArgumentText().c_str(), showCommand) == nullptr)
    return SwapFileFailedAtStart() ? kSwapFileFailureStatus : 0;
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) ProcessMessage(&message);
  return static_cast<int>(message.wParam);
}
