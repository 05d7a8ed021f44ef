// The settings and the recent files through the registry of the prefix the
// tests run in: what a start reads from the stored values (menu check marks,
// the frames window, the File menu's numbered entries, the help file), and
// what the main window's end writes back. Every test of the program starts
// and ends with the key gone, as on a first run.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/frames_window.h"
#include "editor/settings_store.h"

namespace {

constexpr char kMissing[] = "(missing)";

// The stored text of value name, or kMissing.
std::string Stored(const char* name) {
  char text[1024] = "";
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, text, &size) != ERROR_SUCCESS)
    return kMissing;
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << "value " << name << " should be a string";
  return text;
}

// The File menu as the user reads it, a separator as "-".
std::vector<std::string> FileMenuTexts(const EditorSession& session) {
  HMENU fileMenu = GetSubMenu(GetMenu(session.main()), 0);
  std::vector<std::string> texts;
  for (int i = 0; i < GetMenuItemCount(fileMenu); ++i) {
    if (GetMenuState(fileMenu, i, MF_BYPOSITION) & MF_SEPARATOR) {
      texts.push_back("-");
      continue;
    }
    char text[512] = "";
    GetMenuStringA(fileMenu, i, text, sizeof text, MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

// The File menu with these numbered entries.
std::vector<std::string> FileMenuWith(const std::vector<std::string>& entries) {
  std::vector<std::string> texts = {"&New", "&Open", "&Save", "Save &as", "&Insert frame(s)", "&Add frame(s) to end",
                                    "&Delete frame", "-", "-"};
  for (size_t i = 0; i < entries.size(); ++i) {
    // A "&" of a path is doubled to show as itself.
    std::string text = "&" + std::to_string(i + 1) + " ";
    for (char c : entries[i]) text += c == '&' ? std::string("&&") : std::string(1, c);
    texts.push_back(text);
  }
  if (!entries.empty()) texts.push_back("-");
  texts.push_back("E&xit");
  return texts;
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const auto& text : texts) joined += (joined.empty() ? "" : " | ") + text;
  return joined;
}

::testing::AssertionResult FileMenuShows(const EditorSession& session, const std::vector<std::string>& entries) {
  const std::string expected = Joined(FileMenuWith(entries));
  const std::string got = Joined(FileMenuTexts(session));
  if (expected == got) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected the File menu " << expected << ", got " << got;
}

// A copy of a small animation under name in this file's scratch folder.
std::string PictureNamed(const std::string& name) {
  const std::string folder = ScratchFile("settings");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name;
  EXPECT_TRUE(CopyFileA(DataFile("animated-red-blue.gif").c_str(), path.c_str(), FALSE)) << "cannot copy to " << path;
  return path;
}

void Open(EditorSession& session, const std::string& path) {
  session.AnswerFileName(path);
  session.Command(IDM_FILE_OPEN);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

using SettingsTest = ::testing::Test;

}  // namespace

TEST_F(SettingsTest, FirstRunShowsTheDefaultsAndStores100100AtShutdown) {
  {
    EditorSession session;
    EXPECT_TRUE(session.MenuChecked(IDM_OPTIONS_COMMENT_FRAME)) << "expected the credit comment on";
    EXPECT_FALSE(session.MenuChecked(IDM_VIEW_DIRTY_ONLY)) << "expected whole frames shown";
    EXPECT_FALSE(session.MenuChecked(IDM_VIEW_MARK_DIRTY)) << "expected no dirty rectangles marked";
    EXPECT_TRUE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected the frames window shown";
    EXPECT_TRUE(IsWindowVisible(session.FramesWindow()));
    EXPECT_EQ("Show palette", session.FramesControlText(kPaletteToggleId)) << "expected the palette part hidden";
    EXPECT_TRUE(FileMenuShows(session, {}));
    EXPECT_EQ(kMissing, Stored("default")) << "nothing is stored before the end";
  }
  EXPECT_EQ("100100", Stored("default"));
  EXPECT_EQ(kMissing, Stored("File1")) << "no recent files to store";
  EXPECT_EQ(kMissing, Stored("OpenDir")) << "an empty folder is not stored";
  EXPECT_EQ(kMissing, Stored("SaveDir")) << "an empty folder is not stored";
}

TEST_F(SettingsTest, StoredFlagsComeBackAndAreStoredAgainAsZerosAndOnes) {
  // Any character but "0" sets its flag.
  StoreSetting("default", "0x1011");
  StoreSetting("OpenDir", "C:\\pictures\\");
  StoreSetting("SaveDir", "C:\\saved\\");
  {
    // Opened from the command line: the Open dialog's folder stays as read.
    EditorSession session(PictureNamed("FLAGS.GIF"));
    EXPECT_FALSE(session.MenuChecked(IDM_OPTIONS_COMMENT_FRAME)) << "expected the credit comment off";
    EXPECT_TRUE(session.MenuChecked(IDM_VIEW_DIRTY_ONLY)) << "expected \"x\" to set the dirty-only view";
    EXPECT_TRUE(session.MenuChecked(IDM_VIEW_MARK_DIRTY));
    EXPECT_FALSE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected the frames window hidden";
    EXPECT_FALSE(IsWindowVisible(session.FramesWindow()));
    EXPECT_FALSE(session.ToolbarPressed(15));
    EXPECT_EQ("Hide palette", session.FramesControlText(kPaletteToggleId)) << "expected the palette part shown";
    EXPECT_STREQ("C:\\pictures\\", openDir);
    EXPECT_STREQ("C:\\saved\\", saveDir);

    // A Save as answered with OK keeps the interlaced filter it preselected.
    session.AnswerFileName(ScratchFile("settings") + "\\FLAGS-SAVED.GIF");
    session.Command(IDM_FILE_SAVE_AS);
    session.Command(IDM_OPTIONS_COMMENT_FRAME);
    EXPECT_TRUE(session.MenuChecked(IDM_OPTIONS_COMMENT_FRAME));
  }
  EXPECT_EQ("111011", Stored("default")) << "expected the credit comment turned on and the rest as read";
  EXPECT_EQ("C:\\pictures\\", Stored("OpenDir")) << "expected the folder read stored again";
  EXPECT_EQ(ScratchFile("settings") + "\\", Stored("SaveDir")) << "expected the Save-as folder stored";
}

TEST_F(SettingsTest, ShortOrEmptyDefaultKeepsTheFirstRunValuesOfTheFlagsItLacks) {
  StoreSetting("default", "01");
  {
    EditorSession session;
    EXPECT_FALSE(session.MenuChecked(IDM_OPTIONS_COMMENT_FRAME)) << "expected the stored 0";
    EXPECT_TRUE(session.MenuChecked(IDM_VIEW_DIRTY_ONLY)) << "expected the stored 1";
    EXPECT_TRUE(session.MenuChecked(IDM_VIEW_FRAMES_WINDOW)) << "expected the frames window's first-run value";
    EXPECT_FALSE(session.MenuChecked(IDM_VIEW_MARK_DIRTY)) << "expected the first-run value, not the text's end";
    EXPECT_EQ("Show palette", session.FramesControlText(kPaletteToggleId));
  }
  EXPECT_EQ("010100", Stored("default"));

  StoreSetting("default", "");
  { EditorSession session; }
  EXPECT_EQ("100100", Stored("default")) << "an empty value counts as none";
}

TEST_F(SettingsTest, RecentListStopsAtTheFirstMissingOrEmptyValue) {
  StoreSetting("File1", "C:\\first.gif");
  StoreSetting("File3", "C:\\third.gif");
  {
    EditorSession session;
    EXPECT_TRUE(FileMenuShows(session, {"C:\\first.gif"}));
    EXPECT_STREQ("", RecentFile(2)) << "File3 lies behind the gap";
  }
  EXPECT_EQ("C:\\first.gif", Stored("File1"));
  EXPECT_EQ(kMissing, Stored("File2"));
  // Left there, it would join the list as soon as a second file is added.
  EXPECT_EQ(kMissing, Stored("File3")) << "expected the value behind the gap removed";

  StoreSetting("File2", "");
  StoreSetting("File3", "C:\\third.gif");
  {
    EditorSession session;
    EXPECT_TRUE(FileMenuShows(session, {"C:\\first.gif"}));
  }

  // A stored path longer than the list holds is cut to 255 characters.
  const std::string longPath = "C:\\" + std::string(300, 'p') + ".gif";
  StoreSetting("File1", longPath);
  {
    EditorSession session;
    EXPECT_TRUE(FileMenuShows(session, {longPath.substr(0, 255)}));
  }
}

TEST_F(SettingsTest, SameFileInOtherLettersTakesTheTopWithTheNewSpelling) {
  const std::string other = PictureNamed("OTHER.GIF");
  const std::string upper = Upper(PictureNamed("A.GIF"));
  const std::string lower = Lower(upper);
  {
    EditorSession session;
    Open(session, upper);
    Open(session, other);
    Open(session, lower);
    EXPECT_TRUE(FileMenuShows(session, {lower, other}));
  }
  EXPECT_EQ(lower, Stored("File1"));
  EXPECT_EQ(other, Stored("File2"));
  EXPECT_EQ(kMissing, Stored("File3")) << "expected " << upper << " listed once";
}

TEST_F(SettingsTest, FiveOpenedFilesLeaveTheNewestFourNumberedOneToFour) {
  std::vector<std::string> paths;
  for (int i = 1; i <= 5; ++i) paths.push_back(PictureNamed("FIVE" + std::to_string(i) + ".GIF"));
  {
    EditorSession session;
    for (const auto& path : paths) Open(session, path);
    EXPECT_EQ("Frambo - FIVE5.GIF (1:1)", session.Caption());
    EXPECT_TRUE(FileMenuShows(session, {paths[4], paths[3], paths[2], paths[1]}));
  }
  EXPECT_EQ(paths[4], Stored("File1"));
  EXPECT_EQ(paths[3], Stored("File2"));
  EXPECT_EQ(paths[2], Stored("File3"));
  EXPECT_EQ(paths[1], Stored("File4"));
  EXPECT_EQ(kMissing, Stored("File5"));

  // The next start shows the same list.
  EditorSession session;
  EXPECT_TRUE(FileMenuShows(session, {paths[4], paths[3], paths[2], paths[1]}));
}

TEST_F(SettingsTest, RecentEntriesOpenTheirFilesAndSavesJoinTheList) {
  const std::string first = PictureNamed("RECENT1.GIF");
  const std::string second = PictureNamed("RECENT & 2.GIF");
  const std::string gone = ScratchFile("settings") + "\\GONE.GIF";
  StoreSetting("File1", first);
  StoreSetting("File2", second);
  StoreSetting("File3", gone);
  EditorSession session;
  EXPECT_TRUE(FileMenuShows(session, {first, second, gone}));

  session.Command(IDM_FILE_RECENT_FIRST + 1);
  EXPECT_EQ("Frambo - RECENT & 2.GIF (1:1)", session.Caption()) << "expected entry &2 opened by its own name";
  EXPECT_TRUE(FileMenuShows(session, {second, first, gone}));

  const size_t shownBefore = session.shown().size();
  session.Command(IDM_FILE_RECENT_LAST);  // no fourth entry: nothing happens
  EXPECT_EQ("Frambo - RECENT & 2.GIF (1:1)", session.Caption());
  EXPECT_EQ(shownBefore, session.shown().size()) << "expected nothing shown for an absent entry";

  // A listed file that has gone stays listed; the reader says why it failed.
  session.Command(IDM_FILE_RECENT_FIRST + 2);
  ASSERT_EQ(shownBefore + 1, session.shown().size()) << "expected one message for the missing file";
  EXPECT_EQ("Error in reading file", session.shown().back().text);
  EXPECT_TRUE(FileMenuShows(session, {second, first, gone}));

  Open(session, first);
  const std::string saved = ScratchFile("settings") + "\\SAVED.GIF";
  session.AnswerFileName(saved);
  session.Command(IDM_FILE_SAVE_AS);
  EXPECT_TRUE(FileMenuShows(session, {saved, first, second, gone}));
}

TEST_F(SettingsTest, HelpFileLiesInTheStoredFolderOrIsLookedUpByItsBareName) {
  struct Case {
    std::string folder;  // "" stores no "HDir"
    std::string expected;
  };
  const std::string fits = "C:\\" + std::string(241, 'h') + "\\";  // 245 characters + "frambo.hlp" = 255
  const std::string tooLong = "C:\\" + std::string(242, 'h') + "\\";
  const Case cases[] = {
      {"", ""},
      {"C:\\Program Files\\Frambo\\", "C:\\Program Files\\Frambo\\frambo.hlp"},
      {fits, fits + "frambo.hlp"},
      {tooLong, ""},
      {"C:\\" + std::string(400, 'h') + "\\", ""},
  };
  for (const auto& c : cases) {
    ForgetStoredSettings();
    if (!c.folder.empty()) StoreSetting("HDir", c.folder);
    EditorSession session;
    EXPECT_EQ(c.expected, std::string(helpPath)) << "HDir of " << c.folder.size() << " characters";
  }
  ForgetStoredSettings();
  StoreSetting("HDir", "C:\\Help\\");
  { EditorSession session; }
  EXPECT_EQ("C:\\Help\\", Stored("HDir")) << "the installer's value is never rewritten";
}
