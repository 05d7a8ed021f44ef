// The document's life through the editor's own commands and dialogs: the
// caption, the save prompt's answers and the command a save resumes, Save and
// Save as into a scratch folder, a save that fails, pictures that make the
// document "untitled", refused and dropped files.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/document_life.h"
#include "editor/toolbar.h"

namespace {

constexpr char kPrompt[] = "Do you want to save the changes?";

// path in a scratch folder of its own, no file there yet.
std::string ScratchPath(const std::string& folder, const std::string& name) {
  const std::string path = ScratchFile(folder) + "\\" + name;
  CreateDirectoryA(ScratchFile(folder).c_str(), nullptr);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
  return path;
}

std::string CopyOf(const std::string& dataName, const std::string& folder, const std::string& name) {
  const std::string path = ScratchPath(folder, name);
  EXPECT_TRUE(CopyFileA(DataFile(dataName).c_str(), path.c_str(), FALSE)) << "cannot copy " << dataName;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Opens path as the document and returns its number of image frames.
int ImageFramesAfterOpening(EditorSession& session, const std::string& path) {
  session.AnswerFileName(path);
  session.Command(IDM_FILE_OPEN);
  return CountImageFrames();
}

std::string LastShown(const EditorSession& session) {
  return session.shown().empty() ? "(nothing shown)" : session.shown().back().text;
}

// Drops one file on the main window as the shell does.
void DropFile(EditorSession& session, const std::string& path) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path.c_str(), path.size());
  GlobalUnlock(block);
  SendMessageA(session.main(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  session.Pump();
}

}  // namespace

TEST(DocumentLifeTest, CaptionNamesTheGifAndImportedPicturesStayUntitled) {
  EditorSession session(CopyOf("muybridge.gif", "h2-caption", "PICTURE.GIF"));
  EXPECT_EQ("Frambo - PICTURE.GIF (1:1)", session.Caption());

  // A BMP opened after a GIF must not take its name: Save would write the
  // BMP's picture over PICTURE.GIF.
  ImageFramesAfterOpening(session, DataFile("bpp24-w13.bmp"));
  EXPECT_EQ(1, doc.frameCount);
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
  session.Command(IDM_FILE_INSERT_FRAMES);  // dialog cancelled: marked modified all the same
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "expected Save greyed on an untitled document";
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "expected Save as offered";

  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  ImageFramesAfterOpening(session, CopyOf("muybridge.gif", "h2-caption", "PICTURE.GIF"));
  ImageFramesAfterOpening(session, DataFile("peacock-default.jpg"));
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption()) << "a JPEG opened as the document";
}

TEST(DocumentLifeTest, CancelAndNoAnswersToThePrompt) {
  EditorSession session(DataFile("muybridge.gif"));
  session.Command(IDM_FILE_DELETE_FRAME);
  const int entries = doc.frameCount;
  for (int command : {IDM_FILE_NEW, IDM_FILE_OPEN}) {
    session.AnswerButton(IDCANCEL);
    session.Command(command);
    EXPECT_EQ(kPrompt, LastShown(session)) << "command " << command << ": expected the prompt and nothing after";
    EXPECT_EQ("Frambo Version 1.1", session.shown().back().caption);
    EXPECT_EQ(entries, doc.frameCount) << "command " << command << ": Cancel must keep the document";
  }
  session.AnswerButton(IDCANCEL);
  SendMessageA(session.main(), WM_CLOSE, 0, 0);
  session.Pump();
  ASSERT_TRUE(IsWindow(session.main())) << "Cancel must keep the window open";

  session.AnswerButton(IDNO);
  session.AnswerButton(IDCANCEL);  // the Open dialog
  session.Command(IDM_FILE_OPEN);
  EXPECT_EQ(entries, doc.frameCount);
  EXPECT_EQ(1, doc.modified) << "a cancelled Open dialog must leave the changes waiting to be saved";
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ(0, doc.frameCount) << "expected No to let New go on";
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
}

TEST(DocumentLifeTest, YesSavesThenResumesTheCommandWithoutAskingAgain) {
  const std::string picture = CopyOf("muybridge.gif", "h2-yes", "PICTURE.GIF");
  int images = 0;
  {
    EditorSession session(picture);
    images = CountImageFrames();
    session.Command(IDM_FILE_DELETE_FRAME);
    session.AnswerButton(IDYES);
    session.Command(IDM_FILE_NEW);
    EXPECT_EQ(0, doc.frameCount) << "expected New to go on after the save";
    EXPECT_EQ(images - 1, ImageFramesAfterOpening(session, picture)) << "expected the deletion saved";
    EXPECT_EQ(2u, session.shown().size()) << "expected one prompt and the Open dialog, nothing more";

    session.Command(IDM_ANIMATION_NEXT_FRAME);  // past the credit comment the save put first
    session.Command(IDM_FILE_DELETE_FRAME);
    session.AnswerButton(IDYES);
    session.Command(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(session.main())) << "expected the window closed after the save";
  }
  EditorSession session(picture);
  EXPECT_EQ(images - 2, CountImageFrames()) << "expected the save before closing";

  // Untitled: Yes shows Save as; cancelling it abandons New for good.
  const std::string target = ScratchPath("h2-yes", "kept.gif");
  ImageFramesAfterOpening(session, DataFile("bpp24-w13.bmp"));
  session.Command(IDM_FILE_ADD_FRAMES);  // cancelled: modified, still untitled
  session.AnswerButton(IDYES);
  session.AnswerButton(IDCANCEL);  // the Save-as dialog
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ(1, doc.frameCount) << "expected the document kept";
  session.AnswerFileName(target);
  session.Command(IDM_FILE_SAVE_AS);
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(1, CountImageFrames()) << "a later save resumed the abandoned New";
  EXPECT_EQ("Frambo - kept.gif (1:1)", session.Caption());
}

TEST(DocumentLifeTest, SaveAndSaveAsWriteOnlyOnceTheLoopRegainsControl) {
  const std::string target = ScratchPath("h2-save", "saved.gif");
  EditorSession session(DataFile("muybridge.gif"));
  const int images = CountImageFrames();

  // Save as waits for the main window and the image view to repaint.
  session.AnswerFileName(target);
  SendMessageA(session.main(), WM_COMMAND, IDM_FILE_SAVE_AS, 0);
  EXPECT_EQ(kSaveAsChosen, saveState & kSaveAsChosen);
  EXPECT_FALSE(Exists(target)) << "expected nothing written before the repaint";
  session.Pump();
  EXPECT_EQ(kSaveIdle, saveState);
  ASSERT_TRUE(Exists(target));
  EXPECT_EQ("Frambo - saved.gif (1:1)", session.Caption());
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE)) << "a saved document has nothing to save";

  session.Command(IDM_ANIMATION_NEXT_FRAME);  // past the credit comment the save put first
  session.Command(IDM_FILE_DELETE_FRAME);
  SendMessageA(session.main(), WM_COMMAND, kToolSave, 0);
  EXPECT_EQ(kSaveDue, saveState);
  session.Pump();
  EXPECT_EQ(0, doc.modified);
  EXPECT_EQ(images - 1, ImageFramesAfterOpening(session, target)) << "expected Save to write the new name";
}

TEST(DocumentLifeTest, FailedSaveSaysSoAndChangesNothing) {
  const std::string picture = CopyOf("muybridge.gif", "h2-gone", "PICTURE.GIF");
  EditorSession session(picture);
  DeleteFileA(picture.c_str());
  ASSERT_TRUE(RemoveDirectoryA(ScratchFile("h2-gone").c_str())) << "cannot take the folder away";
  session.Command(IDM_FILE_DELETE_FRAME);
  const int entries = doc.frameCount;

  session.AnswerButton(IDOK);
  session.Command(IDM_FILE_SAVE);
  ASSERT_EQ(1u, session.shown().size()) << "expected a message about the failed save";
  EXPECT_EQ("Error in writing file", LastShown(session));
  EXPECT_EQ("Frambo Version 1.1", session.shown()[0].caption);
  EXPECT_EQ(1, doc.modified) << "expected the document still modified";
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE));
  EXPECT_EQ("Frambo - PICTURE.GIF (1:1)", session.Caption());

  session.AnswerButton(IDYES);
  session.AnswerButton(IDOK);
  session.Command(IDM_FILE_NEW);
  EXPECT_EQ("Error in writing file", LastShown(session));
  EXPECT_EQ(entries, doc.frameCount) << "expected New abandoned with the failed save";
}

TEST(DocumentLifeTest, RefusedFilesLeaveMenusMatchingTheFrames) {
  EditorSession session(DataFile("muybridge.gif"));
  const int entries = doc.frameCount;
  for (int command : {IDM_FILE_ADD_FRAMES, IDM_FILE_INSERT_FRAMES}) {
    session.AnswerFileName(DataFile("malformed-not-a-gif.gif"));
    session.Command(command);
    EXPECT_EQ("Error in reading file", LastShown(session));
    EXPECT_EQ(entries, doc.frameCount);
    EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE_AS)) << "command " << command << ": expected Save as offered";
    EXPECT_TRUE(session.AnimationMenuEnabled()) << "command " << command << ": expected Animation offered";
  }
  // A file without frames adds nothing; the current frame stays in the list.
  session.AnswerFileName(DataFile("artificial-no-frames.gif"));
  session.Command(IDM_FILE_ADD_FRAMES);
  EXPECT_LT(doc.currentFrame, doc.frameCount) << "expected the current frame within the list";

  session.AnswerButton(IDNO);
  session.AnswerFileName(DataFile("malformed-not-a-gif.gif"));
  session.Command(IDM_FILE_OPEN);
  EXPECT_EQ(0, doc.frameCount) << "a refused Open leaves the document empty";
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE_AS));
}

TEST(DocumentLifeTest, DroppedPicturesOpenAfterThePromptOthersAreRefused) {
  EditorSession session;
  DropFile(session, DataFile("muybridge.gif"));
  EXPECT_EQ("Frambo - muybridge.gif (1:1)", session.Caption());
  session.Command(IDM_FILE_DELETE_FRAME);
  const int entries = doc.frameCount;

  DropFile(session, DataFile("README.md"));
  EXPECT_EQ("Error in reading file", LastShown(session));
  EXPECT_EQ(1u, session.shown().size()) << "a refused file needs no prompt";
  session.AnswerButton(IDCANCEL);
  DropFile(session, DataFile("bpp24-w13.bmp"));
  EXPECT_EQ(kPrompt, LastShown(session));
  EXPECT_EQ(entries, doc.frameCount) << "Cancel must keep the document";
  session.AnswerButton(IDNO);
  DropFile(session, DataFile("bpp24-w13.bmp"));
  EXPECT_EQ(1, doc.frameCount);
  EXPECT_EQ("Frambo - untitled (1:1)", session.Caption());
}
