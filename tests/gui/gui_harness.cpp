// The GUI tests' harness. The hook sees a dialog when it is activated,
// records what it says and arms a thread timer; the timer fires inside the
// dialog's own modal loop once the dialog has finished setting itself up
// (posted messages come before WM_TIMER), and only then is the answer typed
// and pressed.
#include "gui_harness.h"

#include <deque>
#include <set>

#include "editor/main_window.h"
#include "editor/message_loop.h"
#include "platform/utf8_path.h"

namespace {

namespace fs = std::filesystem;
std::error_code ignored;  // what cannot be made or removed shows in the tests that need it

constexpr DWORD kWaitMilliseconds = 30000;  // start-up, loading or closing under Wine

// The run's own folder in the temporary folder, which is read before any
// session points TMP and TEMP elsewhere; gone at the end of the run. Wine
// gives out process ids again: a run that was killed may have left it.
const struct Root {
  std::string temp = fs::temp_directory_path().string();
  std::string path = (fs::path(temp) / ("frambo-gui-" + std::to_string(GetCurrentProcessId()))).string();
  Root() {
    fs::remove_all(path, ignored);
    fs::create_directory(path, ignored);
  }
  ~Root() { fs::remove_all(path, ignored); }
} root;

// TMP and TEMP for this process, its children and the C runtime's getenv.
void SetTempEnvironment(const std::string& folder) {
  for (std::string name : {"TMP", "TEMP"}) {
    SetEnvironmentVariableA(name.c_str(), folder.c_str());
    _putenv((name + "=" + folder).c_str());
  }
}

struct HookState {
  std::deque<DialogAnswer> answers;
  std::vector<ShownDialog> shown;
  std::vector<HWND> waiting;  // activated, not answered yet
  std::set<HWND> seen;
  bool closing = false;  // every question is No
  HHOOK hook = nullptr;
};
HookState* hooked = nullptr;

HWND MessageText(HWND dialog) { return GetDlgItem(dialog, 0xFFFF); }

// The file name field of the Explorer-style file dialogs (cmb13) or the older ones (edt1).
HWND FileNameField(HWND dialog) {
  HWND field = GetDlgItem(dialog, 0x47C);
  return field != nullptr && IsWindowVisible(field) ? field : GetDlgItem(dialog, 0x480);
}

void CALLBACK AnswerWaitingDialogs(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::vector<HWND> waiting;
  if (hooked != nullptr) waiting.swap(hooked->waiting);
  for (HWND dialog : waiting) {
    if (!IsWindow(dialog)) continue;
    std::deque<DialogAnswer>& answers = hooked->answers;
    const bool fileDialog = MessageText(dialog) == nullptr && FileNameField(dialog) != nullptr;
    const bool cancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
    int button = (hooked->closing || !cancel) && GetDlgItem(dialog, IDNO) ? IDNO : !cancel ? IDOK : IDCANCEL;
    if (!hooked->closing && !answers.empty() && (answers.front().fileName.empty() || fileDialog)) {
      DialogAnswer answer = std::move(answers.front());
      answers.pop_front();
      if (!answer.fileName.empty()) SetWindowTextW(FileNameField(dialog), Utf16(answer.fileName.c_str()).c_str());
      if (answer.action) answer.action(dialog);
      button = answer.button;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(dialog, button)));
  }
}

LRESULT CALLBACK DialogHook(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  char name[16] = "";
  if (code == HCBT_ACTIVATE && GetClassNameA(window, name, sizeof name) && std::string(name) == "#32770" &&
      hooked->seen.insert(window).second) {
    hooked->shown.push_back({WindowText(window), WindowText(MessageText(window)), GetWindow(window, GW_OWNER)});
    hooked->waiting.push_back(window);
    SetTimer(nullptr, 0, 10, AnswerWaitingDialogs);
  } else if (code == HCBT_DESTROYWND) {
    hooked->seen.erase(window);  // a later dialog may get the same handle
  }
  return CallNextHookEx(hooked->hook, code, wParam, lParam);
}

// Every session writes its settings back when its window closes and the
// next one reads them: a palette part left shown by one test would greet
// the next.
struct FirstRunForEveryTest : ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
  void OnTestEnd(const ::testing::TestInfo&) override { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
};
const bool firstRunForEveryTest =
    (::testing::UnitTest::GetInstance()->listeners().Append(new FirstRunForEveryTest), true);

}  // namespace

EditorSession::EditorSession(const std::string& commandLine) {
  static int serial = 0;
  EXPECT_EQ(nullptr, hooked) << "expected one EditorSession at a time";
  hooked = new HookState;
  tempFolder_ = root.path + "\\session-" + std::to_string(++serial);
  fs::create_directory(tempFolder_, ignored);
  SetTempEnvironment(tempFolder_);
  hooked->hook = SetWindowsHookExA(WH_CBT, DialogHook, nullptr, GetCurrentThreadId());
  EXPECT_TRUE(RegisterMainWindowClass(GetModuleHandleA(nullptr)));
  std::string line = commandLine;
  main_ = CreateMainWindow(GetModuleHandleA(nullptr), &line[0], SW_SHOW);
  EXPECT_NE(nullptr, main_) << "expected the main window built, got none";
  Pump();
}

EditorSession::~EditorSession() {
  hooked->closing = true;
  PostMessageA(main_, WM_CLOSE, 0, 0);
  for (const DWORD start = GetTickCount(); IsWindow(main_) && GetTickCount() - start < kWaitMilliseconds; Sleep(20))
    Pump();
  if (IsWindow(main_)) {
    ADD_FAILURE() << "expected the main window closed, got it still open";
    DestroyWindow(main_);
  }
  Pump();
  UnhookWindowsHookEx(hooked->hook);
  delete hooked;
  hooked = nullptr;
  SetTempEnvironment(root.temp);
  fs::remove_all(tempFolder_, ignored);
}

void EditorSession::Pump() {
  // The program's loop runs this after each message; a command sent straight
  // to the window needs it too (e.g. the save that Save leaves due).
  AfterMessage();
  for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
    // The main window's end posts the quit message; there is no outer loop to end.
    if (message.message != WM_QUIT) ProcessMessage(&message);
  }
}

void EditorSession::Answer(DialogAnswer answer) { hooked->answers.push_back(std::move(answer)); }
const std::vector<ShownDialog>& EditorSession::shown() const { return hooked->shown; }

std::string ScratchFile(const std::string& name) { return root.path + "\\" + name; }

HANDLE StartProcess(std::string exe, const std::string& arguments, const std::string& tempFolder) {
  std::replace(exe.begin(), exe.end(), '/', '\\');
  std::wstring line = Utf16(("\"" + exe + "\" " + arguments).c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!tempFolder.empty()) SetTempEnvironment(tempFolder);  // inherited by the child
  EXPECT_TRUE(CreateProcessW(Utf16(exe.c_str()).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process))
      << "cannot start " << exe << ": error " << GetLastError();
  SetTempEnvironment(root.temp);
  CloseHandle(process.hThread);
  return process.hProcess;
}

Painting::Painting(const std::function<void(HDC)>& paint, int width, int height)
    : width(width), pixels(size_t(width * height)) {
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  paint(dc);
  GdiFlush();
  std::copy(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + pixels.size(), pixels.begin());
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}
