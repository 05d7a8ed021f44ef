// The settings and the recent files through the registry of the prefix the
// tests run in: what a start reads from the stored values (check marks, the
// frames window, the File menu's numbered entries) and what
// the main window's end writes back.
#include <filesystem>

#include "editor/settings_store.h"
#include "gui_harness.h"

namespace {

// The stored text of value name, or "-".
std::string Stored(const char* name) {
  char text[1024] = "";
  DWORD size = sizeof text;
  return RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size) ? "-" : text;
}

// The flags as the menu and the frames window show them, in the order of
// "default" (interlacing, the fifth, has no mark), then the File menu's
// numbered entries and the separator under them.
std::string Shown(const EditorSession& session) {
  EXPECT_EQ(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW), IsWindowVisible(framesWindow) != 0);
  std::string shown;
  for (bool on : {session.MenuChecked(IDM_OPTIONS_COMMENT_FRAME), session.MenuChecked(IDM_VIEW_DIRTY_ONLY),
                  WindowText(panel.paletteToggle) == "Hide palette", session.ToolbarPressed(kToolFramesWindow),
                  session.MenuChecked(IDM_VIEW_MARK_DIRTY)})
    shown += on ? "1" : "0";
  HMENU fileMenu = GetSubMenu(GetMenu(session.main()), 0);
  for (int i = 9; i < GetMenuItemCount(fileMenu) - 1; ++i) {
    char text[600] = " -";
    if (!(GetMenuState(fileMenu, UINT(i), MF_BYPOSITION) & MF_SEPARATOR))
      GetMenuStringA(fileMenu, UINT(i), text + 1, sizeof text - 1, MF_BYPOSITION);
    shown += text;
  }
  return shown;
}

std::string Picture(const std::string& name) {
  std::filesystem::create_directory(ScratchFile("settings"));
  CopyFileA(DataFile("two-colors.gif").c_str(), ScratchFile("settings\\" + name).c_str(), FALSE);
  return ScratchFile("settings\\" + name);
}

}  // namespace

TEST(Settings, FlagsAndFoldersAreReadAtTheStartAndStoredAtTheEnd) {
  {
    EditorSession session;
    EXPECT_EQ("10010 -", Shown(session) + " " + Stored("default")) << "expected the defaults, nothing stored yet";
  }
  EXPECT_EQ("100100 - - -", Stored("default") + " " + Stored("File1") + " " + Stored("OpenDir") + " " +
                                Stored("SaveDir"))
      << "expected the flags stored, and no recent files or empty folders";
  StoreSetting("default", "0x1011");  // any character but "0" sets its flag
  StoreSetting("OpenDir", "C:\\pictures\\");
  StoreSetting("SaveDir", "C:\\saved\\");
  {
    EditorSession session(Picture("FLAGS.GIF"));
    EXPECT_EQ("01101", Shown(session).substr(0, 5));
    EXPECT_STREQ("C:\\saved\\", saveDir);
    session.AnswerFileName(ScratchFile("settings\\SAVED.GIF"));  // OK keeps the interlaced filter preselected
    session.Command(IDM_FILE_SAVE_AS);
    session.Command(IDM_OPTIONS_COMMENT_FRAME);
  }
  EXPECT_EQ("111011 C:\\pictures\\ " + ScratchFile("settings\\"), Stored("default") + " " + Stored("OpenDir") + " " +
                                                                    Stored("SaveDir"))
      << "expected the credit comment on, the rest as read, the folder read and the Save-as folder";
  StoreSetting("default", "01");  // the flags it lacks keep their first-run values
  { EditorSession session; }
  EXPECT_EQ("010100", Stored("default"));
  StoreSetting("default", "");
  StoreSetting("HDir", "C:\\" + std::string(242, 'h') + "\\");  // as earlier versions' installers left it
  { EditorSession session; }
  EXPECT_EQ("100100 C:\\" + std::string(242, 'h') + "\\", Stored("default") + " " + Stored("HDir"))
      << "expected an empty default counted as none, and an earlier installer's help folder left alone";
}

TEST(Settings, RecentFilesAreListedNewestFirstAndOpenFromTheMenu) {
  StoreSetting("File1", "C:\\" + std::string(300, 'p'));  // cut to 255 characters
  StoreSetting("File3", "C:\\third.gif");
  {
    EditorSession session;
    EXPECT_EQ(" &1 C:\\" + std::string(252, 'p') + " -", Shown(session).substr(5)) << "expected a stop at the gap";
  }
  // Left there, it would join the list as soon as a second file is added.
  EXPECT_EQ("-", Stored("File3")) << "expected the value behind the gap removed";
  const std::string a = Picture("A.GIF"), b = Picture("B & B.GIF"), c = Picture("C.GIF"), e = Picture("E.GIF");
  std::string lowerA = a;
  for (char& letter : lowerA) letter = char(tolower(letter));
  {
    EditorSession session;
    const auto open = [&session](const std::string& path) {
      session.AnswerFileName(path);
      session.Command(IDM_FILE_OPEN);
    };
    for (const std::string& path : {a, b, lowerA, c}) open(path);
    EXPECT_EQ(" &1 " + c + " &2 " + lowerA + " &3 " + ScratchFile("settings\\B && B.GIF") + " &4 C:\\" +
                  std::string(252, 'p') + " -", Shown(session).substr(5))
        << "expected the same file in other letters listed once, newly spelt, and & shown as itself";
    open(Picture("D.GIF"));
    open(e);
  }
  EXPECT_EQ(e + " " + lowerA + " -", Stored("File1") + " " + Stored("File4") + " " + Stored("File5"))
      << "expected the newest four stored";
  StoreSetting("File2", ScratchFile("settings\\GONE.GIF"));
  StoreSetting("File4", "");
  EditorSession session;
  session.Command(IDM_FILE_RECENT_FIRST + 2);
  EXPECT_EQ("Frambo - C.GIF (1:1)", session.Caption());
  session.Command(IDM_FILE_RECENT_FIRST + 2);  // gone: the reader says why, and it stays listed
  session.Command(IDM_FILE_RECENT_LAST);  // no fourth entry: nothing happens
  EXPECT_EQ("Error in reading file", session.LastShown() + (session.shown().size() == 1 ? "" : ", and more"));
  session.AnswerFileName(ScratchFile("settings\\LAST.GIF"));
  session.Command(IDM_FILE_SAVE_AS);
  EXPECT_EQ(" &1 " + ScratchFile("settings\\LAST.GIF") + " &2 " + c + " &3 " + e + " &4 " +
                ScratchFile("settings\\GONE.GIF") + " -", Shown(session).substr(5)) << "expected a save listed on top";
}
