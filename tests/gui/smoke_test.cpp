// Process-level tests of frambo.exe: start the real editor with a file named
// on its command line and a temporary folder of its own, read back what a
// user sees (caption, message boxes, the frames list, toolbar states), drive
// it from outside by class names, control ids and command ids, and close it
// as a user would, checking what it leaves on disk and its exit status.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gui_harness.h"

#ifndef FRAMBO_EXE_PATH
#error "FRAMBO_EXE_PATH must name the frambo.exe under test"
#endif
#ifndef FRAMBO_TEST_DATA
#error "FRAMBO_TEST_DATA must name the tests/data folder"
#endif

namespace {

// Start-up, loading and shutting down each get this long under Wine.
constexpr DWORD kWaitMilliseconds = 30000;
constexpr DWORD kPollMilliseconds = 100;
constexpr int kMessageBoxTextId = 0xFFFF;

std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Names of the plain files in folder.
std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return "[" + text + "]";
}

// A folder under the test's own temporary folder, removed with its contents.
// It holds the editor's temporary folder (tmp) and any input the test writes.
class ScratchFolder {
 public:
  ScratchFolder() {
    static int serial = 0;
    char base[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%sframbo-gui-%lu-%d", base, GetCurrentProcessId(), ++serial);
    root_ = name;
    RemoveTree(root_);
    created_ = CreateDirectoryA(root_.c_str(), nullptr) && CreateDirectoryA(temp().c_str(), nullptr);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() { RemoveTree(root_); }

  bool created() const { return created_; }
  const std::string& root() const { return root_; }
  std::string temp() const { return root_ + "\\tmp"; }

 private:
  std::string root_;
  bool created_ = false;
};

std::string UpperName(const std::string& entry) {
  // "=C:=C:\dir" entries have a name that starts with '='.
  size_t end = entry.find('=', 1);
  std::string name = entry.substr(0, end);
  for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return name;
}

// This process's environment with TMP and TEMP pointing at folder, sorted by
// name as CreateProcess expects.
std::vector<char> EnvironmentWithTemp(const std::string& folder) {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  for (const char* entry = block; entry != nullptr && *entry != '\0'; entry += strlen(entry) + 1) {
    std::string name = UpperName(entry);
    if (name != "TMP" && name != "TEMP") entries.emplace_back(entry);
  }
  if (block != nullptr) FreeEnvironmentStringsA(block);
  entries.push_back("TEMP=" + folder);
  entries.push_back("TMP=" + folder);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const std::string& a, const std::string& b) { return UpperName(a) < UpperName(b); });
  std::vector<char> environment;
  for (const std::string& entry : entries)
    environment.insert(environment.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  environment.push_back('\0');
  return environment;
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  // Visible only: a message box is found before its texts are set otherwise.
  if (processId != search.processId || !IsWindowVisible(window) || ClassName(window) != search.className)
    return TRUE;
  search.found = window;
  return FALSE;
}

// The editor process a test started. One that a failed test leaves running
// is ended, so that the next test starts clean.
class Editor {
 public:
  Editor() = default;
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;
  ~Editor() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, kWaitMilliseconds);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  // Starts frambo.exe with arguments as its command-line text and
  // tempFolder as TMP and TEMP. False, with the reason in error, on failure.
  bool Start(const std::string& arguments, const std::string& tempFolder, std::string* error) {
    std::string exe = WithBackslashes(FRAMBO_EXE_PATH);
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> commandBuffer(commandLine.begin(), commandLine.end());
    commandBuffer.push_back('\0');
    std::vector<char> environment = EnvironmentWithTemp(tempFolder);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessA(exe.c_str(), commandBuffer.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                       nullptr, &startup, &process_))
      return true;
    *error = "CreateProcess of " + exe + " failed with error " + std::to_string(GetLastError());
    return false;
  }

  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // A visible top-level window of this process with the class name, polled until it
  // appears, the process ends or wait milliseconds have passed.
  HWND FindWindowOfClass(const char* className, DWORD wait = kWaitMilliseconds) const {
    DWORD deadline = GetTickCount() + wait;
    for (;;) {
      WindowSearch search = {process_.dwProcessId, className, nullptr};
      EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
      if (!Running() || static_cast<LONG>(GetTickCount() - deadline) >= 0) return nullptr;
      Sleep(kPollMilliseconds);
    }
  }

  // Waits for the process to end. False when it is still running.
  bool WaitForExit(DWORD* exitCode) const {
    if (WaitForSingleObject(process_.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process_.hProcess, exitCode) != 0;
  }

 private:
  PROCESS_INFORMATION process_ = {};
};

// The caption once it equals expected, or what it shows when the wait runs out
// (the file named on the command line is read after the window appears).
std::string WaitForCaption(HWND window, const std::string& expected) {
  DWORD deadline = GetTickCount() + kWaitMilliseconds;
  std::string caption = WindowText(window);
  while (caption != expected && IsWindow(window) && static_cast<LONG>(GetTickCount() - deadline) < 0) {
    Sleep(kPollMilliseconds);
    caption = WindowText(window);
  }
  return caption;
}

bool WaitUntilGone(HWND window) {
  DWORD deadline = GetTickCount() + kWaitMilliseconds;
  while (IsWindow(window)) {
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
    Sleep(kPollMilliseconds);
  }
  return true;
}

void ExpectOnlySwapFile(const std::string& tempFolder) {
  std::vector<std::string> names = FileNames(tempFolder);
  ASSERT_EQ(1u, names.size()) << "expected exactly the swap file in " << tempFolder << ", got "
                              << Joined(names);
  EXPECT_EQ(0, names[0].compare(0, 3, "FRB")) << "expected a swap file named FRB..., got " << names[0];
}

// Closes the main window as the close box does, then expects exit status 0
// and the temporary folder emptied.
void CloseAndExpectCleanExit(const Editor& editor, HWND mainWindow, const std::string& tempFolder) {
  ASSERT_TRUE(PostMessageA(mainWindow, WM_CLOSE, 0, 0))
      << "expected WM_CLOSE posted, got error " << GetLastError();
  DWORD exitCode = 0;
  ASSERT_TRUE(editor.WaitForExit(&exitCode))
      << "expected the editor to exit within 30 s, got it still running";
  EXPECT_EQ(0u, exitCode) << "expected exit status 0, got " << exitCode;
  std::vector<std::string> names = FileNames(tempFolder);
  EXPECT_TRUE(names.empty()) << "expected no file left in " << tempFolder << ", got " << Joined(names);
}

// Expects the program's message box with text, owned by owner (when given),
// and presses button.
void ExpectMessageBoxAndPress(HWND dialog, HWND owner, const char* text, int button) {
  std::string dialogCaption = WindowText(dialog);
  EXPECT_EQ("Frambo Version 1.1", dialogCaption) << "expected the program's caption, got " << dialogCaption;
  HWND actualOwner = GetWindow(dialog, GW_OWNER);
  if (owner != nullptr) {
    EXPECT_EQ(owner, actualOwner) << "expected the message box owned by the main window " << owner << ", got "
                                  << actualOwner;
  }
  char message[256] = "";
  GetDlgItemTextA(dialog, kMessageBoxTextId, message, sizeof message);
  EXPECT_STREQ(text, message) << "expected \"" << text << "\", got \"" << message << "\"";
  ASSERT_TRUE(PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0))
      << "expected button " << button << " posted to the message box, got error " << GetLastError();
  ASSERT_TRUE(WaitUntilGone(dialog)) << "expected button " << button << " to close the message box, got it still open";
}

void ExpectMessageBoxAndPressOk(HWND dialog, HWND owner, const char* text) {
  ExpectMessageBoxAndPress(dialog, owner, text, IDOK);
}

// Starts the editor on path, expects "Error in reading file" and an untitled
// document, and closes it.
void ExpectReadErrorAndUntitledDocument(const ScratchFolder& scratch, const std::string& path) {
  Editor editor;
  std::string error;
  ASSERT_TRUE(editor.Start(path, scratch.temp(), &error)) << error;
  HWND mainWindow = editor.FindWindowOfClass("WindowsFramboClass");
  ASSERT_NE(nullptr, mainWindow) << "expected a WindowsFramboClass window within 30 s, got none";
  HWND dialog = editor.FindWindowOfClass("#32770");
  ASSERT_NE(nullptr, dialog) << "expected a message box within 30 s, got none";
  ExpectOnlySwapFile(scratch.temp());
  ExpectMessageBoxAndPressOk(dialog, mainWindow, "Error in reading file");

  std::string caption = WaitForCaption(mainWindow, "Frambo - untitled (1:1)");
  EXPECT_EQ("Frambo - untitled (1:1)", caption) << "expected the document left untitled, got " << caption;
  CloseAndExpectCleanExit(editor, mainWindow, scratch.temp());
}

TEST(EditorStartedWithFile, GifOnCommandLineIsCaptionedAndSwapFileGoesOnClose) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.created()) << "expected scratch folder " << scratch.root() << ", got none";
  std::string gif = WithBackslashes(FRAMBO_TEST_DATA "/muybridge.gif");
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(gif.c_str())) << "expected test file " << gif;

  Editor editor;
  std::string error;
  ASSERT_TRUE(editor.Start(gif, scratch.temp(), &error)) << error;
  HWND mainWindow = editor.FindWindowOfClass("WindowsFramboClass");
  ASSERT_NE(nullptr, mainWindow) << "expected a WindowsFramboClass window within 30 s, got none";

  std::string caption = WaitForCaption(mainWindow, "Frambo - muybridge.gif (1:1)");
  EXPECT_EQ("Frambo - muybridge.gif (1:1)", caption)
      << "expected the file name in the caption, got " << caption;
  // The caption changes only after the file was read, so any box is up by now.
  HWND dialog = editor.FindWindowOfClass("#32770", 0);
  EXPECT_EQ(nullptr, dialog) << "expected no message box, got one saying \"" << WindowText(dialog) << "\"";
  ExpectOnlySwapFile(scratch.temp());

  CloseAndExpectCleanExit(editor, mainWindow, scratch.temp());
}

TEST(EditorStartedWithFile, FileThatIsNotGifShowsReadErrorAndLeavesUntitledDocument) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.created()) << "expected scratch folder " << scratch.root() << ", got none";
  std::string text = scratch.root() + "\\x.gif";
  FILE* file = fopen(text.c_str(), "wb");
  ASSERT_NE(nullptr, file) << "expected to write " << text;
  fputs("This is a text file, not a picture.\r\n", file);
  fclose(file);

  ExpectReadErrorAndUntitledDocument(scratch, text);
}

// A path of 256 to 259 characters opens on Windows but does not fit the
// document's 256-byte file name: it is refused rather than cut off.
TEST(EditorStartedWithFile, GifWhosePathDoesNotFitFileNameShowsReadError) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.created()) << "expected scratch folder " << scratch.root() << ", got none";
  const std::string name = "\\muybridge.gif";
  const size_t pathLength = 258;
  ASSERT_LT(scratch.root().size() + 1 + name.size(), pathLength)
      << "expected a scratch folder shorter than " << pathLength << " characters, got " << scratch.root();
  size_t folderLength = pathLength - scratch.root().size() - 1 - name.size();
  std::string folder = scratch.root() + "\\" + std::string(folderLength, 'd');
  std::string gif = folder + name;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << "expected folder " << folder;
  std::string source = WithBackslashes(FRAMBO_TEST_DATA "/muybridge.gif");
  ASSERT_TRUE(CopyFileA(source.c_str(), gif.c_str(), TRUE))
      << "expected a copy of the test file at " << gif << ", got error " << GetLastError();

  ExpectReadErrorAndUntitledDocument(scratch, gif);
}

// The sample animation: a first full frame, a comment, then 35 frames of
// only the rectangle that changed.
constexpr int kSampleEntries = 37;

LRESULT ListCount(HWND list) { return SendMessageA(list, LB_GETCOUNT, 0, 0); }

// Asked in UTF-16: Wine passes only the first character of an ANSI
// LB_GETTEXT back across processes.
std::string ListText(HWND list, int index) {
  wchar_t text[256] = L"";
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0 || length >= static_cast<LRESULT>(sizeof text / sizeof text[0])) return "<no text>";
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  char narrow[256] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// Sends a menu or toolbar command as the menu would and waits for it.
void SendCommand(HWND mainWindow, int id) { SendMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0); }

// Drives a running editor from outside, as a user would, by class names,
// control ids and command ids only.
TEST(EditorEndToEnd, SampleIsBrowsedEditedAndClosedWithoutSaving) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.created()) << "expected scratch folder " << scratch.root() << ", got none";
  std::string gif = WithBackslashes(FRAMBO_TEST_DATA "/../../examples/sample.gif");
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(gif.c_str())) << "expected the sample at " << gif;

  Editor editor;
  std::string error;
  ASSERT_TRUE(editor.Start(gif, scratch.temp(), &error)) << error;
  HWND mainWindow = editor.FindWindowOfClass("WindowsFramboClass");
  ASSERT_NE(nullptr, mainWindow) << "expected a WindowsFramboClass window within 30 s, got none";
  std::string caption = WaitForCaption(mainWindow, "Frambo - sample.gif (1:1)");
  ASSERT_EQ("Frambo - sample.gif (1:1)", caption) << "expected the sample opened, got " << caption;

  HWND view = FindWindowExA(mainWindow, nullptr, "WindowsGifbaseClass", nullptr);
  HWND frames = view != nullptr ? FindWindowExA(view, nullptr, "WindowsGifdelayClass", nullptr) : nullptr;
  HWND list = frames != nullptr ? GetDlgItem(frames, 50) : nullptr;
  HWND toolbar = FindWindowExA(mainWindow, nullptr, "ToolbarWindow32", nullptr);
  ASSERT_NE(nullptr, list) << "expected the frames list (control 50 of the frames window), got none";
  ASSERT_NE(nullptr, toolbar) << "expected the toolbar, got none";

  EXPECT_EQ(kSampleEntries, ListCount(list)) << "expected one list line per entry";
  EXPECT_EQ("frame   1", ListText(list, 0));
  EXPECT_EQ(0, SendMessageA(list, LB_GETCURSEL, 0, 0)) << "expected the first entry selected";
  LRESULT saveState = SendMessageA(toolbar, TB_GETSTATE, 3, 0);
  EXPECT_FALSE(saveState & TBSTATE_ENABLED) << "expected Save greyed before any change";

  SendCommand(mainWindow, 403);  // Next frame
  EXPECT_EQ(1, SendMessageA(list, LB_GETCURSEL, 0, 0)) << "expected Next frame to select the second entry";
  SendCommand(mainWindow, 107);  // Delete frame
  EXPECT_EQ(kSampleEntries - 1, ListCount(list)) << "expected one entry fewer after Delete";
  saveState = SendMessageA(toolbar, TB_GETSTATE, 3, 0);
  EXPECT_TRUE(saveState & TBSTATE_ENABLED) << "expected Save enabled for a changed, named document";
  EXPECT_EQ("Frambo - sample.gif (1:1)", WindowText(mainWindow));

  // Closing asks about the change; No closes without writing anything.
  ASSERT_TRUE(PostMessageA(mainWindow, WM_CLOSE, 0, 0)) << "expected WM_CLOSE posted";
  HWND prompt = editor.FindWindowOfClass("#32770");
  ASSERT_NE(nullptr, prompt) << "expected the save question within 30 s, got none";
  ExpectMessageBoxAndPress(prompt, mainWindow, "Do you want to save the changes?", IDNO);
  DWORD exitCode = 0;
  ASSERT_TRUE(editor.WaitForExit(&exitCode)) << "expected the editor to exit after No, got it still running";
  EXPECT_EQ(0u, exitCode) << "expected exit status 0, got " << exitCode;
  std::vector<std::string> names = FileNames(scratch.temp());
  EXPECT_TRUE(names.empty()) << "expected no file left in " << scratch.temp() << ", got " << Joined(names);
}

TEST(EditorStartedWithoutTemporaryFolder, SwapFileFailureIsShownAndEndsWithStatus1) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.created()) << "expected scratch folder " << scratch.root() << ", got none";

  Editor editor;
  std::string error;
  ASSERT_TRUE(editor.Start("", scratch.root() + "\\missing", &error)) << error;
  HWND dialog = editor.FindWindowOfClass("#32770");
  ASSERT_NE(nullptr, dialog) << "expected a message box within 30 s, got none";
  // Its owner is the main window, which never became visible.
  ExpectMessageBoxAndPressOk(dialog, nullptr, "Cannot create the swap file in the temporary folder");

  DWORD exitCode = 0;
  ASSERT_TRUE(editor.WaitForExit(&exitCode))
      << "expected the editor to exit within 30 s, got it still running";
  EXPECT_EQ(1u, exitCode) << "expected exit status 1, got " << exitCode;
}

}  // namespace
