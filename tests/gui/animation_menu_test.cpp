// The Animation menu's dialogs and commands on the whole animation: each
// Ok is one undo step; values out of range are said and left to mend.
#include <string>

#include "gui_harness.h"

TEST(AnimationMenu, LoopCountShowsTheCountAndOkSetsItAsOneStepTheSaveWrites) {
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

// Four frames of one pixel, all the same, each shown for no time.
TEST(AnimationMenu, EveryDelaySetThenDuplicatesRemovedOneStepEach) {
  EditorSession session(DataFile("artificial-multiple-loop-counts.gif"));
  session.Answer({IDOK, "", [](HWND dialog) {
                    CheckRadioButton(dialog, IDC_DELAYS_SET, IDC_DELAYS_SPEED, IDC_DELAYS_SPEED);
                    SetDlgItemTextA(dialog, IDC_DELAYS_FACTOR, "-2");
                    SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // said, and the dialog stays
                    SetDlgItemTextA(dialog, IDC_DELAYS_VALUE, "30");
                    CheckRadioButton(dialog, IDC_DELAYS_SET, IDC_DELAYS_SPEED, IDC_DELAYS_SET);
                  }});
  session.Command(IDM_ANIMATION_SET_DELAYS);
  EXPECT_EQ("Enter a speed factor greater than 0, such as 2 or 0.5.", session.shown().at(1).text);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(30, doc.frames[i]->delay) << i;
  session.Command(IDM_ANIMATION_REMOVE_DUPLICATES);
  EXPECT_EQ("3 duplicate frames removed.", session.LastShown());
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(120, doc.frames[0]->delay);
  EXPECT_EQ(1u, session.FramesListTexts().size());
  session.Command(IDM_EDIT_UNDO);
  EXPECT_EQ(4u, session.FramesListTexts().size());
  session.Command(IDM_EDIT_UNDO);
  EXPECT_EQ(0, doc.frames[3]->delay);
}
