// Placeholder until frames go through the clipboard.
#include "shell/clipboard.h"

void CopyFrameToClipboard(int) {}
void PasteFromClipboard(int) {}
void JoinClipboardChain(HWND) {}
void LeaveClipboardChain(HWND) {}
LRESULT OnClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}
void RemovePasteFile() {}
