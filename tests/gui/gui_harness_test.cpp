// The harness itself: the dialog answerer must press what it was told, type
// file names into the system's file dialogs, and never leave a test hanging
// on a box nobody expected.
#include "gui_harness.h"

#include <commdlg.h>

#include <cstdio>

namespace {

int ShowBox(const EditorSession& session, const char* text, UINT type) {
  return MessageBoxA(session.main(), text, "Frambo Version 1.1", type);
}

// GetOpenFileNameA as the editor calls it; "" when cancelled.
std::string ChooseFileToOpen(HWND owner) {
  char path[256] = "";
  char title[256] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "GIF-CompuServe (*.gif)\0*.gif\0All files (*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = sizeof title;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) return "";
  return path;
}

TEST(EditorSessionDialogs, QueuedButtonsAnswerBoxesInOrderAndTheirTextsAreRecorded) {
  EditorSession session;
  session.AnswerButton(IDNO);
  session.AnswerButton(IDCANCEL);
  int first = ShowBox(session, "Do you want to save the changes?", MB_YESNOCANCEL | MB_ICONQUESTION);
  int second = ShowBox(session, "Second question", MB_YESNOCANCEL);
  EXPECT_EQ(IDNO, first) << "expected the first answer No, got " << first;
  EXPECT_EQ(IDCANCEL, second) << "expected the second answer Cancel, got " << second;
  ASSERT_EQ(2u, session.shown().size()) << "expected two boxes recorded, got " << session.shown().size();
  EXPECT_EQ("Frambo Version 1.1", session.shown()[0].caption)
      << "expected the box's caption, got \"" << session.shown()[0].caption << "\"";
  EXPECT_EQ("Do you want to save the changes?", session.shown()[0].text)
      << "expected the box's text, got \"" << session.shown()[0].text << "\"";
  EXPECT_EQ(0u, session.unusedAnswers()) << "expected every answer used, got " << session.unusedAnswers() << " left";
}

TEST(EditorSessionDialogs, BoxesNobodyExpectedAreClosedWithoutHanging) {
  EditorSession session;
  int okOnly = ShowBox(session, "Error in reading file", MB_OK);
  int question = ShowBox(session, "Unexpected question", MB_YESNOCANCEL);
  EXPECT_EQ(IDOK, okOnly) << "expected OK pressed on an OK-only box, got " << okOnly;
  EXPECT_EQ(IDCANCEL, question) << "expected Cancel on an unanswered question, got " << question;
}

TEST(EditorSessionDialogs, FileNameIsTypedIntoTheOpenDialogAndAnUnexpectedBoxLeavesItQueued) {
  std::string path = ScratchFile("typed-name.gif");
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, file) << "expected to write " << path;
  fputs("GIF89a", file);
  fclose(file);

  EditorSession session;
  session.AnswerFileName(path);
  // A box in between gets the fallback; the name waits for the dialog.
  ShowBox(session, "In between", MB_OK);
  EXPECT_EQ(1u, session.unusedAnswers()) << "expected the file name still queued, got " << session.unusedAnswers();
  std::string chosen = ChooseFileToOpen(session.main());
  EXPECT_EQ(path, chosen) << "expected the typed name chosen, got \"" << chosen << "\"";

  std::string cancelled = ChooseFileToOpen(session.main());
  EXPECT_EQ("", cancelled) << "expected an unanswered dialog cancelled, got \"" << cancelled << "\"";
  ASSERT_EQ(3u, session.shown().size()) << "expected three dialogs recorded, got " << session.shown().size();
  EXPECT_EQ("", session.shown()[1].text) << "expected no text for a file dialog, got \"" << session.shown()[1].text
                                         << "\"";
}

TEST(EditorSessionDialogs, EachSessionHasItsOwnTemporaryFolderWhileItRuns) {
  std::string first;
  {
    EditorSession session;
    first = session.tempFolder();
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(first + "\\", std::string(temp)) << "expected TMP pointing at the session's folder, got " << temp;
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(first.c_str()))
      << "expected " << first << " removed after the session, got it still there";
  EditorSession second;
  EXPECT_NE(first, second.tempFolder()) << "expected a fresh folder per session, got the same " << first;
}

}  // namespace
