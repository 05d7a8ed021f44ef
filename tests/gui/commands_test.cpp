// The main window's commands as a user meets them: what the File and
// Animation menus and their buttons offer in each state of the document, the
// zoom and its limits, stepping through the frames, Delete and About.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"

namespace {

// "Save, Save as, Animation" as on/off, read from the menu; each toolbar
// button must agree with its menu item.
std::string Offered(const EditorSession& session) {
  const bool save = session.MenuEnabled(IDM_FILE_SAVE), saveAs = session.MenuEnabled(IDM_FILE_SAVE_AS),
             animation = session.AnimationMenuEnabled();
  EXPECT_EQ(save, session.ToolbarEnabled(kToolSave)) << "Save button differs from the menu";
  EXPECT_EQ(saveAs, session.ToolbarEnabled(kToolSaveAs)) << "Save as button differs from the menu";
  for (int tool : {kToolPlay, kToolStop, kToolAdvance})
    EXPECT_EQ(animation, session.ToolbarEnabled(tool)) << "button " << tool << " differs from the Animation menu";
  auto word = [](bool on) { return on ? std::string("on") : std::string("off"); };
  return word(save) + " " + word(saveAs) + " " + word(animation);
}

std::string ZoomSuffix(const EditorSession& session) {
  const std::string caption = session.Caption();
  return caption.substr(caption.rfind('(') == std::string::npos ? 0 : caption.rfind('('));
}

}  // namespace

TEST(CommandsTest, SaveSaveAsAndAnimationFollowTheDocumentState) {
  EditorSession session;
  EXPECT_EQ("off off off", Offered(session)) << "empty, untitled";
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_CUT)) << "expected Cut greyed without entries";
  session.Command(IDM_FILE_DELETE_FRAME);
  EXPECT_EQ(1, doc.modified) << "Delete on an empty document still marks it modified";
  EXPECT_EQ("off off off", Offered(session)) << "modified, untitled, empty";

  session.AnswerFileName(DataFile("muybridge.gif"));
  session.Command(IDM_FILE_OPEN);
  ASSERT_EQ(1u, session.shown().size()) << "expected no prompt for an empty document, only the dialog";
  EXPECT_EQ("off on on", Offered(session)) << "opened, not modified";
  EXPECT_TRUE(session.MenuEnabled(IDM_EDIT_COPY)) << "expected Copy offered with entries";
  const int entries = doc.frameCount;
  for (int i = 1; i < entries; ++i) session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_FILE_DELETE_FRAME);
  EXPECT_EQ(entries - 2, doc.currentFrame) << "deleting the last entry makes the new last one current";
  EXPECT_EQ(static_cast<size_t>(entries - 1), session.FramesListTexts().size());
  EXPECT_EQ("on on on", Offered(session)) << "modified, named";

  session.AnswerButton(IDNO);
  session.AnswerFileName(DataFile("two-colors.gif"));
  session.Command(IDM_FILE_OPEN);
  EXPECT_EQ("off on off", Offered(session)) << "one frame opened";
  session.Command(IDM_FILE_DELETE_FRAME);
  EXPECT_EQ("on on off", Offered(session)) << "last entry deleted: Save as stays";
}

TEST(CommandsTest, ZoomStopsAtNineToOneAndOneToNine) {
  EditorSession session(DataFile("muybridge.gif"));
  for (int i = 0; i < 8; ++i) session.Command(i % 2 ? IDM_VIEW_ZOOM_IN : kToolZoomIn);
  EXPECT_EQ("(9:1)", ZoomSuffix(session));
  session.Command(IDM_VIEW_ZOOM_IN);
  EXPECT_EQ(8, zoom) << "a ninth zoom in must change nothing";

  session.Command(IDM_VIEW_NORMAL);
  EXPECT_EQ("(1:1)", ZoomSuffix(session));
  for (int i = 0; i < 9; ++i) session.Command(i % 2 ? IDM_VIEW_ZOOM_OUT : kToolZoomOut);
  EXPECT_EQ(-8, zoom) << "zoom out at 1:9 must change nothing";
  EXPECT_EQ("Frambo - muybridge.gif (1:9)", session.Caption());
}

TEST(CommandsTest, NextFrameWrapsAndVisitsCommentEntries) {
  EditorSession session(DataFile("comments-between-frames.gif"));  // comment, image, comment, image, comment
  std::string visited;
  for (int i = 0; i < 5; ++i) {
    session.Command(kToolAdvance);
    visited += std::to_string(doc.currentFrame);
  }
  EXPECT_EQ("12340", visited) << "expected every entry in turn, then back to 0";
  EXPECT_EQ(4, previousFrame) << "expected the last entry as the frame shown before";
}

TEST(CommandsTest, AboutNamesTheProgramAndWhatItDoes) {
  EditorSession session;
  session.AnswerButton(IDOK);
  session.Command(IDM_HELP_ABOUT);
  ASSERT_EQ(1u, session.shown().size()) << "expected one message box";
  EXPECT_EQ("Frambo Version 1.1", session.shown()[0].caption);
  EXPECT_NE(std::string::npos, session.shown()[0].text.find("Frambo Version 1.1")) << session.shown()[0].text;
  EXPECT_NE(std::string::npos, session.shown()[0].text.find("animated GIF")) << session.shown()[0].text;
}
