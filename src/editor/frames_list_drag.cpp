// The list keeps its own clicking and selecting; while the button is held
// after pressing on an entry, the mouse moves are taken from it, so that the
// selection (and the current frame) stay on the dragged entry until the
// release says where it goes.
#include "editor/frames_list_drag.h"

#include "document/document.h"
#include "resource_ids.h"
#include "editor/commands.h"
#include "editor/undo_commands.h"

namespace {

WNDPROC listProc = nullptr;
int draggedEntry = -1;
bool dragMoved = false;

// The entry under a point of the list's client area; below the last one,
// the last one.
int EntryAt(HWND list, LPARAM point) {
  const LRESULT found = SendMessageA(list, LB_ITEMFROMPOINT, 0, point);
  const int entry = LOWORD(found);
  return entry < doc.frameCount ? entry : doc.frameCount - 1;
}

void EndDrag(HWND list, LPARAM point) {
  const int from = draggedEntry;
  draggedEntry = -1;
  if (!dragMoved || from != doc.currentFrame) return;
  const int to = EntryAt(list, point);
  if (to < 0 || to == from) return;
  MoveCurrentFrameTo(to);
  RecordCommandStep(to > from ? IDM_EDIT_MOVE_LATER : IDM_EDIT_MOVE_EARLIER);
}

LRESULT CALLBACK DragListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      draggedEntry = doc.frameCount > 0 ? EntryAt(list, lParam) : -1;
      dragMoved = false;
      break;
    case WM_MOUSEMOVE:
      if (draggedEntry < 0 || (wParam & MK_LBUTTON) == 0) break;
      dragMoved = dragMoved || EntryAt(list, lParam) != draggedEntry;
      SetCursor(LoadCursorA(nullptr, dragMoved ? IDC_SIZENS : IDC_ARROW));
      return 0;
    case WM_LBUTTONUP: {
      const LRESULT result = CallWindowProcA(listProc, list, message, wParam, lParam);
      if (draggedEntry >= 0) EndDrag(list, lParam);
      return result;
    }
  }
  return CallWindowProcA(listProc, list, message, wParam, lParam);
}

}  // namespace

void FollowDragsIn(HWND list) {
  if (list == nullptr) return;
  listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DragListProc)));
}
