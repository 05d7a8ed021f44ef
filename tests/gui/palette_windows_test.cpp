// The palette window and the colour swatch as a user sees and works them:
// the grid's cells and their colours, picks made by releasing the button on
// a cell, the arming of a pick from the menu and the Pick button, and the
// swatch showing the transparent colour.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "colour/color_pick.h"
#include "document/document.h"
#include "document/settings.h"
#include "resource_ids.h"
#include "editor/frame_view.h"
#include "editor/frames_window.h"
#include "editor/palette_windows.h"
#include "view_test_support.h"

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Pixels 0, 1, ..., 63 then highest: the reader keeps the colours up to
// the highest index used.
std::vector<uint8_t> PixelsUpTo(uint8_t highest) {
  std::vector<uint8_t> pixels(64);
  for (int i = 0; i < 64; ++i) pixels[i] = static_cast<uint8_t>(i % (highest + 1));
  pixels[63] = highest;
  return pixels;
}

// Entry 0: 16 own colours; 1: 256 own colours, transparent 200; 2: a
// comment; 3: the 64 global colours, transparent 9. The builder's entry i is
// (i, base + i, 255 - i): base 100 for own tables, 0 for the global one.
std::string FourEntries() {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 64);
  gif.GraphicControl(0, false, 10, 0).Image(0, 0, 8, 8, PixelsUpTo(15), {16});
  gif.GraphicControl(0, true, 10, 200).Image(0, 0, 8, 8, PixelsUpTo(255), {256});
  gif.Comment("no colours here");
  gif.GraphicControl(0, true, 10, 9).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 3));
  return WriteGif("palette-windows.gif", gif);
}

COLORREF Own(int i) { return RGB(i, static_cast<uint8_t>(100 + i), 255 - i); }
COLORREF Global(int i) { return RGB(i, i, 255 - i); }

void Select(EditorSession& session, int entry) {
  SendMessageA(panel.list, LB_SETCURSEL, entry, 0);
  SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kFramesListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(panel.list));
  session.Pump();
}

// The palette part shown for one test, then hidden again as it was found:
// the setting is stored when the editor closes and would carry over.
class PalettePartShown {
 public:
  explicit PalettePartShown(EditorSession& session) : session_(session), wasShown_(settings.showPalette != 0) {
    if (!wasShown_) Toggle();
    EXPECT_EQ("Hide palette", WindowText(panel.paletteToggle));
  }
  ~PalettePartShown() {
    if (!wasShown_ && settings.showPalette) Toggle();
  }
  PalettePartShown(const PalettePartShown&) = delete;
  PalettePartShown& operator=(const PalettePartShown&) = delete;

 private:
  void Toggle() {
    SendMessageA(panel.paletteToggle, BM_CLICK, 0, 0);
    session_.Pump();
  }
  EditorSession& session_;
  bool wasShown_;
};

void PaletteMouse(EditorSession& session, UINT message, int x, int y) {
  SendMessageA(panel.paletteWindow, message, 0, MAKELPARAM(x, y));
  session.Pump();
}

// 340 x 100 pixels of memory, first untouched, after paint drew on them; or
// what the window itself shows once it has painted.
class Pixels {
 public:
  explicit Pixels(const std::function<void(HDC)>& paint) : Pixels() {
    paint(dc_);
  }
  explicit Pixels(HWND window) : Pixels() {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC windowDC = GetDC(window);
    BitBlt(dc_, 0, 0, kWidth, kHeight, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDC);
  }
  ~Pixels() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  COLORREF At(int x, int y) const {
    uint32_t p = bits_[y * kWidth + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  COLORREF Cell(int k) const { return At(10 * (k % 32) + 5, 10 * (k / 32) + 5); }

 private:
  static constexpr int kWidth = 340, kHeight = 100;
  Pixels() {
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0x010203;
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
  }
  HBITMAP bitmap_;
  uint32_t* bits_;
  HDC dc_;
  HGDIOBJ old_;
};

// Cells below count in colour(k), the rest black; every cell outlined in
// black.
void ExpectGrid(const Pixels& grid, int count, COLORREF (*colour)(int)) {
  for (int k = 0; k < 256; ++k) {
    COLORREF expected = k < count ? colour(k) : kBlack;
    ASSERT_EQ(expected, grid.Cell(k)) << "cell " << k << ": expected " << std::hex << expected << ", got "
                                      << grid.Cell(k);
    ASSERT_EQ(kBlack, grid.At(10 * (k % 32), 10 * (k / 32))) << "expected the outline of cell " << k;
  }
}

}  // namespace

TEST(PaletteWindow, GridShowsTheShownColoursThenBlackAndNothingWhenHidden) {
  EditorSession session(FourEntries());
  PalettePartShown palettePart(session);
  Pixels grid(PaintPaletteCells);
  ExpectGrid(grid, 16, Own);
  // The grid is 321 x 81: one more than the window is wide.
  EXPECT_EQ(kBlack, grid.At(320, 80)) << "expected the last outline corner";
  EXPECT_EQ(kUntouched, grid.At(321, 40)) << "expected nothing right of the grid";
  EXPECT_EQ(kUntouched, grid.At(160, 81)) << "expected nothing below the grid";
  ExpectGrid(Pixels(panel.paletteWindow), 16, Own);  // the window as it shows on screen
  Select(session, 1);
  ExpectGrid(Pixels(PaintPaletteCells), 256, Own);
  Select(session, 3);
  ExpectGrid(Pixels(panel.paletteWindow), 64, Global);
  Select(session, 2);
  ExpectGrid(Pixels(PaintPaletteCells), 0, Own);  // "No palette   "

  SendMessageA(panel.paletteToggle, BM_CLICK, 0, 0);  // Hide palette
  session.Pump();
  Pixels hidden(PaintPaletteCells);
  EXPECT_EQ(kUntouched, hidden.Cell(0)) << "expected nothing painted with the palette part hidden";
  EXPECT_EQ(kUntouched, hidden.At(0, 0));
}

// A 256-colour frame: the release at (125, 37) lands in column 12 of row 3.
TEST(PaletteWindow, ReleaseOnAShownColourPicksItsCellAndElsewhereOnlyDisarms) {
  EditorSession session(FourEntries());
  PalettePartShown palettePart(session);
  Select(session, 1);
  SendMessageA(panel.pickButton, BM_CLICK, 0, 0);
  session.Pump();
  ASSERT_EQ(kPickTransparent, pickMode);
  PaletteMouse(session, WM_MOUSEMOVE, 125, 37);
  EXPECT_EQ(cursors.pick, GetCursor()) << "expected the PICK cursor while a pick is armed";
  PaletteMouse(session, WM_LBUTTONUP, 125, 37);
  EXPECT_EQ(kNoPick, pickMode);
  EXPECT_EQ(cursors.arrow, GetCursor());
  EXPECT_EQ(108, doc.frames[1]->transparentIndex) << "expected cell 108";
  EXPECT_EQ("108     ", session.FramesControlText(kTransparentIndexId));
  EXPECT_EQ(Own(108), Pixels(panel.swatch).At(5, 5)) << "expected the swatch to show the picked colour";
  EXPECT_EQ(1, doc.modified);

  session.Command(IDM_COLORS_BACKGROUND);
  PaletteMouse(session, WM_LBUTTONUP, 319, 79);
  EXPECT_EQ(255, doc.backgroundIndex) << "expected the last cell as the background";
  EXPECT_EQ(108, doc.frames[1]->transparentIndex);

  // Only 64 colours shown on entry 3; each release below disarms and changes nothing.
  Select(session, 3);
  doc.modified = 0;
  struct Miss { int x, y; const char* where; };
  for (Miss miss : {Miss{125, 37, "cell 108 beyond 64 colours"}, Miss{5, 80, "below the grid"},
                    Miss{5, 95, "the window's bottom"}, Miss{-1, 5, "left of the window"},
                    Miss{330, 5, "right of the grid, where cell 33 would be"}}) {
    session.Command(IDM_COLORS_TRANSPARENT);
    ASSERT_EQ(kPickTransparent, pickMode);
    PaletteMouse(session, WM_LBUTTONUP, miss.x, miss.y);
    EXPECT_EQ(kNoPick, pickMode) << miss.where << ": expected the pick disarmed";
    EXPECT_EQ(9, doc.frames[3]->transparentIndex) << miss.where << ": expected no change";
    EXPECT_EQ(0, doc.modified) << miss.where << ": expected the document unmodified";
  }
  session.Command(IDM_COLORS_TRANSPARENT);
  PaletteMouse(session, WM_LBUTTONUP, 95, 15);
  EXPECT_EQ(41, doc.frames[3]->transparentIndex) << "expected column 9 of row 1";

  // Nothing shown: the comment entry, then an empty document.
  for (int step = 0; step < 2; ++step) {
    step == 0 ? Select(session, 2) : session.Command(IDM_FILE_NEW);
    uint8_t background = doc.backgroundIndex;
    session.Command(IDM_COLORS_BACKGROUND);
    PaletteMouse(session, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(kNoPick, pickMode);
    EXPECT_EQ(background, doc.backgroundIndex) << "expected no colour to pick on step " << step;
  }
}

TEST(PaletteWindow, PicksArmFromTheMenuAndThePickButtonByTheirRules) {
  EditorSession session(FourEntries());
  struct Step { int command; uint8_t expected; const char* what; };
  const Step steps[] = {
      {IDM_COLORS_TRANSPARENT, kPickTransparent, "transparent armed"},
      {IDM_COLORS_TRANSPARENT, kNoPick, "transparent again disarms"},
      {IDM_COLORS_BACKGROUND, kPickBackground, "background armed"},
      {IDM_COLORS_TRANSPARENT, kPickBackground, "transparent leaves a background pick"},
      {IDM_COLORS_BACKGROUND, kNoPick, "background again disarms"},
      {kPickButtonId, kPickTransparent, "the Pick button arms transparent"},
      {IDM_COLORS_BACKGROUND, kPickBackground, "background replaces transparent"},
      {IDM_COLORS_BACKGROUND, kNoPick, "background again disarms"},
      {kPickButtonId, kPickTransparent, "the Pick button arms transparent"},
      {kPickButtonId, kNoPick, "the Pick button again disarms"},
  };
  for (const Step& step : steps) {
    if (step.command == kPickButtonId) {
      SendMessageA(panel.pickButton, BM_CLICK, 0, 0);
      session.Pump();
    } else {
      session.Command(step.command);
    }
    EXPECT_EQ(step.expected, pickMode) << step.what << ": expected " << int(step.expected) << ", got "
                                       << int(pickMode);
  }
}

TEST(Swatch, ShowsWhiteWithoutTransparencyAndTheShownEntryWithIt) {
  EditorSession session(FourEntries());
  EXPECT_EQ(kWhite, Pixels(panel.swatch).At(5, 5)) << "expected white for a frame without transparency";
  EXPECT_EQ(kBlack, Pixels(panel.swatch).At(0, 0)) << "expected the black outline";
  Select(session, 1);
  EXPECT_EQ(Own(200), Pixels(panel.swatch).At(5, 5)) << "expected the frame's own entry 200";
  SendMessageA(panel.transparentBox, BM_CLICK, 0, 0);  // transparency off again
  session.Pump();
  EXPECT_EQ(kWhite, Pixels(panel.swatch).At(5, 5)) << "expected white once transparency is off";
  Select(session, 3);
  EXPECT_EQ(Global(9), Pixels(PaintSwatchColour).At(5, 5)) << "expected the global palette's entry 9";
  Select(session, 2);
  EXPECT_EQ(kWhite, Pixels(PaintSwatchColour).At(5, 5)) << "expected white on a comment entry";
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ(kWhite, Pixels(panel.swatch).At(5, 5)) << "expected white without frames";
}

// The display is forced to report a palette before the file is read, so the
// frames get GDI palettes; the real flags are back once the editor is gone.
TEST(PaletteWindow, OnAPaletteDisplayTheFramesPaletteIsRealisedForTheSameColours) {
  struct PaletteDisplay {
    ~PaletteDisplay() { displayFlags = 0; }
  } restore;
  EditorSession session;
  displayFlags = 1;
  session.AnswerFileName(FourEntries());
  session.Command(IDM_FILE_OPEN);
  ASSERT_NE(nullptr, doc.framePalettes[0]) << "expected the frame to have a GDI palette";
  PalettePartShown palettePart(session);
  ExpectGrid(Pixels(panel.paletteWindow), 16, Own);
  Select(session, 1);
  EXPECT_EQ(Own(200), Pixels(panel.swatch).At(5, 5));
  for (HWND window : {panel.paletteWindow, panel.swatch}) {
    EXPECT_NE(static_cast<LRESULT>(GDI_ERROR), SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(window), 0));
  }
  SendMessageA(session.main(), WM_QUERYNEWPALETTE, 0, 0);
  session.Pump();
  ExpectGrid(Pixels(panel.paletteWindow), 256, Own);
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ(nullptr, doc.framePalettes[0]);
}

