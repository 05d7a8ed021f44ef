// frambo.exe as its own process: started with a file on its command line and
// a temporary folder of its own, driven from outside by class names and
// command ids, closed as a user closes it; then what it left in the folder
// and its exit status.
#include "gui_harness.h"

namespace {

// The editor process with folder\tmp as its temporary folder; ended if a
// failed test leaves it running.
struct Editor {
  Editor(const std::string& arguments, const std::string& folder)
      : temp(folder + "\\tmp"), process(StartProcess(FRAMBO_EXE_PATH, arguments, temp)) {}
  ~Editor() {
    TerminateProcess(process, 99);
    CloseHandle(process);
  }
  // A visible top-level window of the process with the class, waited for
  // (a message box is found before its texts are set otherwise).
  HWND Window(const char* className) const {
    HWND found = nullptr;
    WaitFor([&] {
      DWORD owner = 0;
      while ((found = FindWindowExA(nullptr, found, className, nullptr)) != nullptr)
        if (GetWindowThreadProcessId(found, &owner) && owner == GetProcessId(process) && IsWindowVisible(found))
          return true;
      return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    });
    return found;
  }
  const std::string temp;
  const HANDLE process;
};

// A folder of its own for each test, with the editor's temporary folder in it.
std::string FreshFolder(const std::string& name) {
  std::filesystem::create_directories(ScratchFile(name + "\\tmp"));
  return ScratchFile(name);
}

// The program's message box: caption, owner and text checked, then button pressed.
void AnswerBox(HWND box, HWND owner, const std::string& text, int button) {
  ASSERT_NE(nullptr, box) << "expected a box saying \"" << text << "\", got none";
  EXPECT_EQ("Frambo Version 1.1|" + text, WindowText(box) + "|" + WindowText(GetDlgItem(box, 0xFFFF)));
  EXPECT_TRUE(owner == nullptr || owner == GetWindow(box, GW_OWNER)) << "expected the box owned by the main window";
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// The first window of the class among window's descendants.
struct ChildSearch {
  const char* className;
  HWND found;
};
BOOL CALLBACK StopAtClass(HWND child, LPARAM search) {
  auto* s = reinterpret_cast<ChildSearch*>(search);
  char name[64] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, s->className) != 0) return TRUE;
  s->found = child;
  return FALSE;
}
HWND FindChild(HWND window, const char* className) {
  ChildSearch search = {className, nullptr};
  EnumChildWindows(window, StopAtClass, LPARAM(&search));
  return search.found;
}

}  // namespace

// The path in quotes, as Explorer passes a file opened with the program; a
// long animation, whose list scrolls to its 380th entry.
TEST(EditorProcess, QuotedFileIsOpenedEditedAndClosedThroughTheSavePromptLeavingNothing) {
  const std::string folder = FreshFolder("process-edit"), gif = folder + "\\muy bridge.gif";
  ASSERT_TRUE(CopyFileA(DataFile("gifplayer-muybridge.gif").c_str(), gif.c_str(), FALSE)) << "cannot copy to " << gif;
  Editor editor("\"" + gif + "\"", folder);
  HWND window = editor.Window("WindowsFramboClass");
  EXPECT_TRUE(WaitFor([&] { return WindowText(window) == "Frambo - muy bridge.gif (1:1)"; })) << WindowText(window);
  EXPECT_EQ(nullptr, FindWindowA("#32770", nullptr)) << "expected no message box";
  const std::vector<std::string> files = FileNames(editor.temp);
  EXPECT_TRUE(files.size() == 1 && files[0].find("FRB") == 0) << "expected the swap file only, got " << Joined(files);
  HWND list = FindChild(window, "ListBox");
  ASSERT_EQ(380, SendMessageA(list, LB_GETCOUNT, 0, 0));
  SendMessageA(list, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 360);
  SendMessageA(window, WM_COMMAND, IDM_FILE_DELETE_FRAME, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  AnswerBox(editor.Window("#32770"), window, "Do you want to save the changes?", IDNO);
  EXPECT_EQ(0, ExitStatus(editor.process));
  EXPECT_EQ("[]", Joined(FileNames(editor.temp))) << "expected the temporary folder emptied";
}

// A path of 256 to 259 characters opens on Windows but does not fit the
// document's file name: it is refused rather than cut off.
TEST(EditorProcess, PathTooLongForTheDocumentShowsTheReadErrorAndLeavesItUntitled) {
  const std::string root = FreshFolder("process-long");
  const std::string folder = root + "\\" + std::string(258 - root.size() - 15, 'd'), gif = folder + "\\muybridge.gif";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) && CopyFileA(DataFile("muybridge.gif").c_str(), gif.c_str(), 0))
      << "cannot copy to " << gif;
  Editor editor(gif, root);
  HWND window = editor.Window("WindowsFramboClass");
  AnswerBox(editor.Window("#32770"), window, "Error in reading file", IDOK);
  EXPECT_TRUE(WaitFor([&] { return WindowText(window) == "Frambo - untitled (1:1)"; })) << WindowText(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, ExitStatus(editor.process)) << "expected an unchanged document to close without a question";
  EXPECT_EQ("[]", Joined(FileNames(editor.temp)));
}

TEST(EditorProcess, MissingTemporaryFolderIsShownAndEndsWithStatus1) {
  Editor editor("", FreshFolder("process-no-temp") + "\\missing");
  // Its owner is the main window, which never shows.
  AnswerBox(editor.Window("#32770"), nullptr, "Cannot create the swap file in the temporary folder", IDOK);
  EXPECT_EQ(1, ExitStatus(editor.process));
}

// At 144 DPI the editor places everything at one and a half times its
// 96-DPI place and size, and its toolbar takes the images drawn at twice
// the size. A process of its own reads the resolution when it starts.
TEST(EditorProcess, At144DpiPositionsAndSizesAreScaled) {
  const std::string folder = FreshFolder("process-dpi");
  DWORD dpi = 144;
  RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
  Editor editor(DataFile("muybridge.gif"), folder);
  HWND window = editor.Window("WindowsFramboClass");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
  HWND frames = FindChild(window, kFramesWindowClass);
  ASSERT_NE(nullptr, frames);
  RECT delay;
  GetWindowRect(GetDlgItem(frames, kDelayFieldId), &delay);
  MapWindowPoints(nullptr, frames, reinterpret_cast<POINT*>(&delay), 2);
  EXPECT_EQ("450,0 135x33", std::to_string(delay.left) + "," + std::to_string(delay.top) + " " +
                                std::to_string(delay.right - delay.left) + "x" + std::to_string(delay.bottom - delay.top));
  RECT outer;
  GetWindowRect(frames, &outer);
  EXPECT_EQ(600, outer.right - outer.left);
  const LRESULT button = SendMessageA(FindChild(window, TOOLBARCLASSNAMEA), TB_GETBUTTONSIZE, 0, 0);
  EXPECT_GE(LOWORD(button), 36) << "the images at twice the size";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, ExitStatus(editor.process));
}
