// The Colors menu's commands. The work is done by the colour cores; this
// module puts the dialogs in front of them.
#include "editor/colour_menu.h"

#include "colour/color_pick.h"
#include "colour/colour_commands.h"
#include "document/document.h"
#include "resource_ids.h"
#include "editor/colour_count_dialog.h"
#include "editor/frames_window.h"
#include "editor/palette_file_dialogs.h"
#include "editor/shell_state.h"

namespace {

int ChosenCount() { return 2 << depthExponent; }

void DecreaseColors() {
  if (!BeginDecreaseColors()) return;
  if (!ColorCountDialog(mainWindow, ColourCountForm::kDecrease)) return;
  DecreaseFrameColors(doc.currentFrame, ChosenCount());
}

void OptimalPalette() {
  BeginOptimalPalette();
  if (!ColorCountDialog(mainWindow, ColourCountForm::kOptimalPalette)) return;
  CalculateOptimalPalette(ChosenCount());
}

// The menu command and the panel's Pick button run the same code: the
// panel's.
void TransparentPick() {
  if (framesWindow != nullptr)
    SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kPickButtonId, BN_CLICKED), 0);
  else
    ArmTransparentPick();
}

}  // namespace

LRESULT OnColourCommand(int id) {
  switch (id) {
    case IDM_COLORS_LOAD_PALETTE: LoadPaletteFromDialog(); break;
    case IDM_COLORS_SAVE_PALETTE: SavePaletteFromDialog(); break;
    case IDM_COLORS_GRAY_SCALE: GrayScaleCurrentFrame(); break;
    case IDM_COLORS_DECREASE: DecreaseColors(); break;
    case IDM_COLORS_BACKGROUND: ArmBackgroundPick(); break;
    case IDM_COLORS_TRANSPARENT: TransparentPick(); break;
    case IDM_COLORS_OPTIMAL_PALETTE: OptimalPalette(); break;
  }
  return 0;
}
