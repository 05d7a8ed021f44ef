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
#include "editor/file_dialogs.h"
#include "editor/shell_state.h"

namespace {

constexpr char kWriteError[] = "Error in writing file";

// Either dialog, starting in the current folder.
FileDialog PaletteDialog(DWORD flags) {
  FileDialog dialog;
  dialog.filter = IDS_FILTER_PALETTE;
  dialog.folder = "";
  dialog.flags = flags;
  return dialog;
}

}  // namespace

void LoadPaletteFromDialog() {
  if (!IsImageFrame(doc.currentFrame)) return;
  StopPlayback();
  FileDialog dialog = PaletteDialog(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
  if (!ChooseFileToOpen(&dialog)) return;
  // A refused file has been reported and left the frame as it was.
  if (!LoadPaletteFile(dialog.path.c_str(), doc.currentFrame)) return;
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}

void SavePaletteFromDialog() {
  if (!IsImageFrame(doc.currentFrame)) return;
  StopPlayback();
  FileDialog dialog = PaletteDialog(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
  dialog.defaultExtension = L"PAL";
  if (!ChooseFileToSave(&dialog)) return;
  if (!SavePaletteFile(dialog.path.c_str(), doc.currentFrame)) ShowMessage(kWriteError);
  EndProgress();
}
