// Duplicate frame, Move frame earlier and later, a drag in the frames list,
// and Previous frame: where they are greyed, and what Previous frame shows.
#include "gui_harness.h"
#include "render/frame_composer.h"

namespace {

// The picture the view shows, as the composer kept it.
std::string Shown() {
  const PictureBuffer& p = retainedPicture;
  std::string pixels(reinterpret_cast<const char*>(p.block.data()), p.block.data() ? p.size : 0);
  return std::to_string(p.frame) + " " + std::to_string(p.width) + "x" + std::to_string(p.height) + " " + pixels;
}

}  // namespace

TEST(FrameOrder, DuplicateAndMoveFollowTheCurrentEntryAndAreGreyedAtTheEnds) {
  EditorSession session(DataFile("comments-between-frames.gif"));
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_MOVE_EARLIER));
  EXPECT_TRUE(session.MenuEnabled(IDM_EDIT_MOVE_LATER) && session.MenuEnabled(IDM_EDIT_DUPLICATE_FRAME));
  session.Command(IDM_EDIT_MOVE_LATER);
  EXPECT_EQ(1, doc.currentFrame) << "the moved entry stays current";
  EXPECT_TRUE(IsComment(*doc.frames[1]) && !IsComment(*doc.frames[0]));
  session.SelectEntry(4);
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_MOVE_LATER));
  const uint32_t offset = doc.frames[4]->dataOffset;
  session.Command(IDM_EDIT_DUPLICATE_FRAME);
  ASSERT_EQ(6, doc.frameCount);
  EXPECT_EQ(5, doc.currentFrame) << "the copy after it is current";
  EXPECT_EQ(offset, doc.frames[5]->dataOffset) << "the copy shares the text in the swap file";
  EXPECT_EQ(6u, session.FramesListTexts().size());
  // Dragged in the list from the first entry to the third: one step.
  const uint32_t first = doc.frames[0]->dataOffset;
  RECT from, to;
  SendMessageA(panel.list, LB_GETITEMRECT, 0, LPARAM(&from));
  SendMessageA(panel.list, LB_GETITEMRECT, 2, LPARAM(&to));
  SendMessageA(panel.list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, from.top + 2));
  SendMessageA(panel.list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, to.top + 2));
  SendMessageA(panel.list, WM_LBUTTONUP, 0, MAKELPARAM(5, to.top + 2));
  session.Pump();
  EXPECT_EQ(2, doc.currentFrame);
  EXPECT_EQ(first, doc.frames[2]->dataOffset);
  session.Command(IDM_EDIT_UNDO);
  EXPECT_EQ(first, doc.frames[0]->dataOffset);
  session.AnswerButton(IDNO);
  session.Command(IDM_FILE_NEW);
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_DUPLICATE_FRAME) || session.MenuEnabled(IDM_EDIT_MOVE_LATER));
}

// Previous frame passes comment entries, wraps from the first image frame
// to the last, and shows a frame composed over the ones before it as Next
// frame does.
TEST(FrameOrder, PreviousFrameStepsBackOverImagesAndShowsWhatNextFrameShows) {
  {
    EditorSession session(DataFile("disposal-1-none.gif"));
    session.Command(IDM_ANIMATION_NEXT_FRAME);
    session.Command(IDM_ANIMATION_NEXT_FRAME);
    const std::string third = Shown();
    EXPECT_EQ(64, retainedPicture.width) << "drawn over the frames before it";
    session.Command(IDM_ANIMATION_NEXT_FRAME);
    session.Command(IDM_ANIMATION_PREVIOUS_FRAME);
    EXPECT_EQ(2, doc.currentFrame);
    EXPECT_EQ(third, Shown());
  }
  EditorSession comments(DataFile("comments-between-frames.gif"));
  comments.SelectEntry(3);
  for (int expected : {1, 3, 1}) {
    comments.Command(IDM_ANIMATION_PREVIOUS_FRAME);
    EXPECT_EQ(expected, doc.currentFrame);
  }
}
