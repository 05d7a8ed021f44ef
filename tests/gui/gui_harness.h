// The editor's real windows inside the test process: a fresh main window per
// session, the message loop the program's entry runs, the program's message
// boxes and file dialogs answered the way a user would (through a window hook
// that reads their text and presses their buttons), and readers for what a
// user sees. Also frambo.exe and frambo-cli.exe run as processes.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "document/document.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"
#include "gif_builder.h"
#include "resource_ids.h"

// What the hook answers to the next box or dialog the program shows: the
// file name typed into a file dialog (a box in between gets the fallback),
// then action done to the dialog, then button pressed.
struct DialogAnswer {
  int button = IDOK;
  std::string fileName;
  std::function<void(HWND dialog)> action;
};

// A box or dialog the program showed: caption, a message box's text, owner.
struct ShownDialog {
  std::string caption, text;
  HWND owner;
};

inline std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class EditorSession {
 public:
  // Builds the main window as the program's entry does, with commandLine,
  // and runs the loop until idle. Each session gets a private temporary
  // folder (TMP and TEMP), where the swap file goes.
  explicit EditorSession(const std::string& commandLine = "");
  // Closes the main window (a save prompt is answered No) and waits for it.
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // What the loop runs after each message, then the loop until no message
  // is waiting; timers are not waited for.
  void Pump();
  // WM_COMMAND id sent to the main window, then Pump().
  void Command(int id) {
    SendMessageA(main_, WM_COMMAND, WPARAM(id), 0);
    Pump();
  }
  // The frames list's entry selected as a click selects it.
  void SelectEntry(int index) {
    SendMessageA(panel.list, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kFramesListId, LBN_SELCHANGE), LPARAM(panel.list));
    Pump();
  }

  // Answers, in order, to the boxes and dialogs to come. Any other gets No
  // when the session closes or it cannot be cancelled, else Cancel, or OK
  // when that is its only button.
  void Answer(DialogAnswer answer);
  void AnswerButton(int button) { Answer({button, "", nullptr}); }
  void AnswerFileName(const std::string& path) { Answer({IDOK, path, nullptr}); }  // UTF-8
  const std::vector<ShownDialog>& shown() const;
  std::string LastShown() const { return shown().empty() ? "(nothing shown)" : shown().back().text; }

  HWND main() const { return main_; }
  const std::string& tempFolder() const { return tempFolder_; }
  std::string Caption() const { return WindowText(main_); }
  std::string StatusBarText() const { return WindowText(statusBar); }
  // A menu item missing reads as greyed and checked, a button as greyed and pressed.
  bool MenuEnabled(int id) const { return !(GetMenuState(GetMenu(main_), UINT(id), MF_BYCOMMAND) & MF_GRAYED); }
  bool MenuChecked(int id) const { return GetMenuState(GetMenu(main_), UINT(id), MF_BYCOMMAND) & MF_CHECKED; }
  bool AnimationMenuEnabled() const { return !(GetMenuState(GetMenu(main_), 3, MF_BYPOSITION) & MF_GRAYED); }
  bool ToolbarEnabled(int id) const { return SendMessageA(toolbar, TB_GETSTATE, WPARAM(id), 0) & TBSTATE_ENABLED; }
  bool ToolbarPressed(int id) const { return SendMessageA(toolbar, TB_GETSTATE, WPARAM(id), 0) & TBSTATE_PRESSED; }
  std::vector<std::string> FramesListTexts() const {
    std::vector<std::string> texts(size_t(std::max<LRESULT>(SendMessageA(panel.list, LB_GETCOUNT, 0, 0), 0)));
    for (size_t i = 0; i < texts.size(); ++i) {
      char text[256] = "";
      SendMessageA(panel.list, LB_GETTEXT, i, LPARAM(text));
      texts[i] = text;
    }
    return texts;
  }

 private:
  HWND main_ = nullptr;
  std::string tempFolder_;
};

// The editor's stored settings. Every test starts and ends as a first run
// (the key emptied); the sessions of one test see what earlier ones stored.
constexpr char kSettingsKey[] = "Software\\Pelmor\\Frambo";
inline void StoreSetting(const char* name, const std::string& text) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

// Test files by name, with Windows separators; scratch paths in a folder of
// the run's own, removed at its end.
inline std::string DataFile(const std::string& name) {
  std::string path = FRAMBO_TEST_DATA "/" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}
std::string ScratchFile(const std::string& name);

inline std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : " | ") + text;
  return "[" + joined + "]";
}

inline std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(folder)) names.push_back(file.path().filename().string());
  return names;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

// gif ended with its trailer and written to scratch file name.
inline std::string WriteGif(const std::string& name, GifBuilder& gif) {
  gif.Trailer();
  std::ofstream(ScratchFile(name), std::ios::binary).write(reinterpret_cast<const char*>(gif.bytes.data()),
                                                          std::streamsize(gif.bytes.size()));
  return ScratchFile(name);
}

// Frame index's block as the swap file holds it: bottom row first, padded.
inline std::vector<uint8_t> StoredBlock(int index) {
  ByteBuffer block;
  if (index < 0 || index >= doc.frameCount || !ReadFrameBlock(*doc.frames[index], &block)) return {};
  return std::vector<uint8_t>(block.data(), block.data() + block.size());
}

// Polls until done() holds or 30 s have passed; whether it holds.
inline bool WaitFor(const std::function<bool()>& done) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(100))
    if (GetTickCount() - start > 30000) return false;
  return true;
}

// exe run with arguments, and TMP and TEMP at tempFolder unless it is "";
// its process handle. ExitStatus: -1 when it does not end within 30 s.
HANDLE StartProcess(std::string exe, const std::string& arguments, const std::string& tempFolder = "");  // UTF-8
inline long ExitStatus(HANDLE process) {
  DWORD status = DWORD(-1);
  if (WaitForSingleObject(process, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &status);
  return long(status);
}

// width x height pixels of memory as paint leaves them.
struct Painting {
  Painting(const std::function<void(HDC)>& paint, int width, int height);
  COLORREF At(int x, int y) const {
    const uint32_t p = pixels[size_t(y * width + x)];
    return RGB(p >> 16, p >> 8, p);
  }
  // Pixels of the rectangle (inclusive) that are colour, or are not when unlike.
  int Count(int x0, int y0, int x1, int y1, COLORREF colour, bool unlike = false) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += (At(x, y) == colour) != unlike;
    return n;
  }
  int width;
  std::vector<uint32_t> pixels;
};
// The image view painted into memory at its size.
inline Painting PaintedView() {
  return Painting([](HDC dc) { PaintImageView(dc, viewWidth - 1, viewHeight - 1); }, viewWidth, viewHeight);
}
