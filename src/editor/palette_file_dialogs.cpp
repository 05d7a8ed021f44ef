// The palette files' dialogs: filter string 9 ("Palette file (*.pal)|*.pal|",
// its last character separating the parts), owned by the main window,
// starting in the current folder.
#include "editor/palette_file_dialogs.h"

#include <windows.h>

#include <commdlg.h>

#include "document/document.h"
#include "document/ui_operations.h"
#include "formats/palette_file.h"
#include "resource_ids.h"
#include "editor/shell_state.h"

namespace {

constexpr int kDialogTextSize = 256;
constexpr char kWriteError[] = "Error in writing file";

char palettePath[kDialogTextSize] = "";
char paletteTitle[kDialogTextSize] = "";
char paletteFilter[kDialogTextSize] = "";

bool LoadPaletteFilter() {
  const int length = LoadStringA(appInstance, IDS_FILTER_PALETTE, paletteFilter, kDialogTextSize - 1);
  if (length <= 0) return false;
  const char separator = paletteFilter[length - 1];
  for (int i = 0; i < length; ++i)
    if (paletteFilter[i] == separator) paletteFilter[i] = '\0';
  paletteFilter[length] = '\0';  // the list ends with two NULs
  return true;
}

// The record of either dialog with empty buffers; false when the filter
// cannot be had.
bool PrepareDialog(OPENFILENAMEA* record, DWORD flags) {
  palettePath[0] = '\0';
  paletteTitle[0] = '\0';
  if (!LoadPaletteFilter()) return false;
  *record = OPENFILENAMEA{};
  record->lStructSize = sizeof *record;
  record->hwndOwner = mainWindow;
  record->lpstrFilter = paletteFilter;
  record->nFilterIndex = 0;
  record->lpstrFile = palettePath;
  record->nMaxFile = kDialogTextSize;
  record->lpstrFileTitle = paletteTitle;
  record->nMaxFileTitle = kDialogTextSize;
  record->lpstrInitialDir = "";
  record->Flags = flags;
  return true;
}

}  // namespace

void LoadPaletteFromDialog() {
  if (!IsImageFrame(doc.currentFrame)) return;
  StopPlayback();
  OPENFILENAMEA record;
  if (!PrepareDialog(&record, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY)) return;
  if (!GetOpenFileNameA(&record)) return;
  // A refused file has been reported and left the frame as it was.
  if (!LoadPaletteFile(palettePath, doc.currentFrame)) return;
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}

void SavePaletteFromDialog() {
  if (!IsImageFrame(doc.currentFrame)) return;
  StopPlayback();
  OPENFILENAMEA record;
  if (!PrepareDialog(&record, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY)) return;
  record.lpstrDefExt = "PAL";
  if (!GetSaveFileNameA(&record)) return;
  if (!SavePaletteFile(palettePath, doc.currentFrame)) ShowMessage(kWriteError);
  EndProgress();
}
