// "Loop count..." shows the document's count, refuses a number of repeats
// out of range, and its Ok is one undo step that the save writes.
#include <string>

#include "gui_harness.h"

TEST(LoopCount, TheDialogShowsTheCountAndOkSetsItAsOneStepTheSaveWrites) {
  EditorSession session(DataFile("netscape-loop-3.gif"));  // loops three times
  std::string shown;
  session.Answer({IDOK, "", [&](HWND dialog) {
                    shown = std::to_string(IsDlgButtonChecked(dialog, IDC_LOOP_REPEAT)) + " " +
                            WindowText(GetDlgItem(dialog, IDC_LOOP_TIMES));
                    SetDlgItemTextA(dialog, IDC_LOOP_TIMES, "65536");
                    SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // said, and the dialog stays
                    CheckRadioButton(dialog, IDC_LOOP_ONCE, IDC_LOOP_REPEAT, IDC_LOOP_ONCE);
                  }});
  session.Command(IDM_ANIMATION_LOOP_COUNT);
  EXPECT_EQ("1 3", shown);
  EXPECT_EQ("Enter a number of repeats from 1 to 65535.", session.LastShown());
  EXPECT_EQ(kNoLooping, doc.loopCount);
  EXPECT_TRUE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_UNDO);
  EXPECT_EQ(3, doc.loopCount);
  EXPECT_FALSE(session.MenuEnabled(IDM_FILE_SAVE));
  session.Command(IDM_EDIT_REDO);
  session.AnswerFileName(ScratchFile("played-once.gif"));
  session.Command(IDM_FILE_SAVE_AS);
  const std::vector<uint8_t> saved = FileBytes(ScratchFile("played-once.gif"));
  const std::string looping = "NETSCAPE2.0";
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(saved.end(), std::search(saved.begin(), saved.end(), looping.begin(), looping.end()));
}
