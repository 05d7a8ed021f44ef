// The Colors menu as a user drives it: the colour-count dialog's number and
// keys, Decrease, Gray scale and Calculate optimal palette on real frames,
// the colour picks the menu arms, and Load/Save palette through their file
// dialogs. Whatever a command leaves is saved and compared with the file
// frambo-cli writes for the same command.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "gif_builder.h"
#include "colour/color_pick.h"
#include "command_output_support.h"
#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/colour_count_dialog.h"
#include "editor/shell_state.h"
#include "view_test_support.h"
#include "editor/frames_window.h"

namespace {

constexpr char kReadError[] = "Error in reading file";

// What the dialog showed while the test worked its number control.
struct DialogSeen {
  std::string caption;
  std::string prompt;
  std::vector<std::string> numbers;  // at opening, then after each press
  bool controlClassRegistered = false;
};

std::string NumberShown(HWND dialog) { return WindowText(GetDlgItem(dialog, IDC_COLOR_COUNT_NUMBER)); }

bool DepthClassRegistered() {
  WNDCLASSA existing;
  return GetClassInfoA(appInstance, kDepthControlClass, &existing) != 0;
}

// A dialog that a press did not close would hold the test in its modal loop
// for good: it is ended from outside a second later and reported.
HWND watchedDialog = nullptr;
bool dialogLeftOpen = false;

void CALLBACK EndDialogLeftOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (watchedDialog != nullptr && IsWindow(watchedDialog)) {
    dialogLeftOpen = true;
    EndDialog(watchedDialog, 0);
  }
  watchedDialog = nullptr;
}

void WatchDialog(HWND dialog) {
  watchedDialog = dialog;
  dialogLeftOpen = false;
  SetTimer(nullptr, 0, 1000, EndDialogLeftOpen);
}

void ExpectDialogClosedByItsAnswer(const char* answer) {
  EXPECT_FALSE(dialogLeftOpen) << "expected " << answer << " to close the dialog, got it still open";
  dialogLeftOpen = false;
}

// Queues a visit to the colour-count dialog: the scroll codes pressed in
// turn on its number control, then button.
void AnswerColourCount(EditorSession& session, DialogSeen* seen, std::vector<int> presses, int button) {
  session.AnswerAfter(
      [seen, presses](HWND dialog) {
        WatchDialog(dialog);
        seen->caption = WindowText(dialog);
        seen->prompt = WindowText(GetDlgItem(dialog, IDC_COLOR_COUNT_PROMPT));
        seen->controlClassRegistered = DepthClassRegistered();
        seen->numbers.push_back(NumberShown(dialog));
        HWND number = GetDlgItem(dialog, IDC_COLOR_COUNT_NUMBER);
        for (int code : presses) {
          SendMessageA(number, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
          seen->numbers.push_back(NumberShown(dialog));
        }
      },
      button);
}

std::vector<int> Presses(int count, int code) { return std::vector<int>(static_cast<size_t>(count), code); }

// 16 x 16 pixels showing each of 256 distinct colours of a local table once.
std::string TwoHundredFiftySixColours(const char* name) {
  GifBuilder gif;
  gif.Header().Screen(16, 16);
  std::vector<uint8_t> pixels(256);
  for (int i = 0; i < 256; ++i) pixels[static_cast<size_t>(i)] = static_cast<uint8_t>((i * 7) % 256);
  ImageOptions local;
  local.localColors = 256;
  gif.Image(0, 0, 16, 16, pixels, local);
  return WriteGif(name, gif);
}

// A 4 x 2 screen with a global table of the given colours (a power of two of
// them) and one frame on it.
std::string GlobalTableGif(const char* name, const std::vector<RgbTriple>& colours, const std::vector<uint8_t>& pixels) {
  GifBuilder gif;
  gif.Header();
  int field = 0;
  while ((2 << field) < static_cast<int>(colours.size())) ++field;
  gif.Raw({4, 0, 2, 0, static_cast<uint8_t>(0xF0 | field), 0, 0});
  for (const RgbTriple& c : colours) gif.Raw({c.red, c.green, c.blue});
  gif.Image(0, 0, 4, 2, pixels);
  return WriteGif(name, gif);
}

// A palette file: "RIFF", its size, form (normally "PAL data"), the chunk
// size, version 0x0300, countField, then the entries, then four zeros.
std::vector<uint8_t> PaletteFileBytes(int16_t countField, const std::vector<RgbTriple>& entries,
                                      const char* form = "PAL data") {
  std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
  const uint32_t n = static_cast<uint32_t>(entries.size());
  auto put32 = [&bytes](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(4 * n + 20);
  bytes.insert(bytes.end(), form, form + 8);
  put32(4 * n + 8);
  bytes.insert(bytes.end(), {0x00, 0x03, static_cast<uint8_t>(countField), static_cast<uint8_t>(countField >> 8)});
  for (const RgbTriple& c : entries) bytes.insert(bytes.end(), {c.red, c.green, c.blue, 0});
  bytes.insert(bytes.end(), 4, 0);
  return bytes;
}

std::string PaletteFile(const char* name, const std::vector<uint8_t>& bytes) {
  const std::string path = ScratchFile(name);
  WriteBytes(path, bytes);
  return path;
}

uint32_t Dword(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

void LoadPalette(EditorSession& session, const std::string& path) {
  session.AnswerFileName(path);
  session.Command(IDM_COLORS_LOAD_PALETTE);
}

// Everything of the current frame a colour command may change.
struct FrameLook {
  std::vector<uint8_t> pixels;
  std::vector<RgbTriple> colours;
  int colorCount = 0;
  int useGlobalPalette = 0;
};

FrameLook CurrentFrameLook() {
  const Frame& frame = *doc.frames[doc.currentFrame];
  return FrameLook{FramePixels(doc.currentFrame), FrameColours(doc.currentFrame, 256), frame.colorCount,
                   frame.useGlobalPalette};
}

void ExpectSameLook(const FrameLook& before, const char* situation) {
  const FrameLook after = CurrentFrameLook();
  EXPECT_EQ(before.pixels, after.pixels) << situation << ": expected the pixels unchanged";
  EXPECT_EQ(before.colours, after.colours) << situation << ": expected the palette unchanged";
  EXPECT_EQ(before.colorCount, after.colorCount) << situation;
  EXPECT_EQ(before.useGlobalPalette, after.useGlobalPalette) << situation;
}

}  // namespace

// ---- the colour-count dialog ------------------------------------------------

TEST(ColourCountDialog, TwoHundredFiftySixColoursOfferHalvingsFrom128DownToTwo) {
  const std::string input = TwoHundredFiftySixColours("decrease256.gif");
  EditorSession session(input);
  StatusTextRecorder status(session.StatusBar());
  DialogSeen seen;
  std::vector<int> presses = {SB_LINEUP};
  for (int code : Presses(7, SB_LINEDOWN)) presses.push_back(code);
  AnswerColourCount(session, &seen, presses, IDC_COLOR_COUNT_OK);
  session.Command(IDM_COLORS_DECREASE);

  ASSERT_EQ(1u, session.shown().size()) << "expected the dialog and nothing else";
  EXPECT_EQ("Decrease color depth", seen.caption);
  EXPECT_EQ("Enter new number of colors:", seen.prompt);
  EXPECT_EQ((std::vector<std::string>{"128", "128", "64", "32", "16", "8", "4", "2", "2"}), seen.numbers)
      << "expected 128 first, up to stay there and the seventh press down to stay at 2";
  EXPECT_TRUE(seen.controlClassRegistered);
  EXPECT_FALSE(DepthClassRegistered()) << "expected the number control's class gone with the dialog";

  const Frame& frame = *doc.frames[0];
  EXPECT_LE(frame.colorCount, 2);
  EXPECT_EQ(0, frame.useGlobalPalette);
  for (uint8_t pixel : FramePixels(0)) ASSERT_LT(pixel, 2) << "expected only the two remaining colours used";
  EXPECT_EQ(1, doc.modified);
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE));
  EXPECT_EQ((std::vector<std::string>{"Reducing color depth ...", ""}), status.distinct());

  const std::string ours = ScratchFile("decrease256-gui.gif"), theirs = ScratchFile("decrease256-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("reduce 2 " + Quoted(input) + " -o " + Quoted(theirs) + " --frame 0"));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli reduce's";
}

TEST(ColourCountDialog, EscapeAndTheCloseBoxCancelWhileEnterTakesTheNumber) {
  const std::string input = TwoHundredFiftySixColours("keys256.gif");
  EditorSession session(input);
  const FrameLook before = CurrentFrameLook();

  DialogSeen escape;
  AnswerColourCount(session, &escape, {SB_LINEDOWN}, IDCANCEL);
  session.Command(IDM_COLORS_DECREASE);
  ExpectDialogClosedByItsAnswer("Escape");
  ExpectSameLook(before, "Escape");

  DialogSeen cancel;
  AnswerColourCount(session, &cancel, {SB_LINEDOWN}, IDC_COLOR_COUNT_CANCEL);
  session.Command(IDM_COLORS_DECREASE);
  ExpectDialogClosedByItsAnswer("CANCEL");
  ExpectSameLook(before, "CANCEL");

  session.AnswerAfter(
      [](HWND dialog) {
        WatchDialog(dialog);
        SendMessageA(dialog, WM_CLOSE, 0, 0);
      },
      IDC_COLOR_COUNT_PROMPT);
  session.Command(IDM_COLORS_DECREASE);
  ExpectDialogClosedByItsAnswer("the close box");
  ExpectSameLook(before, "the close box");
  EXPECT_EQ(3u, session.shown().size());
  EXPECT_EQ(0, doc.modified) << "expected nothing to save after three cancelled dialogs";
  EXPECT_EQ((std::vector<std::string>{"128", "64"}), cancel.numbers);

  DialogSeen enter;
  AnswerColourCount(session, &enter, {SB_LINEDOWN, SB_LINEDOWN}, IDOK);
  session.Command(IDM_COLORS_DECREASE);
  ExpectDialogClosedByItsAnswer("Enter");
  EXPECT_EQ((std::vector<std::string>{"128", "64", "32"}), enter.numbers) << "expected a new dialog to start at 128";
  EXPECT_EQ(32, doc.frames[0]->colorCount) << "expected Enter to reduce to the number shown";
  EXPECT_EQ(1, doc.modified);
}

TEST(ColourCountDialog, ThreeColoursOfferOnlyTwoAndTwoColoursAskNothing) {
  EditorSession session(GlobalTableGif("three.gif", {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}},
                                       {0, 1, 2, 3, 3, 2, 1, 0}));
  // A palette file of three colours leaves the frame with exactly three.
  LoadPalette(session, PaletteFile("three.pal", PaletteFileBytes(3, {{250, 0, 0}, {0, 250, 0}, {0, 0, 250}})));
  ASSERT_EQ(3, doc.frames[0]->colorCount);

  DialogSeen seen;
  AnswerColourCount(session, &seen, {SB_LINEUP, SB_LINEDOWN}, IDC_COLOR_COUNT_OK);
  session.Command(IDM_COLORS_DECREASE);
  EXPECT_EQ((std::vector<std::string>{"2", "2", "2"}), seen.numbers);
  EXPECT_EQ(2, doc.frames[0]->colorCount);

  const size_t shownBefore = session.shown().size();
  const FrameLook before = CurrentFrameLook();
  session.Command(IDM_COLORS_DECREASE);
  EXPECT_EQ(shownBefore, session.shown().size()) << "expected no dialog for a frame of two colours";
  ExpectSameLook(before, "two colours");
}

// ---- Calculate optimal palette ----------------------------------------------

namespace {

// Two frames of different local tables around a comment.
std::string TwoFramesAndAComment(const char* name) {
  GifBuilder gif;
  gif.Header().Screen(8, 4);
  ImageOptions local;
  local.localColors = 32;
  std::vector<uint8_t> first(32), second(32);
  for (int i = 0; i < 32; ++i) {
    first[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    second[static_cast<size_t>(i)] = static_cast<uint8_t>(31 - i);
  }
  gif.GraphicControl(1, false, 10, 0).Image(0, 0, 8, 4, first, local);
  gif.Comment("between the frames");
  local.localColors = 8;
  for (uint8_t& p : second) p = static_cast<uint8_t>(p % 8);
  gif.GraphicControl(1, false, 10, 0).Image(0, 0, 8, 4, second, local);
  return WriteGif(name, gif);
}

}  // namespace

TEST(OptimalPalette, FormStartsAt256AndPutsEveryImageFrameOnOneTableOfTheChosenSize) {
  const std::string input = TwoFramesAndAComment("optimal.gif");
  EditorSession session(input);
  DialogSeen seen;
  std::vector<int> presses = {SB_LINEUP};
  for (int code : Presses(4, SB_LINEDOWN)) presses.push_back(code);
  AnswerColourCount(session, &seen, presses, IDC_COLOR_COUNT_OK);
  session.AnswerButton(IDOK);
  session.Command(IDM_COLORS_OPTIMAL_PALETTE);

  EXPECT_EQ("Optimal palette", seen.caption);
  EXPECT_EQ("Maximum number of colors:", seen.prompt);
  EXPECT_EQ((std::vector<std::string>{"256", "256", "128", "64", "32", "16"}), seen.numbers);
  ASSERT_EQ(2u, session.shown().size());
  EXPECT_EQ("Optimal palette calculated", session.shown()[1].text);
  EXPECT_EQ("Frambo Version 1.1", session.shown()[1].caption);
  EXPECT_EQ(session.main(), session.shown()[1].owner);
  ASSERT_EQ(3, doc.frameCount);
  EXPECT_EQ(1, doc.frames[0]->useGlobalPalette);
  EXPECT_EQ(kCommentDisposal, doc.frames[1]->disposal) << "expected the comment left a comment";
  EXPECT_EQ(1, doc.frames[2]->useGlobalPalette);
  EXPECT_EQ(1, doc.hasGlobalPalette);
  EXPECT_GE(16, doc.globalColorCount);
  EXPECT_EQ(1, doc.modified);

  const std::string ours = ScratchFile("optimal-gui.gif"), theirs = ScratchFile("optimal-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("colors 16 " + Quoted(input) + " -o " + Quoted(theirs)));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli colors's";
}

TEST(OptimalPalette, CancelChangesNothingAndSaysNothing) {
  EditorSession session(TwoFramesAndAComment("optimal-cancel.gif"));
  DialogSeen seen;
  AnswerColourCount(session, &seen, Presses(2, SB_LINEDOWN), IDCANCEL);
  session.Command(IDM_COLORS_OPTIMAL_PALETTE);
  EXPECT_EQ(1u, session.shown().size()) << "expected no message after CANCEL";
  EXPECT_EQ(0, doc.frames[0]->useGlobalPalette);
  EXPECT_EQ(0, doc.hasGlobalPalette);
  EXPECT_EQ(0, doc.modified);
}

// ---- Gray scale ---------------------------------------------------------------

TEST(GrayScale, EqualWeightsGiveEachColourItsGreyIndexOnAnOwnPaletteOf256) {
  const std::string input =
      GlobalTableGif("gray.gif", {{30, 60, 90}, {200, 10, 11}, {255, 255, 255}, {0, 0, 0}}, {0, 1, 2, 3, 0, 0, 1, 2});
  EditorSession session(input);
  ASSERT_EQ(1, doc.frames[0]->useGlobalPalette);
  session.Command(IDM_COLORS_GRAY_SCALE);

  EXPECT_TRUE(session.shown().empty()) << "expected Gray scale to show nothing";
  const Frame& frame = *doc.frames[0];
  EXPECT_EQ(256, frame.colorCount);
  EXPECT_EQ(0, frame.useGlobalPalette) << "expected the frame on its own palette";
  std::vector<uint8_t> pixels = FramePixels(0);
  // Rows are stored bottom-up, each padded to 4 bytes: (0,1) (1,1) ... then row 0.
  EXPECT_EQ((std::vector<uint8_t>{60, 60, 73, 255, 60, 73, 255, 0}), pixels)
      << "expected (30,60,90) -> 60, (200,10,11) -> 73, white 255, black 0";
  EXPECT_EQ((RgbTriple{60, 60, 60}), FrameColours(0, 256)[60]);
  EXPECT_EQ((RgbTriple{73, 73, 73}), FrameColours(0, 256)[73]);
  EXPECT_EQ(1, doc.modified);

  const std::string ours = ScratchFile("gray-gui.gif"), theirs = ScratchFile("gray-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("gray " + Quoted(input) + " -o " + Quoted(theirs) + " --frame 0"));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli gray's";
}

TEST(ColourCommands, WithoutFramesOrOnACommentNothingIsAskedOrChanged) {
  {
    EditorSession session;
    for (int command : {IDM_COLORS_LOAD_PALETTE, IDM_COLORS_SAVE_PALETTE, IDM_COLORS_GRAY_SCALE, IDM_COLORS_DECREASE})
      session.Command(command);
    EXPECT_TRUE(session.shown().empty()) << "expected no dialog in an empty document";
    EXPECT_EQ(0, doc.frameCount);
    EXPECT_EQ(0, doc.modified);
  }
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Comment("a note").Image(0, 0, 2, 2, {0, 1, 2, 3});
  EditorSession session(WriteGif("comment-first.gif", gif));
  for (int step = 0; step < 2 && !IsComment(*doc.frames[doc.currentFrame]); ++step)
    session.Command(IDM_ANIMATION_NEXT_FRAME);
  ASSERT_TRUE(IsComment(*doc.frames[doc.currentFrame]));
  for (int command : {IDM_COLORS_LOAD_PALETTE, IDM_COLORS_SAVE_PALETTE, IDM_COLORS_GRAY_SCALE, IDM_COLORS_DECREASE})
    session.Command(command);
  EXPECT_TRUE(session.shown().empty()) << "expected no dialog on a comment entry";
  EXPECT_EQ(kCommentDisposal, doc.frames[0]->disposal);
  EXPECT_EQ(0, doc.modified);
}

// ---- picks ------------------------------------------------------------------

TEST(ColourPicksFromTheMenu, ArmingFollowsTheMenuAndThePanelButtonAlikeAndAReleaseApplies) {
  EditorSession session(GlobalTableGif("picks.gif", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}},
                                       {0, 1, 2, 3, 3, 2, 1, 0}));
  pickMode = kNoPick;
  session.Command(IDM_COLORS_TRANSPARENT);
  EXPECT_EQ(kPickTransparent, pickMode);
  session.Command(IDM_COLORS_TRANSPARENT);
  EXPECT_EQ(kNoPick, pickMode) << "expected Set Transparent color twice to disarm";
  session.Command(IDM_COLORS_BACKGROUND);
  session.Command(IDM_COLORS_TRANSPARENT);
  EXPECT_EQ(kPickBackground, pickMode) << "expected a background pick to stay armed";
  session.Command(IDM_COLORS_BACKGROUND);
  EXPECT_EQ(kNoPick, pickMode);
  session.Command(IDM_COLORS_TRANSPARENT);
  SendMessageA(session.FramesControl(kPickButtonId), BM_CLICK, 0, 0);
  session.Pump();
  EXPECT_EQ(kNoPick, pickMode) << "expected the Pick button to disarm what the menu armed";
  session.Command(IDM_COLORS_TRANSPARENT);
  session.Command(IDM_COLORS_BACKGROUND);
  EXPECT_EQ(kPickBackground, pickMode) << "expected Set Background color to take over a transparent pick";
  EXPECT_EQ(0, doc.modified) << "expected arming alone to change nothing";

  // Frame pixel (2,0) is index 2, at view (2,0) at 1:1.
  SendMessageA(session.ImageView(), WM_LBUTTONUP, 0, MAKELPARAM(2, 0));
  session.Pump();
  EXPECT_EQ(2, doc.backgroundIndex);
  EXPECT_EQ(kNoPick, pickMode);
  EXPECT_EQ(1, doc.modified);
}

// ---- palette files --------------------------------------------------------------

TEST(PaletteFiles, SixteenColoursSaveAs92BytesAndComeBackLeavingThePixels) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 16);
  std::vector<uint8_t> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(15 - i);
  gif.Image(0, 0, 4, 4, pixels);
  const std::string input = WriteGif("sixteen.gif", gif);
  EditorSession session(input);
  ASSERT_EQ(16, doc.frames[0]->colorCount);

  // Typed without an extension: the dialog adds ".PAL".
  const std::string typed = ScratchFile("sixteen-gui");
  DeleteFileA((typed + ".PAL").c_str());
  session.AnswerFileName(typed);
  session.Command(IDM_COLORS_SAVE_PALETTE);
  const std::vector<uint8_t> saved = FileBytes(typed + ".PAL");
  ASSERT_EQ(92u, saved.size()) << "expected 16 entries in a file of 4n + 28 bytes";
  EXPECT_EQ(0, memcmp(saved.data(), "RIFF", 4));
  EXPECT_EQ(84u, Dword(saved, 4));
  EXPECT_EQ(0, memcmp(saved.data() + 8, "PAL data", 8));
  EXPECT_EQ(72u, Dword(saved, 16));
  EXPECT_EQ(0x00100300u, Dword(saved, 20)) << "expected version 0x0300 and count 16";
  EXPECT_EQ((std::vector<uint8_t>{3, 3, 252, 0}), std::vector<uint8_t>(saved.begin() + 36, saved.begin() + 40))
      << "expected entry 3 as red, green, blue, 0";
  EXPECT_EQ(0u, Dword(saved, 88));
  EXPECT_EQ(0, doc.modified) << "expected saving a palette to leave the document as it was";
  const std::string cliPalette = ScratchFile("sixteen-cli.pal");
  ASSERT_EQ(0, RunCli("palette-save " + Quoted(input) + " 0 " + Quoted(cliPalette)));
  EXPECT_EQ(FileBytes(cliPalette), saved) << "expected frambo-cli palette-save's file";

  const std::vector<uint8_t> pixelsBefore = FramePixels(0);
  LoadPalette(session, typed + ".PAL");
  EXPECT_TRUE(session.shown().size() == 2 && session.shown()[1].text.empty()) << "expected no message";
  EXPECT_EQ(pixelsBefore, FramePixels(0)) << "expected every entry to find itself";
  EXPECT_EQ(16, doc.frames[0]->colorCount);
  EXPECT_EQ(0, doc.frames[0]->useGlobalPalette) << "expected the frame to keep the loaded palette as its own";
  EXPECT_EQ(1, doc.modified);

  const std::string ours = ScratchFile("sixteen-gui.gif"), theirs = ScratchFile("sixteen-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("palette-load " + Quoted(input) + " 0 " + Quoted(typed + ".PAL") + " -o " + Quoted(theirs)));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli palette-load's";
}

TEST(PaletteFiles, FilesWithoutColoursAreRefusedOnceAndChangeNothing) {
  EditorSession session(GlobalTableGif("refused.gif", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}},
                                       {0, 1, 2, 3, 3, 2, 1, 0}));
  const FrameLook before = CurrentFrameLook();
  const std::vector<RgbTriple> two = {{9, 9, 9}, {200, 200, 200}};
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> header = PaletteFileBytes(2, two);
  const Case cases[] = {
      {"empty.pal", {}},
      {"short.pal", std::vector<uint8_t>(header.begin(), header.begin() + 10)},
      {"header-only.pal", std::vector<uint8_t>(header.begin(), header.begin() + 22)},
      {"count-zero.pal", PaletteFileBytes(0, two)},
      {"count-negative.pal", PaletteFileBytes(-1, two)},
      {"wave.pal", PaletteFileBytes(2, two, "WAVEfmt ")},
  };
  for (const Case& c : cases) {
    const size_t shownBefore = session.shown().size();
    session.AnswerFileName(PaletteFile(c.name, c.bytes));
    session.AnswerButton(IDOK);
    session.Command(IDM_COLORS_LOAD_PALETTE);
    ASSERT_EQ(shownBefore + 2, session.shown().size()) << c.name << ": expected the dialog and one message";
    EXPECT_EQ(kReadError, session.shown().back().text) << c.name;
    EXPECT_EQ("Frambo Version 1.1", session.shown().back().caption) << c.name;
    ExpectSameLook(before, c.name);
    EXPECT_EQ(0, doc.modified) << c.name;
  }

  session.AnswerButton(IDCANCEL);
  session.Command(IDM_COLORS_LOAD_PALETTE);
  ExpectSameLook(before, "cancelled dialog");
  EXPECT_EQ(0, doc.modified);

  std::vector<RgbTriple> many(256, RgbTriple{50, 50, 50});
  many[0] = {1, 2, 3};
  LoadPalette(session, PaletteFile("count-300.pal", PaletteFileBytes(300, many)));
  EXPECT_EQ(256, doc.frames[0]->colorCount) << "expected a count of 300 taken as 256";
}

TEST(PaletteFiles, SaveThatCannotWriteSaysSo) {
  EditorSession session(GlobalTableGif("unwritable.gif", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}},
                                       {0, 1, 2, 3, 3, 2, 1, 0}));
  // Held open without sharing by another program: it cannot be created anew.
  const std::string target = ScratchFile("held.pal");
  WriteBytes(target, {1, 2, 3});
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  session.AnswerFileName(target);
  session.AnswerButton(IDYES);  // replace it?
  session.AnswerButton(IDOK);
  session.Command(IDM_COLORS_SAVE_PALETTE);
  CloseHandle(held);
  ASSERT_EQ(3u, session.shown().size()) << "expected the dialog, its question and one message";
  EXPECT_EQ("Error in writing file", session.shown().back().text);
  EXPECT_EQ("Frambo Version 1.1", session.shown().back().caption);
  EXPECT_EQ(session.main(), session.shown().back().owner);
  EXPECT_EQ(3u, FileBytes(target).size()) << "expected the held file untouched";
}
