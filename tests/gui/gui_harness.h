// The editor's real windows inside the test process: a fresh main window per
// test, the message loop run until it is idle, the program's message boxes
// and file dialogs answered the way a user would (through a window hook that
// reads their text and presses their buttons), and readers for what a user
// sees: caption, menu states, toolbar states, status text, list texts.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// What the hook answers to the next modal box or dialog the program shows.
struct DialogAnswer {
  enum Kind { kButton, kFileName, kAction } kind = kButton;
  int button = IDOK;     // kButton and kAction: IDOK, IDYES, IDNO, IDCANCEL or a control id
  std::string fileName;  // kFileName: typed into the file dialog, then OK
  // kAction: done to the dialog (e.g. its controls worked) before button is
  // pressed.
  std::function<void(HWND dialog)> action;
};

// One message box or dialog the program showed, as the user saw it.
struct ShownDialog {
  std::string caption;
  std::string text;  // a message box's text; "" for file dialogs
  HWND owner = nullptr;
};

class EditorSession {
 public:
  // Builds the main window as the program's entry does, with commandLine
  // (may be ""), and runs the loop until idle. Each test gets a private
  // temporary folder (TMP/TEMP) so that the swap file can be checked.
  explicit EditorSession(const std::string& commandLine = "");
  // Closes the main window without the save prompt's question being asked
  // of anybody (any prompt is answered No) and runs the loop until it is gone.
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // Runs what the loop runs after each message once (a command sent to the
  // window may have left a save due), then the message loop, that again
  // after each message, until no message is waiting; timers are not waited
  // for.
  void Pump();
  // Runs the loop for about milliseconds, timers included.
  void PumpFor(DWORD milliseconds);

  // Sends WM_COMMAND id to the main window, then Pump().
  void Command(int id);

  // Queues the answer to the next box or dialog.
  void Answer(DialogAnswer answer);
  void AnswerButton(int button) { Answer(DialogAnswer{DialogAnswer::kButton, button, "", nullptr}); }
  void AnswerFileName(const std::string& path) { Answer(DialogAnswer{DialogAnswer::kFileName, IDOK, path, nullptr}); }
  void AnswerAfter(std::function<void(HWND dialog)> action, int button) {
    Answer(DialogAnswer{DialogAnswer::kAction, button, "", std::move(action)});
  }
  // Every box or dialog shown so far, oldest first.
  const std::vector<ShownDialog>& shown() const;
  // Answers queued but not used yet.
  size_t unusedAnswers() const;

  HWND main() const;
  // The main window's children, found by class name or control id.
  HWND Toolbar() const;
  HWND StatusBar() const;
  HWND ProgressBar() const;
  HWND ImageView() const;
  HWND FramesWindow() const;
  std::string Caption() const;
  // GetMenuState of a command of the main menu.
  bool MenuEnabled(int id) const;
  bool MenuChecked(int id) const;
  bool AnimationMenuEnabled() const;  // the Animation menu, by position 3
  // TB_GETSTATE of a toolbar command.
  bool ToolbarEnabled(int command) const;
  bool ToolbarPressed(int command) const;
  std::string StatusBarText() const;
  // The child of the frames window with control id, and its text.
  HWND FramesControl(int id) const;
  std::string FramesControlText(int id) const;
  std::vector<std::string> FramesListTexts() const;
  // The folder TMP and TEMP point at for this session.
  const std::string& tempFolder() const;
};

// The editor's stored settings (the registry key of the current user).
// Every test of the program starts as a first run: the key is removed
// before and after each test, and sessions of one test see what earlier ones
// stored, as runs do.
extern const char kSettingsKey[];
void ForgetStoredSettings();
void StoreSetting(const char* name, const std::string& text);

// Test files in tests/data by name, with Windows separators.
std::string DataFile(const std::string& name);
// The text and window class of any window, and a folder removed with all it
// holds (read-only files included).
std::string WindowText(HWND window);
std::string ClassName(HWND window);
void RemoveTree(const std::string& folder);

// A scratch path in the session-independent scratch folder.
std::string ScratchFile(const std::string& name);
