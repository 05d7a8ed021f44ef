// The Colors and Options menus as a user drives them: the colour-count
// dialog's number and its ways out, Load/Save palette through their file
// dialogs, and Crop frames to dirty rectangles with the file it leaves, which
// must be the one frambo-cli writes. What the commands compute is the core's
// to test; here, that the menus get there.
#include "document/settings.h"
#include "editor/colour_count_dialog.h"
#include "gui_harness.h"

// Ends a dialog its answer left open, which would hold the test for good.
static void CALLBACK EndDialogLeftOpen(HWND dialog, UINT, UINT_PTR, DWORD) { EndDialog(dialog, -1); }

TEST(ColourMenu, DecreaseTakesTheNumberTheDialogShowsOnlyWhenItIsConfirmed) {
  GifBuilder gif;  // 16 x 16 pixels of 256 distinct colours
  std::vector<uint8_t> pixels(256);
  for (int i = 0; i < 256; ++i) pixels[size_t(i)] = uint8_t(i * 7);
  EditorSession session(WriteGif("256-colours.gif", gif.Header().Screen(16, 16).Image(0, 0, 16, 16, pixels, {256})));
  std::string seen;  // the dialog's caption, then its number before and after its down arrow
  const auto pressDown = [&seen](HWND dialog) {
    HWND number = GetDlgItem(dialog, IDC_COLOR_COUNT_NUMBER);
    seen = WindowText(dialog) + " " + WindowText(number);
    SendMessageA(number, WM_VSCROLL, SB_LINEDOWN, 0);
    seen += " " + WindowText(number);
    // Posted to the focus it opens with, through the dialog's own handling: 16, 4, 2, 2 (held).
    for (UINT key : {VK_NEXT, VK_NEXT, VK_LEFT, VK_DOWN}) PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    SetTimer(dialog, 1, 1000, EndDialogLeftOpen);  // gone with the dialog
  };
  for (int button : {IDCANCEL, IDC_COLOR_COUNT_CANCEL, IDOK}) session.Answer({button, "", pressDown});
  for (int i = 0; i < 3; ++i) session.Command(IDM_COLORS_DECREASE);
  EXPECT_EQ("Decrease color depth 128 64", seen) << "expected the arrow to halve it";
  EXPECT_LE(doc.frames[0]->colorCount, 2) << "expected Enter alone, after two cancels, to reduce to the number shown";
  WNDCLASSA unused;
  EXPECT_FALSE(GetClassInfoA(appInstance, kDepthControlClass, &unused)) << "expected the control's class gone";
}

TEST(ColourMenu, PaletteFilesAreSavedAndLoadedThroughTheirDialogsAndFailuresSaid) {
  EditorSession session(DataFile("animated-red-blue.gif"));
  const std::string palette = ScratchFile("saved");  // the dialog adds ".PAL"
  session.AnswerFileName(palette);
  session.Command(IDM_COLORS_SAVE_PALETTE);
  EXPECT_FALSE(FileBytes(palette + ".PAL").empty()) << "expected the palette file written";
  EXPECT_EQ(0, doc.modified) << "expected saving a palette to leave the document as it was";
  session.SelectEntry(1);
  session.AnswerFileName(palette + ".PAL");
  session.Command(IDM_COLORS_LOAD_PALETTE);
  EXPECT_TRUE(doc.modified && !doc.frames[1]->useGlobalPalette) << "expected the frame on the loaded palette";
  session.AnswerFileName(DataFile("count-0.pal"));
  session.Command(IDM_COLORS_LOAD_PALETTE);
  EXPECT_EQ("Error in reading file", session.LastShown());
  // Held open without sharing by another program, the file cannot be made anew.
  HANDLE held = CreateFileA((palette + ".PAL").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  session.AnswerFileName(palette + ".PAL");
  session.AnswerButton(IDYES);  // replace it?
  session.Command(IDM_COLORS_SAVE_PALETTE);
  CloseHandle(held);
  EXPECT_EQ("Error in writing file", session.LastShown());
  EXPECT_EQ(session.main(), session.shown().back().owner);
}

TEST(DirtyRectangleCommands, CropSaysItIsDoneAndTheSavedFileIsFramboClis) {
  const std::string input = DataFile("dirty-rect-sprite.gif"), ours = ScratchFile("crop-gui.gif");
  const std::string theirs = ScratchFile("crop-cli.gif");
  EditorSession session(input);
  session.Command(IDM_OPTIONS_CROP_TO_DIRTY);
  EXPECT_EQ("Optimization completed", session.LastShown());
  EXPECT_TRUE(session.shown().back().owner == session.main() && doc.modified && session.StatusBarText().empty())
      << "expected the box owned by the main window, the document modified, the status text cleared";
  settings.addCreditComment = 1;  // as frambo-cli writes by default
  settings.interlacedSave = 0;
  session.AnswerFileName(ours);
  session.Command(IDM_FILE_SAVE_AS);
  HANDLE cli = StartProcess(FRAMBO_BUILD_DIR "/frambo-cli.exe", "optimize \"" + input + "\" -o \"" + theirs + "\"");
  EXPECT_EQ(0, ExitStatus(cli));
  CloseHandle(cli);
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli optimize's";
}
