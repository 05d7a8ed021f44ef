// Undo and Redo through the Edit menu: the commands' changes, typing into
// the frames window and the save are taken back to the document they left
// and done again, the items name the step, and the modified mark follows
// the state last saved.
#include <functional>

#include "document_text.h"
#include "gui_harness.h"

namespace {

std::string MenuText(const EditorSession& session, int id) {
  char text[160] = "";
  GetMenuStringA(GetMenu(session.main()), UINT(id), text, sizeof text, MF_BYCOMMAND);
  return text;
}

void Type(EditorSession& session, HWND field, const char* text) {
  SetWindowTextA(field, text);
  session.Pump();
}

}  // namespace

TEST(Undo, EveryStepIsUndoneAndRedoneAndTheItemsNameIt) {
  EditorSession session(DataFile("disposal-1-none.gif"));
  EXPECT_EQ("&Undo\tCtrl+Z", MenuText(session, IDM_EDIT_UNDO));
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_UNDO) || session.ToolbarEnabled(kToolUndo));
  const struct {
    const char* name;
    std::function<void()> make;
  } steps[] = {
      {"Delete frame", [&] { session.Command(IDM_FILE_DELETE_FRAME); }},
      {"Duplicate frame", [&] { session.Command(IDM_EDIT_DUPLICATE_FRAME); }},
      {"Move frame earlier", [&] { session.Command(IDM_EDIT_MOVE_EARLIER); }},
      {"Delay time", [&] { Type(session, panel.delayField, "1"), Type(session, panel.delayField, "12"); }},
      {"Restore to background", [&] { SendMessageA(panel.restoreBox, BM_CLICK, 0, 0), session.Pump(); }},
      {"Restore frames to its full size", [&] { session.Command(IDM_OPTIONS_RESTORE_FULL_SIZE); }},
      {"Gray scale", [&] { session.Command(IDM_COLORS_GRAY_SCALE); }},
      {"Cut", [&] { session.Command(IDM_EDIT_CUT); }},
      {"Paste at end", [&] { session.Command(IDM_EDIT_PASTE_AT_END); }},
  };
  std::vector<std::string> made = {DocumentText()};
  for (const auto& step : steps) {
    step.make();
    EXPECT_EQ(std::string("&Undo ") + step.name + "\tCtrl+Z", MenuText(session, IDM_EDIT_UNDO));
    made.push_back(DocumentText());
  }
  for (size_t i = made.size() - 1; i > 0; --i) {
    session.Command(IDM_EDIT_UNDO);
    EXPECT_EQ(made[i - 1], DocumentText()) << "undoing " << steps[i - 1].name;
    EXPECT_EQ(std::string("&Redo ") + steps[i - 1].name + "\tCtrl+Y", MenuText(session, IDM_EDIT_REDO));
  }
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_UNDO) || session.MenuEnabled(IDM_FILE_SAVE)) << "back as opened";
  EXPECT_EQ(4u, session.FramesListTexts().size());
  for (size_t i = 1; i < made.size(); ++i) {
    ASSERT_TRUE(session.ToolbarEnabled(kToolRedo)) << steps[i - 1].name;
    session.Command(kToolRedo);
    EXPECT_EQ(made[i], DocumentText()) << "redoing " << steps[i - 1].name;
  }
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_REDO));
  TOOLTIPTEXTA tip = {};
  tip.hdr.code = TTN_NEEDTEXTA;
  tip.hdr.idFrom = kToolUndo;
  SendMessageA(session.main(), WM_NOTIFY, 0, LPARAM(&tip));
  EXPECT_STREQ("Undo Paste at end", tip.lpszText);
}

// The save's own changes are a step; undoing to the saved state clears the
// mark and moving away from it sets it again.
TEST(Undo, TheModifiedMarkFollowsTheSavedState) {
  EditorSession session(DataFile("disposal-1-none.gif"));
  session.Command(IDM_EDIT_MOVE_LATER);
  session.AnswerFileName(ScratchFile("undo-saved.gif"));
  session.Command(IDM_FILE_SAVE_AS);
  ASSERT_EQ("&Undo Save\tCtrl+Z", MenuText(session, IDM_EDIT_UNDO)) << "the credit comment went in";
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_UNDO);
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_REDO);
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_DUPLICATE_FRAME);
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_UNDO);
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_UNDO);
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_UNDO) || session.MenuEnabled(IDM_EDIT_REDO)) << "New starts afresh";
}
