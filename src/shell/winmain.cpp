// The program entry: the main window, the swap file, the file named on the
// command line, and the message loop.
#include <windows.h>

#include <cstring>

#include "document/document.h"
#include "document/load_file.h"
#include "document/ui_operations.h"
#include "shell/main_window.h"

namespace {

// Opens path as the document. The path is used exactly as typed (quotes
// included), so a name that does not exist is reported as unreadable.
void OpenCommandLineFile(const char* path) {
  // A path that does not fit doc.fileName would be saved back under a cut-off
  // name later; refuse it before anything is read.
  if (strlen(path) >= sizeof doc.fileName) {
    ShowReadError();
    return;
  }
  if (LoadDocument(path)) {
    strcpy(doc.fileName, path);
  } else {
    // The reader has told the user; what it read before failing goes, as when
    // any other open fails.
    ClearDocument();
  }
  UpdateTitle();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  if (previous == nullptr && !RegisterMainWindowClass(instance)) return 0;
  HWND window = CreateMainWindow(instance);
  if (window == nullptr) return 0;
  if (!OpenSwapFile()) {
    MessageBoxA(window, "Cannot create the swap file in the temporary folder", kProgramTitle,
                MB_OK | MB_ICONSTOP);
    DestroyWindow(window);
    return 1;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  if (commandLine != nullptr && *commandLine != '\0') OpenCommandLineFile(commandLine);

  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    CommitPendingChange();
  }
  return static_cast<int>(message.wParam);
}
