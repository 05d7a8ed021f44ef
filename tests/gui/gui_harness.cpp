// The in-process harness of the GUI tests: one fresh main window per
// EditorSession, the message loop the program's entry runs, and a CBT hook
// that answers the program's message boxes and file dialogs.
//
// The hook sees a dialog when it is activated, records what it says and
// arms a thread timer; the timer fires inside the dialog's own modal loop
// once the dialog has finished setting itself up (posted messages come
// before WM_TIMER), and only then is the answer typed and pressed.
#include "gui_harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "editor/main_window.h"
#include "editor/shell_state.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kFileNameComboId = 0x47C;  // cmb13 of the Explorer-style file dialogs
constexpr int kFileNameEditId = 0x480;   // edt1 of the older ones
constexpr UINT kAnswerDelayMilliseconds = 10;
// A session whose window refuses to go is given up after this long.
constexpr DWORD kCloseWaitMilliseconds = 10000;

std::string TempRoot() {
  // Read once, before any session points TMP and TEMP elsewhere.
  static const std::string root = [] {
    char base[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, base);
    std::string path = base;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
  }();
  return root;
}

// The scratch folder shared by every test of the process, gone at its end.
class ScratchRoot {
 public:
  ScratchRoot() {
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%s\\frambo-gui-scratch-%lu", TempRoot().c_str(), GetCurrentProcessId());
    path_ = name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchRoot() { RemoveTree(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// What the hook works with: one session at a time per thread.
struct HookState {
  std::deque<DialogAnswer> answers;
  std::vector<ShownDialog> shown;
  std::vector<HWND> waiting;  // activated, not answered yet
  std::set<HWND> answered;
  bool closing = false;  // the session is closing: every question is No
  HHOOK hook = nullptr;
};
thread_local HookState* hookState = nullptr;

bool IsMessageBox(HWND dialog) { return GetDlgItem(dialog, kMessageBoxTextId) != nullptr; }

HWND FileNameField(HWND dialog) {
  HWND field = GetDlgItem(dialog, kFileNameComboId);
  if (field == nullptr || !IsWindowVisible(field)) field = GetDlgItem(dialog, kFileNameEditId);
  return field;
}

void PressButton(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// What a user who was not told anything presses: No when asked, OK when
// that is the only button, Cancel otherwise.
int FallbackButton(HWND dialog) {
  if (hookState->closing && GetDlgItem(dialog, IDNO) != nullptr) return IDNO;
  if (GetDlgItem(dialog, IDCANCEL) == nullptr && GetDlgItem(dialog, IDOK) != nullptr) return IDOK;
  return IDCANCEL;
}

void AnswerDialog(HWND dialog) {
  HookState& state = *hookState;
  bool fileDialog = !IsMessageBox(dialog) && FileNameField(dialog) != nullptr;
  if (!state.closing && !state.answers.empty()) {
    const DialogAnswer& answer = state.answers.front();
    // A file name is only typed into a file dialog; a box that comes
    // unexpectedly in between gets the fallback and leaves the name queued.
    if (answer.kind == DialogAnswer::kButton) {
      PressButton(dialog, answer.button);
      state.answers.pop_front();
      return;
    }
    if (answer.kind == DialogAnswer::kAction) {
      DialogAnswer taken = std::move(state.answers.front());
      state.answers.pop_front();
      if (taken.action) taken.action(dialog);
      PressButton(dialog, taken.button);
      return;
    }
    if (fileDialog) {
      SetWindowTextA(FileNameField(dialog), answer.fileName.c_str());
      PressButton(dialog, IDOK);
      state.answers.pop_front();
      return;
    }
  }
  PressButton(dialog, FallbackButton(dialog));
}

void CALLBACK AnswerWaitingDialogs(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (hookState == nullptr) return;
  std::vector<HWND> waiting;
  waiting.swap(hookState->waiting);
  for (HWND dialog : waiting)
    if (IsWindow(dialog)) AnswerDialog(dialog);
}

LRESULT CALLBACK DialogHook(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = hookState != nullptr ? hookState->hook : nullptr;
  if (hookState != nullptr && code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (ClassName(window) == "#32770" && hookState->answered.insert(window).second) {
      ShownDialog dialog;
      dialog.caption = WindowText(window);
      dialog.owner = GetWindow(window, GW_OWNER);
      if (IsMessageBox(window)) dialog.text = WindowText(GetDlgItem(window, kMessageBoxTextId));
      hookState->shown.push_back(dialog);
      hookState->waiting.push_back(window);
      SetTimer(nullptr, 0, kAnswerDelayMilliseconds, AnswerWaitingDialogs);
    }
  } else if (hookState != nullptr && code == HCBT_DESTROYWND) {
    // A later dialog may get the same handle.
    hookState->answered.erase(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

std::string EnvironmentValue(const char* name, bool* present) {
  char value[MAX_PATH * 2] = "";
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  *present = length > 0 && length < sizeof value;
  return *present ? value : "";
}

void SetTempEnvironment(const char* name, const std::string& value, bool present) {
  SetEnvironmentVariableA(name, present ? value.c_str() : nullptr);
  // The C runtime keeps its own copy, which getenv reads.
  std::string entry = std::string(name) + "=" + (present ? value : "");
  _putenv(entry.c_str());
}

}  // namespace

// The parts of a session the header does not show.
struct EditorSessionState {
  HookState hook;
  std::string tempFolder;
  std::string oldTmp, oldTemp;
  bool hadTmp = false, hadTemp = false;
  HWND main = nullptr;
};

namespace {
// One session's state per thread; the header keeps EditorSession free of it.
thread_local EditorSessionState* sessionState = nullptr;
}  // namespace

EditorSession::EditorSession(const std::string& commandLine) {
  static int serial = 0;
  EXPECT_EQ(nullptr, sessionState) << "expected one EditorSession at a time, got a second one";
  sessionState = new EditorSessionState;
  EditorSessionState& state = *sessionState;

  char folder[MAX_PATH];
  snprintf(folder, sizeof folder, "%s\\frambo-session-%lu-%d", TempRoot().c_str(), GetCurrentProcessId(), ++serial);
  state.tempFolder = folder;
  RemoveTree(state.tempFolder);
  EXPECT_TRUE(CreateDirectoryA(state.tempFolder.c_str(), nullptr))
      << "expected a private temporary folder " << state.tempFolder << ", got error " << GetLastError();
  state.oldTmp = EnvironmentValue("TMP", &state.hadTmp);
  state.oldTemp = EnvironmentValue("TEMP", &state.hadTemp);
  SetTempEnvironment("TMP", state.tempFolder, true);
  SetTempEnvironment("TEMP", state.tempFolder, true);

  hookState = &state.hook;
  state.hook.hook = SetWindowsHookExA(WH_CBT, DialogHook, nullptr, GetCurrentThreadId());
  EXPECT_NE(nullptr, state.hook.hook) << "expected the dialog hook installed, got error " << GetLastError();

  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Each session registers again; the class is still there from the last one.
  if (!RegisterMainWindowClass(instance)) {
    WNDCLASSA existing;
    EXPECT_TRUE(GetClassInfoA(instance, kMainWindowClass, &existing))
        << "expected WindowsFramboClass registered, got error " << GetLastError();
  }
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  state.main = CreateMainWindow(instance, line.data(), SW_SHOW);
  EXPECT_NE(nullptr, state.main) << "expected the main window built, got none";
  Pump();
}

EditorSession::~EditorSession() {
  EditorSessionState& state = *sessionState;
  state.hook.answers.clear();
  state.hook.closing = true;
  if (state.main != nullptr && IsWindow(state.main)) {
    PostMessageA(state.main, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(state.main) && GetTickCount() - start < kCloseWaitMilliseconds) PumpFor(20);
    if (IsWindow(state.main)) {
      ADD_FAILURE() << "expected the main window closed, got it still open";
      DestroyWindow(state.main);
    }
  }
  Pump();
  if (state.hook.hook != nullptr) UnhookWindowsHookEx(state.hook.hook);
  hookState = nullptr;
  SetTempEnvironment("TMP", state.oldTmp, state.hadTmp);
  SetTempEnvironment("TEMP", state.oldTemp, state.hadTemp);
  RemoveTree(state.tempFolder);
  delete sessionState;
  sessionState = nullptr;
}

void EditorSession::Pump() {
  // The program's loop runs this after the message that carried a command
  // (a menu's posted WM_COMMAND, a toolbar click); a command sent straight
  // to the window needs it too, e.g. the save that Save leaves due.
  AfterMessage();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // The main window's WM_DESTROY posts the quit message; the test process
    // has no outer loop to end.
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    AfterMessage();
  }
}

void EditorSession::PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    Pump();
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

void EditorSession::Command(int id) {
  SendMessageA(main(), WM_COMMAND, static_cast<WPARAM>(id), 0);
  Pump();
}

void EditorSession::Answer(DialogAnswer answer) { sessionState->hook.answers.push_back(std::move(answer)); }

const std::vector<ShownDialog>& EditorSession::shown() const { return sessionState->hook.shown; }

size_t EditorSession::unusedAnswers() const { return sessionState->hook.answers.size(); }

HWND EditorSession::main() const { return sessionState->main; }

std::string EditorSession::Caption() const { return WindowText(main()); }

namespace {

UINT MenuState(HWND main, UINT item, UINT byWhat) {
  HMENU menu = GetMenu(main);
  return menu != nullptr ? GetMenuState(menu, item, byWhat) : static_cast<UINT>(-1);
}

bool StateEnabled(UINT state) { return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED)); }

}  // namespace

bool EditorSession::MenuEnabled(int id) const {
  UINT state = MenuState(main(), static_cast<UINT>(id), MF_BYCOMMAND);
  EXPECT_NE(static_cast<UINT>(-1), state) << "expected menu command " << id << ", got none";
  return StateEnabled(state);
}

bool EditorSession::MenuChecked(int id) const {
  UINT state = MenuState(main(), static_cast<UINT>(id), MF_BYCOMMAND);
  EXPECT_NE(static_cast<UINT>(-1), state) << "expected menu command " << id << ", got none";
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool EditorSession::AnimationMenuEnabled() const { return StateEnabled(MenuState(main(), 3, MF_BYPOSITION)); }

HWND EditorSession::Toolbar() const { return FindWindowExA(main(), nullptr, TOOLBARCLASSNAMEA, nullptr); }

HWND EditorSession::StatusBar() const { return GetDlgItem(main(), kStatusBarId); }

HWND EditorSession::ProgressBar() const { return GetDlgItem(main(), kProgressBarId); }

HWND EditorSession::ImageView() const { return FindWindowExA(main(), nullptr, "WindowsGifbaseClass", nullptr); }

HWND EditorSession::FramesWindow() const {
  HWND view = ImageView();
  return view != nullptr ? FindWindowExA(view, nullptr, "WindowsGifdelayClass", nullptr) : nullptr;
}

namespace {

LRESULT ToolbarState(HWND toolbar, int command) {
  return toolbar != nullptr ? SendMessageA(toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0) : -1;
}

}  // namespace

bool EditorSession::ToolbarEnabled(int command) const {
  LRESULT state = ToolbarState(Toolbar(), command);
  EXPECT_NE(-1, state) << "expected toolbar command " << command << ", got none";
  return state != -1 && (state & TBSTATE_ENABLED) != 0;
}

bool EditorSession::ToolbarPressed(int command) const {
  LRESULT state = ToolbarState(Toolbar(), command);
  EXPECT_NE(-1, state) << "expected toolbar command " << command << ", got none";
  return state != -1 && (state & TBSTATE_PRESSED) != 0;
}

std::string EditorSession::StatusBarText() const {
  HWND bar = StatusBar();
  if (bar == nullptr) return "<no status bar>";
  LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0);
  std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(strlen(text.c_str()));
  return text;
}

HWND EditorSession::FramesControl(int id) const {
  HWND frames = FramesWindow();
  return frames != nullptr ? GetDlgItem(frames, id) : nullptr;
}

std::string EditorSession::FramesControlText(int id) const {
  HWND control = FramesControl(id);
  return control != nullptr ? WindowText(control) : "<no control " + std::to_string(id) + ">";
}

std::vector<std::string> EditorSession::FramesListTexts() const {
  std::vector<std::string> texts;
  HWND list = FramesControl(50);
  if (list == nullptr) return texts;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(strlen(text.c_str()));
    texts.push_back(text);
  }
  return texts;
}

const std::string& EditorSession::tempFolder() const { return sessionState->tempFolder; }

std::string DataFile(const std::string& name) {
  std::string path = FRAMBO_TEST_DATA "/" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string ScratchFile(const std::string& name) {
  static ScratchRoot root;
  return root.path() + "\\" + name;
}

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

const char kSettingsKey[] = "Software\\Pelmor\\Frambo";

void ForgetStoredSettings() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

void StoreSetting(const char* name, const std::string& text) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                           &key, nullptr));
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

namespace {

// Every session writes its settings back when its window closes and the
// next one reads them: a palette part left shown by one test would greet
// the next.
class FirstRunForEveryTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { ForgetStoredSettings(); }
  void OnTestEnd(const ::testing::TestInfo&) override { ForgetStoredSettings(); }
};

const bool firstRunForEveryTest = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunForEveryTest);
  return true;
}();

}  // namespace
