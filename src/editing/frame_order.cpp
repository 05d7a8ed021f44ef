#include "editing/frame_order.h"

#include <utility>

#include "document/document.h"
#include "document/ui_operations.h"

bool DuplicateFrame(int index) {
  if (index < 0 || index >= doc.frameCount || !InsertFrame(index + 1)) return false;
  *doc.frames[index + 1] = *doc.frames[index];
  CreateFramePalette(index + 1);
  UpdateCutCopyEnabled();
  return true;
}

bool MoveFrame(int index, int step) {
  const int other = index + step;
  if ((step != -1 && step != 1) || index < 0 || index >= doc.frameCount || other < 0 || other >= doc.frameCount)
    return false;
  std::swap(doc.frames[index], doc.frames[other]);
  std::swap(doc.framePalettes[index], doc.framePalettes[other]);
  return true;
}

bool MoveFrameTo(int from, int to) {
  if (from < 0 || from >= doc.frameCount || to < 0 || to >= doc.frameCount) return false;
  const int step = to > from ? 1 : -1;
  for (int i = from; i != to; i += step) MoveFrame(i, step);
  return true;
}
