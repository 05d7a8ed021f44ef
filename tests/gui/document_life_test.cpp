// The document's life through the editor's own commands and dialogs: the
// caption, the save prompt's answers and the command a save resumes, Save and
// Save as, a save that fails, pictures that leave the document "untitled",
// refused and dropped files.
#include <shlobj.h>

#include <cstring>
#include <filesystem>

#include "editor/document_life.h"
#include "gui_harness.h"

namespace {

// A copy of muybridge.gif as folder\PICTURE.GIF, the folder made anew.
std::string PictureIn(const std::string& folder) {
  std::filesystem::remove_all(ScratchFile(folder));
  std::filesystem::create_directory(ScratchFile(folder));
  std::filesystem::copy_file(DataFile("muybridge.gif"), ScratchFile(folder + "\\PICTURE.GIF"));
  return ScratchFile(folder + "\\PICTURE.GIF");
}

// path opened as the document, or dropped on the main window as the shell drops it.
void Open(EditorSession& session, const std::string& path, bool drop = false) {
  if (!drop) {
    session.AnswerFileName(path);
    return session.Command(IDM_FILE_OPEN);
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  memcpy(files + 1, path.c_str(), path.size());
  GlobalUnlock(block);
  SendMessageA(session.main(), WM_DROPFILES, WPARAM(block), 0);
  session.Pump();
}

}  // namespace

TEST(DocumentLife, CancelKeepsNoDiscardsRefusalsKeepTheMenusAndPicturesLeaveItUntitled) {
  EditorSession session(DataFile("muybridge.gif"));
  for (int command : {IDM_FILE_ADD_FRAMES, IDM_FILE_INSERT_FRAMES}) {
    session.AnswerFileName(DataFile("malformed-not-a-gif.gif"));
    session.Command(command);
    EXPECT_EQ("Error in reading file", session.LastShown()) << "command " << command;
    EXPECT_TRUE(doc.frameCount == 15 && session.MenuEnabled(IDM_FILE_SAVE_AS) && session.AnimationMenuEnabled())
        << "command " << command << ": expected the frames and their menus kept";
  }
  session.AnswerFileName(DataFile("artificial-no-frames.gif"));  // adds nothing
  session.Command(IDM_FILE_ADD_FRAMES);
  EXPECT_LT(doc.currentFrame, doc.frameCount) << "expected the current frame within the list";
  for (int command : {IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_EXIT}) {
    session.AnswerButton(IDCANCEL);
    session.Command(command);
    EXPECT_EQ("Do you want to save the changes?", session.LastShown()) << "command " << command;
    EXPECT_EQ(15, doc.frameCount) << "command " << command << ": expected Cancel to keep the document";
  }
  session.AnswerButton(IDNO);
  session.AnswerButton(IDCANCEL);  // the Open dialog
  session.Command(IDM_FILE_OPEN);
  EXPECT_EQ(1, doc.modified) << "expected a cancelled Open dialog to leave the changes to be saved";
  session.AnswerButton(IDNO);
  Open(session, DataFile("bpp24-w13.bmp"), true);
  // A BMP opened after a GIF must not take its name: Save would write it over the GIF.
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption()) << "expected No to let the dropped picture in";
  session.Command(IDM_FILE_INSERT_FRAMES);  // dialog cancelled: marked modified all the same
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "expected Save greyed on an untitled document";
  EXPECT_EQ(12u, session.shown().size()) << "expected each prompt once, got " << session.LastShown();
  session.AnswerButton(IDNO);
  Open(session, DataFile("malformed-not-a-gif.gif"));
  EXPECT_EQ(0, doc.frameCount) << "a refused Open leaves the document empty";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE_AS));
}

TEST(DocumentLife, YesSavesThenResumesTheCommandWithoutAskingAgain) {
  const std::string picture = PictureIn("yes");
  {
    EditorSession session(picture);
    session.Command(IDM_FILE_DELETE_FRAME);
    session.AnswerButton(IDYES);
    session.Command(IDM_FILE_NEW);
    EXPECT_EQ(0, doc.frameCount) << "expected New to go on after the save";
    Open(session, picture);
    EXPECT_EQ(14, CountImageFrames()) << "expected the deletion saved";
    session.SelectEntry(1);  // past the credit comment the save put first
    session.Command(IDM_FILE_DELETE_FRAME);
    session.AnswerButton(IDYES);
    session.Command(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(session.main())) << "expected the window closed after the save";
    EXPECT_EQ(3u, session.shown().size()) << "expected two prompts and one Open dialog, nothing more";
  }
  EditorSession session(picture);
  EXPECT_EQ(13, CountImageFrames()) << "expected the save before closing";
}

TEST(DocumentLife, SaveAndSaveAsWriteOnceTheLoopRegainsControlAndAFailureChangesNothing) {
  const std::string picture = PictureIn("save"), target = ScratchFile("save\\saved.gif");
  EditorSession session(picture);
  // Save as waits for the main window and the image view to repaint.
  session.AnswerFileName(target);
  SendMessageA(session.main(), WM_COMMAND, IDM_FILE_SAVE_AS, 0);
  EXPECT_EQ(kSaveAsChosen, saveState & kSaveAsChosen);
  EXPECT_FALSE(std::filesystem::exists(target)) << "expected nothing written before the repaint";
  session.Pump();
  EXPECT_EQ(kSaveIdle, saveState);
  EXPECT_EQ("Frambo - saved.gif (1:1)", session.Caption());
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "a saved document has nothing to save";
  session.SelectEntry(1);  // past the credit comment the save put first
  session.Command(IDM_FILE_DELETE_FRAME);
  SendMessageA(session.main(), WM_COMMAND, kToolSave, 0);
  EXPECT_EQ(kSaveDue, saveState);
  session.Pump();
  EXPECT_EQ(0, doc.modified);
  Open(session, target);
  EXPECT_EQ(14, CountImageFrames()) << "expected Save to write the new name";

  session.Command(IDM_FILE_DELETE_FRAME);
  SetCurrentDirectoryA(DataFile("").c_str());  // the dialog made the folder current
  std::filesystem::remove_all(ScratchFile("save"));
  session.Command(IDM_FILE_SAVE);
  EXPECT_EQ("Error in writing file", session.LastShown());
  EXPECT_EQ(session.main(), session.shown().back().owner);
  EXPECT_TRUE(doc.modified && session.MenuEnabled(IDM_FILE_SAVE)) << "expected the document still to be saved";
  EXPECT_EQ("Frambo - saved.gif (1:1)", session.Caption());
  session.AnswerButton(IDYES);
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ("Error in writing file", session.LastShown());
  EXPECT_NE(0, doc.frameCount) << "expected New abandoned with the failed save";
}

// The session may end as soon as the answer is given: Yes saves before it.
TEST(DocumentLife, TheEndOfTheSessionAsksSavesAtOnceAndLeavesNothingBehind) {
  const std::string picture = PictureIn("session");
  {
    EditorSession session(picture);
    session.Command(IDM_FILE_DELETE_FRAME);
    for (int button : {IDCANCEL, IDNO, IDYES}) {
      session.AnswerButton(button);
      EXPECT_EQ(button != IDCANCEL, SendMessageA(session.main(), WM_QUERYENDSESSION, 0, 0) != 0) << button;
      EXPECT_EQ(button != IDYES, doc.modified != 0) << "button " << button << ": saved only by Yes";
    }
    EXPECT_EQ("Do you want to save the changes?3", session.LastShown() + std::to_string(session.shown().size()));
    SendMessageA(session.main(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ("[]", Joined(FileNames(session.tempFolder()))) << "expected the swap file removed";
    EXPECT_FALSE(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "default", RRF_RT_REG_SZ, 0, 0, 0)) << "settings";
  }
  EditorSession session(picture);
  EXPECT_EQ(14, CountImageFrames()) << "expected the deletion saved";
}

// Too small a main window leaves the image view without area: no paint of
// it can come, and Save as must not wait for one.
TEST(DocumentLife, SaveAsInAWindowTooSmallForTheViewSavesAtOnce) {
  const std::string target = ScratchFile("small.gif");
  std::filesystem::remove(target);
  EditorSession session(DataFile("muybridge.gif"));
  MoveWindow(session.main(), 0, 0, 160, 60, TRUE);
  session.AnswerFileName(target);
  session.Command(IDM_FILE_SAVE_AS);
  EXPECT_TRUE(std::filesystem::exists(target) && saveState == kSaveIdle) << "save state " << int(saveState);
}

TEST(DocumentLife, AFullListTakesNoMoreFramesAndSaysSo) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4);
  for (int i = 0; i < kMaxEntries; ++i) gif.Image(0, 0, 1, 1, {1});
  EditorSession session(WriteGif("full.gif", gif));
  session.Command(IDM_EDIT_COPY);
  for (int command : {IDM_FILE_INSERT_FRAMES, IDM_FILE_ADD_FRAMES, IDM_EDIT_PASTE, IDM_EDIT_PASTE_AT_END}) {
    session.Command(command);
    EXPECT_EQ("The animation cannot hold more frames.", session.LastShown()) << "command " << command;
    EXPECT_TRUE(doc.frameCount == kMaxEntries && doc.modified == 0) << "command " << command;
  }
  EXPECT_EQ("Frambo Version 1.1 4", session.shown().back().caption + " " + std::to_string(session.shown().size()));
}
