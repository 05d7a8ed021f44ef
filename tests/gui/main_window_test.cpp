// The main window as a user first meets it: caption, menus and toolbar
// states, the toolbar's buttons and tooltips, the frames window, the layout
// after a resize, the background strips, the swap file's life, and a second
// window in the same process starting as fresh as the first.
#include "gui_harness.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "document/settings.h"
#include "resource_ids.h"

namespace {

constexpr int kToolbarButtonCount = 20;
constexpr int kSeparator = 0;

std::string SampleFile() {
  std::string path = DataFile("../../examples/sample.gif");
  return path;
}

RECT RectInClient(HWND child, HWND parent) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Describe(const RECT& rect) {
  char text[96];
  snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

std::vector<std::string> SwapFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\FRB*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The tooltip the toolbar shows for command: its tooltip control asks the
// toolbar, which asks the main window.
std::string Tooltip(const EditorSession& session, int command) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(session.Toolbar(), TB_GETTOOLTIPS, 0, 0));
  if (tips == nullptr) return "<no tooltip control>";
  char text[80] = "";
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = session.Toolbar();
  tool.uId = static_cast<UINT_PTR>(command);
  tool.lpszText = text;
  SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST(MainWindowAtStart, EmptyDocumentGreysWhatNeedsFramesAndShowsTheFramesWindow) {
  EditorSession session;
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
  EXPECT_FALSE(session.AnimationMenuEnabled()) << "expected the Animation menu greyed, got it enabled";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "expected Save greyed, got it enabled";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected Save as greyed, got it enabled";
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION)) << "expected Crop frame to selection greyed";
  for (int command : {3, 4, 12, 13, 14})
    EXPECT_FALSE(session.ToolbarEnabled(command)) << "expected toolbar command " << command << " greyed, got enabled";
  for (int command : {1, 2, 5, 6, 10, 11})
    EXPECT_TRUE(session.ToolbarEnabled(command)) << "expected toolbar command " << command << " enabled, got greyed";
  // A greyed button is not drawn sunk in as if it were on.
  EXPECT_FALSE(session.ToolbarPressed(3)) << "expected greyed Save drawn raised, got it pressed";

  HWND frames = session.FramesWindow();
  ASSERT_NE(nullptr, frames) << "expected the frames window inside the image view, got none";
  EXPECT_TRUE(IsWindowVisible(frames)) << "expected the frames window shown, got it hidden";
  RECT rect;
  GetWindowRect(frames, &rect);
  EXPECT_EQ(400, rect.right - rect.left) << "expected the frames window 400 wide, got " << rect.right - rect.left;
  EXPECT_EQ(230, rect.bottom - rect.top) << "expected the frames window 230 high, got " << rect.bottom - rect.top;
  EXPECT_TRUE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected Show frames window checked";
  EXPECT_TRUE(session.ToolbarPressed(15)) << "expected toolbar 15 pressed while the frames window shows";
  EXPECT_FALSE(session.ToolbarPressed(16)) << "expected the selection tool off";
  EXPECT_TRUE(session.ToolbarEnabled(15) && session.ToolbarEnabled(16)) << "expected both check buttons enabled";
}

TEST(MainWindowAtStart, FramesWindowHiddenBySettingsLeavesItsMenuAndButtonOff) {
  StoreSetting("default", "100000");
  {
    EditorSession session;
    HWND frames = session.FramesWindow();
    ASSERT_NE(nullptr, frames) << "expected the frames window made even when hidden, got none";
    EXPECT_FALSE(IsWindowVisible(frames)) << "expected the frames window hidden, got it shown";
    EXPECT_FALSE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected Show frames window unchecked";
    EXPECT_FALSE(session.ToolbarPressed(15)) << "expected toolbar 15 raised, got it pressed";
    EXPECT_EQ("Show frames window", Tooltip(session, 15));
  }
}

TEST(MainWindowAtStart, GifOnTheCommandLineOpensAsTheDocument) {
  EditorSession session(SampleFile());
  EXPECT_EQ("Frambo - sample.gif (1:1)", session.Caption());
  EXPECT_TRUE(session.AnimationMenuEnabled()) << "expected the Animation menu enabled for 37 entries";
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected Save as enabled after a load";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "expected Save greyed while unchanged";
  EXPECT_TRUE(session.shown().empty()) << "expected no message box, got \"" << session.shown()[0].text << "\"";
}

TEST(MainWindowAtStart, QuotedPathIsTakenAsTypedAndFailsToOpen) {
  EditorSession session("\"" + SampleFile() + "\"");
  ASSERT_EQ(1u, session.shown().size()) << "expected one message box, got " << session.shown().size();
  EXPECT_EQ("Error in reading file", session.shown()[0].text);
  EXPECT_EQ(session.main(), session.shown()[0].owner) << "expected the box owned by the main window";
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
  EXPECT_FALSE(session.AnimationMenuEnabled()) << "expected the Animation menu greyed after a failed open";
}

TEST(MainWindowToolbar, TwentyPlacesHoldTheSixteenImagesInOrderWithTwoCheckButtons) {
  struct Place {
    int image, command;
    bool check;
  };
  const Place expected[kToolbarButtonCount] = {
      {0, 1, false},  {1, 2, false},   {2, 3, false},   {3, 4, false},   {4, 5, false},
      {5, 6, false},  {0, kSeparator, false}, {15, 16, true},  {6, 7, false},   {7, 8, false},
      {8, 9, false},  {0, kSeparator, false}, {9, 10, false},  {10, 11, false}, {0, kSeparator, false},
      {11, 12, false}, {12, 13, false}, {13, 14, false}, {0, kSeparator, false}, {14, 15, true}};
  EditorSession session;
  HWND toolbar = session.Toolbar();
  ASSERT_NE(nullptr, toolbar) << "expected a toolbar, got none";
  LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
  ASSERT_EQ(kToolbarButtonCount, count) << "expected 20 places, got " << count;
  for (int i = 0; i < kToolbarButtonCount; ++i) {
    TBBUTTON button = {};
    SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    if (expected[i].command == kSeparator) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP) << "place " << i << ": expected a separator, got command "
                                             << button.idCommand;
      continue;
    }
    EXPECT_EQ(expected[i].command, button.idCommand) << "place " << i << ": expected command " << expected[i].command
                                                     << ", got " << button.idCommand;
    EXPECT_EQ(expected[i].image, button.iBitmap) << "place " << i << ": expected image " << expected[i].image
                                                 << ", got " << button.iBitmap;
    EXPECT_EQ(expected[i].check, (button.fsStyle & BTNS_CHECK) != 0)
        << "place " << i << ": expected " << (expected[i].check ? "a check button" : "a push button");
  }
}

TEST(MainWindowToolbar, TooltipsComeFromTheStringTableAndFollowTheFramesWindow) {
  const char* const texts[] = {"New",  "Open",     "Save",    "Save as", "Insert frame(s)", "Add frame(s) to end",
                               "Cut",  "Copy",     "Paste",   "Zoom out", "Zoom in",        "Play",
                               "Stop", "Advance frame"};
  EditorSession session;
  for (int command = 1; command <= 14; ++command)
    EXPECT_EQ(texts[command - 1], Tooltip(session, command)) << "tooltip of toolbar command " << command;
  EXPECT_EQ("Select", Tooltip(session, 16));
  EXPECT_EQ("Hide frames window", Tooltip(session, 15)) << "while the frames window shows";
  session.Command(IDM_VIEW_FRAMES_WINDOW);
  EXPECT_EQ("Show frames window", Tooltip(session, 15)) << "after hiding the frames window";
  EXPECT_FALSE(IsWindowVisible(session.FramesWindow())) << "expected the frames window hidden by 302";
  session.Command(IDM_VIEW_FRAMES_WINDOW);
}

TEST(MainWindowLayout, ResizingPlacesTheViewBetweenTheStripsAndTheBarUnderIt) {
  EditorSession session;
  // A client area of 700 x 500, whatever the frame around it measures.
  RECT frame = {0, 0, 700, 500};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
  MoveWindow(session.main(), 10, 10, frame.right - frame.left, frame.bottom - frame.top, TRUE);
  session.Pump();
  RECT client;
  GetClientRect(session.main(), &client);
  ASSERT_GT(client.bottom, 100) << "expected a usable client area, got " << Describe(client);

  RECT view = RectInClient(session.ImageView(), session.main());
  RECT expectedView = {0, 25, client.right, client.bottom - 20};
  EXPECT_TRUE(EqualRect(&expectedView, &view))
      << "expected the image view at " << Describe(expectedView) << ", got " << Describe(view);
  RECT bar = RectInClient(session.ProgressBar(), session.main());
  RECT expectedBar = {200, client.bottom - 20, 400, client.bottom};
  EXPECT_TRUE(EqualRect(&expectedBar, &bar))
      << "expected the progress bar at " << Describe(expectedBar) << ", got " << Describe(bar);
  EXPECT_FALSE(IsWindowVisible(session.ProgressBar())) << "expected the progress bar hidden until a step";
  RECT status = RectInClient(session.StatusBar(), session.main());
  EXPECT_EQ(client.bottom, status.bottom) << "expected the status bar along the bottom, got " << Describe(status);
  EXPECT_EQ(client.right, status.right) << "expected the status bar across the width, got " << Describe(status);
}

TEST(MainWindowLayout, BackgroundPaintsOnlyTheTwoStripsAndSaysItErased) {
  EditorSession session;
  RECT client;
  GetClientRect(session.main(), &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  const COLORREF marker = RGB(1, 2, 3);
  HBRUSH markerBrush = CreateSolidBrush(marker);
  FillRect(dc, &client, markerBrush);

  LRESULT result = SendMessageA(session.main(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(1, result) << "expected the background reported erased";
  const COLORREF face = GetNearestColor(dc, GetSysColor(COLOR_BTNFACE));
  struct Probe {
    int x, y;
    COLORREF expected;
    const char* where;
  } probes[] = {{5, 5, face, "toolbar strip"},
                {client.right / 2, client.bottom - 5, face, "status strip"},
                {client.right / 2, client.bottom / 2, marker, "view area"},
                {5, 30, marker, "top of the view area"},
                {client.right / 2, client.bottom - 25, marker, "bottom of the view area"}};
  for (const Probe& probe : probes) {
    COLORREF got = GetPixel(dc, probe.x, probe.y);
    EXPECT_EQ(probe.expected, got) << probe.where << ": expected colour " << std::hex << probe.expected << ", got "
                                   << got;
  }
  SelectObject(dc, previous);
  DeleteObject(markerBrush);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(MainWindowLife, SwapFileExistsWhileTheWindowRunsAndGoesWithIt) {
  EditorSession session;
  std::vector<std::string> names = SwapFiles(session.tempFolder());
  EXPECT_EQ(1u, names.size()) << "expected one FRB swap file in " << session.tempFolder() << ", got "
                              << names.size();
  SendMessageA(session.main(), WM_CLOSE, 0, 0);
  session.Pump();
  EXPECT_FALSE(IsWindow(session.main())) << "expected an unchanged document to close without a question";
  names = SwapFiles(session.tempFolder());
  EXPECT_TRUE(names.empty()) << "expected the swap file removed on close, got " << (names.empty() ? "" : names[0]);
}

TEST(MainWindowLife, SecondWindowInTheSameProcessStartsUntitledAtNormalZoom) {
  {
    EditorSession first(SampleFile());
    first.Command(IDM_VIEW_ZOOM_IN);
    EXPECT_EQ("Frambo - sample.gif (2:1)", first.Caption());
  }
  EditorSession second;
  EXPECT_EQ("Frambo - untitled (1:1)", second.Caption());
  EXPECT_FALSE(second.AnimationMenuEnabled()) << "expected no frames left over from the first window";
  EXPECT_TRUE(second.FramesListTexts().empty()) << "expected an empty frames list, got "
                                                << second.FramesListTexts().size() << " entries";
  EXPECT_EQ(1u, SwapFiles(second.tempFolder()).size()) << "expected a swap file of its own";
  second.Command(IDM_VIEW_ZOOM_OUT);
  EXPECT_EQ("Frambo - untitled (1:2)", second.Caption()) << "expected zooming out from 1:1";
}

}  // namespace
