// Resources of frambo.exe: maps the editor as a data file, without running
// it, and reads back its menu, strings, toolbar bitmap, PICK cursor and
// colour-count dialog through the calls the editor itself will make.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resource_ids.h"

#ifndef FRAMBO_EXE_PATH
#error "FRAMBO_EXE_PATH must name the frambo.exe under test"
#endif

namespace {

constexpr int kSeparator = -1;

struct Item {
  int id;  // kSeparator for a separator
  const char* text;
};

struct Popup {
  const char* title;
  std::vector<Item> items;
};

class ResourcesOfEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = FRAMBO_EXE_PATH;
    std::replace(path.begin(), path.end(), '/', '\\');
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module_) << "expected " << path << " mapped as data, got error " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  // The raw bytes of a resource, or an empty range.
  std::pair<const BYTE*, DWORD> Raw(const char* name, const char* type) const {
    HRSRC found = FindResourceA(module_, name, type);
    if (found == nullptr) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(module_, found);
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module_, found)};
  }

  HMODULE module_ = nullptr;
};

std::string ItemText(HMENU menu, UINT position, MENUITEMINFOA* info) {
  char text[256] = "";
  *info = {};
  info->cbSize = sizeof *info;
  info->fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
  info->dwTypeData = text;
  info->cch = sizeof text;
  if (!GetMenuItemInfoA(menu, position, TRUE, info)) return "<no item>";
  return text;
}

TEST_F(ResourcesOfEditor, MenuHoldsEveryCommandInOrderAndHelpSitsOnTheRight) {
  const std::vector<Popup> expected = {
      {"&File", {{101, "&New"}, {102, "&Open"}, {103, "&Save"}, {104, "Save &as"}, {105, "&Insert frame(s)"},
                 {106, "&Add frame(s) to end"}, {107, "&Delete frame"}, {kSeparator, ""}, {kSeparator, ""},
                 {108, "E&xit"}}},
      {"&Edit", {{201, "Cu&t"}, {202, "&Copy"}, {203, "&Paste"}, {204, "Paste at &end"},
                 {205, "Crop frame to &selection"}}},
      {"&View", {{301, "Show only &dirty rectangles"}, {306, "&Mark dirty rectangles"},
                 {302, "Show frames &window"}, {303, "Zoom &in"}, {304, "Zoom &out"}, {305, "&Normal view"}}},
      {"&Animation", {{401, "&Play"}, {402, "&Stop"}, {403, "&Next frame"}}},
      {"&Options", {{501, "Comment &frame"}, {502, "&Crop frames to dirty rectangles"},
                    {503, "&Restore frames to its full size"}}},
      {"&Colors", {{607, "Calculate &optimal palette"}, {601, "&Load palette"}, {602, "&Save palette"},
                   {603, "&Gray scale"}, {604, "&Decrease number of colors"}, {605, "Set &Background color"},
                   {606, "Set &Transparent color"}}},
      {"&Help", {{701, "&Help"}, {kSeparator, ""}, {703, "&About"}}},
  };
  HMENU bar = LoadMenuA(module_, MAKEINTRESOURCEA(1000));
  ASSERT_NE(nullptr, bar) << "expected menu 1000, got error " << GetLastError();
  ASSERT_EQ(static_cast<int>(expected.size()), GetMenuItemCount(bar)) << "expected 7 popups in the menu bar";

  std::set<UINT> ids;
  for (size_t p = 0; p < expected.size(); ++p) {
    MENUITEMINFOA info;
    std::string title = ItemText(bar, static_cast<UINT>(p), &info);
    EXPECT_EQ(expected[p].title, title) << "expected popup " << p << " titled " << expected[p].title;
    bool right = (info.fType & MFT_RIGHTJUSTIFY) != 0;
    EXPECT_EQ(p + 1 == expected.size(), right) << "expected only Help right-justified, got " << title
                                               << (right ? " right-justified" : " on the left");
    HMENU popup = info.hSubMenu;
    ASSERT_NE(nullptr, popup) << "expected a popup under " << title;
    const std::vector<Item>& items = expected[p].items;
    ASSERT_EQ(static_cast<int>(items.size()), GetMenuItemCount(popup)) << "expected that many items in " << title;
    for (size_t i = 0; i < items.size(); ++i) {
      std::string text = ItemText(popup, static_cast<UINT>(i), &info);
      if (items[i].id == kSeparator) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "expected a separator at " << title << " #" << i << ", got "
                                                << text;
        continue;
      }
      EXPECT_EQ(items[i].text, text) << "in " << title << " #" << i;
      EXPECT_EQ(static_cast<UINT>(items[i].id), info.wID) << "expected id of " << items[i].text;
      EXPECT_TRUE(ids.insert(info.wID).second) << "expected one command per id, got " << info.wID << " twice";
      // The recent files take these ids at run time.
      EXPECT_FALSE(info.wID >= IDM_FILE_RECENT_FIRST && info.wID <= IDM_FILE_RECENT_LAST)
          << "expected " << text << " outside the recent files' ids, got " << info.wID;
    }
  }
  DestroyMenu(bar);
}

TEST_F(ResourcesOfEditor, StringTableHoldsTheFileFiltersAndTooltips) {
  const std::vector<std::pair<UINT, const char*>> expected = {
      {0, "GIF-CompuServe Noninterlaced (*.gif)|*.gif|GIF-CompuServe Interlaced (*.gif)|*.gif|"},
      {1, "GIF-CompuServe (*.gif)|*.gif|BMP (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg;*.jpeg|All files (*.*)|*.*|"},
      {9, "Palette file (*.pal)|*.pal|"},
      {10, "New"}, {11, "Open"}, {12, "Save"}, {13, "Save as"}, {14, "Insert frame(s)"},
      {15, "Add frame(s) to end"}, {16, "Cut"}, {17, "Copy"}, {18, "Paste"}, {19, "Zoom out"}, {20, "Zoom in"},
      {21, "Play"}, {22, "Stop"}, {23, "Advance frame"}, {24, "Show frames window"}, {25, "Select"},
      {26, "Hide frames window"},
  };
  for (const auto& [id, text] : expected) {
    char loaded[256] = "";
    int length = LoadStringA(module_, id, loaded, sizeof loaded);
    EXPECT_EQ(static_cast<int>(strlen(text)), length) << "expected the length of string " << id;
    EXPECT_STREQ(text, loaded) << "in string " << id;
  }
}

// The strip the toolbar cuts into 18 x 12 images: 4 bits per pixel with the
// VGA palette, each image drawn on the light grey that becomes the button face.
TEST_F(ResourcesOfEditor, ToolbarBitmapIsSixteenDistinctImagesOnTheButtonFace) {
  auto [data, size] = Raw(MAKEINTRESOURCEA(1), RT_BITMAP);
  ASSERT_NE(nullptr, data) << "expected bitmap 1";
  ASSERT_GE(size, sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD)) << "expected a header and a colour table";
  BITMAPINFOHEADER header;
  memcpy(&header, data, sizeof header);
  ASSERT_TRUE(header.biWidth == 288 && std::abs(header.biHeight) == 12 && header.biBitCount == 4 &&
              header.biCompression == BI_RGB)
      << "expected 288 x 12 at 4 bits per pixel, uncompressed, got " << header.biWidth << " x " << header.biHeight
      << " at " << header.biBitCount << " bits, compression " << header.biCompression;
  const DWORD vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                         0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  const BYTE* table = data + header.biSize;
  for (int i = 0; i < 16; ++i) {
    DWORD colour = table[4 * i + 2] << 16 | table[4 * i + 1] << 8 | table[4 * i];
    EXPECT_EQ(vga[i], colour) << "expected the VGA colour at palette entry " << i;
  }
  const size_t stride = 288 / 2;  // already a multiple of four
  ASSERT_GE(size, header.biSize + 16 * sizeof(RGBQUAD) + stride * 12) << "expected all 12 rows";
  const BYTE* bits = table + 16 * sizeof(RGBQUAD);
  std::vector<std::string> images(16);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 288; ++x) {
      BYTE pair = bits[y * stride + x / 2];
      images[x / 18] += static_cast<char>(x % 2 ? pair & 15 : pair >> 4);
    }
  const char kFace = 7;  // light grey
  for (int i = 0; i < 16; ++i) {
    auto face = std::count(images[i].begin(), images[i].end(), kFace);
    EXPECT_GT(face, 0) << "expected image " << i << " on the button face, got none of it";
    EXPECT_LT(face, 18 * 12 - 20) << "expected image " << i << " to draw something, got only " << 18 * 12 - face
                                  << " pixels";
    for (int j = 0; j < i; ++j)
      EXPECT_TRUE(images[j] != images[i]) << "expected images " << j << " and " << i << " to differ, got the same";
  }
}

// Monochrome: the mask bitmap holds the AND mask over the XOR mask.
TEST_F(ResourcesOfEditor, PickCursorIsMonochromeWithItsTipOnTheHotSpot) {
  HCURSOR cursor = static_cast<HCURSOR>(LoadImageA(module_, "PICK", IMAGE_CURSOR, 0, 0, 0));
  ASSERT_NE(nullptr, cursor) << "expected cursor PICK, got error " << GetLastError();
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(0u, info.xHotspot);
  EXPECT_EQ(16u, info.yHotspot);
  EXPECT_EQ(nullptr, info.hbmColor) << "expected a monochrome cursor, got a colour bitmap";
  BITMAP mask = {};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  ASSERT_EQ(32, mask.bmWidth);
  ASSERT_EQ(64, mask.bmHeight);

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } format = {};
  format.header = {sizeof(BITMAPINFOHEADER), 32, -64, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  DWORD rows[64] = {};
  HDC screen = GetDC(nullptr);
  int read = GetDIBits(screen, info.hbmMask, 0, 64, rows, reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmMask);
  DestroyCursor(cursor);
  ASSERT_EQ(64, read);
  auto bit = [&](int row, int x) { return (reinterpret_cast<const BYTE*>(&rows[row])[x / 8] >> (7 - x % 8)) & 1; };
  auto opaque = [&](int x, int y) { return x >= 0 && x < 32 && y >= 0 && y < 32 && !bit(y, x); };
  auto white = [&](int x, int y) { return opaque(x, y) && bit(32 + y, x); };
  // The dropper points down and to the left: its tip is the one drawn pixel
  // furthest that way, and it must be the hot spot.
  int tipX = -1, tipY = -1, whites = 0;
  bool tipShared = false;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (opaque(x, y) && (tipX < 0 || x - y <= tipX - tipY)) {
        tipShared = tipX >= 0 && x - y == tipX - tipY;
        tipX = x;
        tipY = y;
      }
      if (!white(x, y)) continue;
      ++whites;
      // Outlined, so that the cursor shows on a white background too.
      EXPECT_TRUE(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))
          << "expected the white pixel (" << x << "," << y << ") outlined";
    }
  EXPECT_GT(whites, 0) << "expected a white fill";
  EXPECT_FALSE(tipShared) << "expected a single tip pixel, got a blunt tip";
  EXPECT_TRUE(tipX == static_cast<int>(info.xHotspot) && tipY == static_cast<int>(info.yHotspot))
      << "expected the tip on the hot spot (" << info.xHotspot << "," << info.yHotspot << "), got (" << tipX << ","
      << tipY << ")";
  EXPECT_FALSE(white(tipX, tipY)) << "expected a black tip";
}

INT_PTR CALLBACK KeepDefaults(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Text(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

TEST_F(ResourcesOfEditor, ColourCountDialogShowsItsCaptionButtonsAndPrompt) {
  auto [data, size] = Raw(MAKEINTRESOURCEA(200), RT_DIALOG);
  ASSERT_NE(nullptr, data) << "expected dialog 200";
  ASSERT_GE(size, sizeof(DLGTEMPLATE));
  DLGTEMPLATE header;
  memcpy(&header, data, sizeof header);
  const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  EXPECT_EQ(style, header.style) << std::hex << "expected style 0x" << style << ", got 0x" << header.style;
  EXPECT_EQ(3, header.cdit) << "expected the number control left to run time";
  EXPECT_TRUE(header.x == 6 && header.y == 18 && header.cx == 176 && header.cy == 108)
      << "expected 176 x 108 at (6,18), got " << header.cx << " x " << header.cy << " at (" << header.x << ","
      << header.y << ")";
  // After the header: no menu, the default class, the caption, the font.
  std::vector<WCHAR> words((size - sizeof header) / 2);
  memcpy(words.data(), data + sizeof header, words.size() * 2);
  words.push_back(0);
  const WCHAR expectedTail[] = L"\0\0Decrease color depth\0\x0008Helv";
  ASSERT_GE(words.size(), std::size(expectedTail)) << "expected the caption and font";
  EXPECT_TRUE(std::equal(std::begin(expectedTail), std::end(expectedTail), words.begin()))
      << "expected no menu, the default class, caption \"Decrease color depth\" and 8-point Helv";

  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(data),
                                           nullptr, KeepDefaults, 0);
  ASSERT_NE(nullptr, dialog) << "expected the dialog created, got error " << GetLastError();
  EXPECT_EQ("Decrease color depth", Text(dialog));
  struct Control {
    int id;
    const char* className;
    const char* text;
    RECT units;  // left, top, right, bottom in dialog units
  };
  const Control controls[] = {
      {201, "Button", "&Ok", {19, 83, 59, 97}},
      {202, "Button", "CANCEL", {83, 83, 123, 97}},
      {203, "Static", "Enter new number of colors:", {14, 20, 113, 33}},
  };
  RECT client;
  GetClientRect(dialog, &client);
  RECT whole = {0, 0, 176, 108};
  MapDialogRect(dialog, &whole);
  EXPECT_TRUE(EqualRect(&whole, &client)) << "expected a client area of 176 x 108 dialog units";
  for (const Control& control : controls) {
    HWND child = GetDlgItem(dialog, control.id);
    ASSERT_NE(nullptr, child) << "expected control " << control.id;
    EXPECT_EQ(control.className, ClassOf(child)) << "of control " << control.id;
    EXPECT_EQ(control.text, Text(child)) << "of control " << control.id;
    RECT expected = control.units;
    MapDialogRect(dialog, &expected);
    RECT actual;
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_TRUE(EqualRect(&expected, &actual)) << "expected control " << control.id << " at its place, got ("
                                                << actual.left << "," << actual.top << ")-(" << actual.right << ","
                                                << actual.bottom << ")";
  }
  EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongA(GetDlgItem(dialog, 201), GWL_STYLE) & BS_TYPEMASK);
  DestroyWindow(dialog);
}

}  // namespace
