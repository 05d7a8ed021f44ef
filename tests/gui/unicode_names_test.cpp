// File names in any language: a GIF opened by such a name from the command
// line, shown in the caption, saved through the Save-as dialog under another,
// a JPEG of such a name added, the recent file read back by the next
// session, and frambo-cli.exe reading the saved file by its name.
#include "gui_harness.h"
#include "platform/utf8_path.h"

namespace {

// The caption as the window keeps and draws it, not through the code page
// that asking its ANSI window procedure would go through.
std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  InternalGetWindowText(window, text, 512);
  return text;
}

bool Copied(const std::string& from, const std::string& to) {
  return CopyFileW(Utf16(from.c_str()).c_str(), Utf16(to.c_str()).c_str(), FALSE) != 0;
}

}  // namespace

TEST(UnicodeNames, FilesOfAnyNameOpenSaveAndComeBackAsRecentFiles) {
  const std::string gif = ScratchFile("Ünïcödé 漢字.gif"), photo = ScratchFile("фото.jpg");
  const std::string saved = ScratchFile("сохранено.gif");
  ASSERT_TRUE(Copied(DataFile("muybridge.gif"), gif) && Copied(DataFile("size-1x1.jpg"), photo));
  {
    EditorSession session("\"" + gif + "\"");
    EXPECT_EQ(Utf16("Frambo - Ünïcödé 漢字.gif (1:1)"), WideText(session.main()));
    const int frames = doc.frameCount;
    session.AnswerFileName(photo);
    session.Command(IDM_FILE_ADD_FRAMES);
    EXPECT_EQ(frames + 1, doc.frameCount) << "the JPEG added";
    session.AnswerFileName(saved);
    session.Command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(Utf16("Frambo - сохранено.gif (1:1)"), WideText(session.main()));
  }
  EditorSession next;
  wchar_t item[512] = L"";
  GetMenuStringW(GetMenu(next.main()), IDM_FILE_RECENT_FIRST, item, 512, MF_BYCOMMAND);
  EXPECT_EQ(Utf16(("&1 " + saved).c_str()), item);
  EXPECT_EQ(0, ExitStatus(StartProcess(FRAMBO_BUILD_DIR "/frambo-cli.exe", "info \"" + saved + "\"")));
}
