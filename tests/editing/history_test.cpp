// The undo history over every kind of change the editor makes, on a real
// file and the real swap file: each step undone gives back the document as
// it was (records, block offsets, pixels and the modified mark), and redone
// as it became.
#include "editing/history.h"

#include <functional>

#include "colour/color_pick.h"
#include "colour/colour_commands.h"
#include "document/ui_operations.h"
#include "editing/dirty_rectangles.h"
#include "editing/frame_order.h"
#include "formats/load_file.h"
#include "formats/palette_file.h"
#include "document_text.h"
#include "test_support.h"

namespace {

// The document as text, and the stored pixels of every entry.
std::string Described() {
  std::string text = DocumentText();
  for (int i = 0; i < doc.frameCount; ++i) {
    const std::vector<uint8_t> block = StoredBlock(i);
    text += "\n" + std::string(block.begin(), block.end());
  }
  return text;
}

struct Change {
  const char* name;
  std::function<void()> make;
};

void Pick(void (*arm)(), uint8_t index) {
  arm();
  ReleasePick(index, true);
}

const Change kChanges[] = {
    {"Delay", [] { doc.frames[1]->delay = 77; }},
    {"Restore to background", [] { doc.frames[2]->disposal ^= kRestoreToBackground; }},
    {"Left", [] { doc.frames[3]->left = 5; }},
    {"Loop count", [] { doc.loopCount = kNoLooping; }},
    {"Delete frame", [] { DeleteFrame(1); }},
    {"Insert frame(s)", [] { ReadFileByExtension(TestDataPath("animated-red-blue.gif").c_str(), 1); }},
    {"Paste", [] { ReadFileByExtension(TestDataPath("bpp8-w7.bmp").c_str(), 0); }},
    {"Duplicate frame", [] { DuplicateFrame(2); }},
    {"Move frame later", [] { MoveFrame(0, 1); }},
    {"Crop frames to dirty rectangles", [] { CropFramesToDirty(); }},
    {"Restore frames to its full size", [] { RestoreFramesToFullSize(); }},
    {"Crop frame to selection", [] { CropFrameToSelection(2, 3, 20, 15); }},
    {"Gray scale", [] { GrayScaleFrame(0); }},
    {"Decrease number of colors", [] { DecreaseFrameColors(1, 4); }},
    {"Load palette", [] { LoadPaletteFile(TestDataPath("palette-16.pal").c_str(), 2); }},
    {"Calculate optimal palette", [] { CalculateOptimalPalette(16); }},
    {"Set Transparent color", [] { Pick(ArmTransparentPick, 3); }},
    {"Set Background color", [] { Pick(ArmBackgroundPick, 5); }},
    {"Save", [] { SaveAs(ScratchPath("history.gif"), kWithCredit); }},
};

class HistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadFresh(TestDataPath("disposal-1-none.gif")));
    SetModified(false);
    StartHistory();
  }
  void TearDown() override { ResetDocument(); }
};

TEST_F(HistoryTest, EveryChangeIsUndoneAndRedoneToTheDocumentItLeftAndMade) {
  std::vector<std::string> made = {Described()};
  for (const Change& change : kChanges) {
    change.make();
    SetModified(true);
    ASSERT_NE(made.back(), Described()) << change.name << " changed nothing";
    ASSERT_TRUE(RecordStep(change.name)) << change.name;
    EXPECT_FALSE(RecordStep("again")) << change.name << ": an unchanged document is no step";
    made.push_back(Described());
  }
  for (size_t i = made.size() - 1; i > 0; --i) {
    EXPECT_STREQ(kChanges[i - 1].name, UndoStepName());
    ASSERT_TRUE(UndoStep());
    EXPECT_EQ(made[i - 1], Described()) << "undoing " << kChanges[i - 1].name;
  }
  EXPECT_FALSE(UndoStep());
  for (size_t i = 1; i < made.size(); ++i) {
    EXPECT_STREQ(kChanges[i - 1].name, RedoStepName());
    ASSERT_TRUE(RedoStep());
    EXPECT_EQ(made[i], Described()) << "redoing " << kChanges[i - 1].name;
  }
  EXPECT_EQ(nullptr, RedoStepName());
}

// The mark follows the saved state both ways; a change after undos drops
// the redo steps; the history reaches back kMaxUndoSteps steps.
TEST_F(HistoryTest, TheSavedStateClearsTheMarkANewChangeDropsRedoAndOldStepsGo) {
  for (int delay = 1; delay <= kMaxUndoSteps + 5; ++delay) {
    doc.frames[0]->delay = static_cast<uint16_t>(delay);
    SetModified(true);
    RecordStep("Delay");
    if (delay == 8) MarkStateSaved();
  }
  int undone = 0;
  while (UndoStep()) ++undone;
  EXPECT_EQ(kMaxUndoSteps, undone);
  EXPECT_EQ(5, doc.frames[0]->delay);
  EXPECT_TRUE(doc.modified);
  for (int i = 0; i < 5; ++i) RedoStep();
  EXPECT_EQ(10, doc.frames[0]->delay);
  EXPECT_TRUE(doc.modified);
  while (doc.frames[0]->delay > 8) UndoStep();
  EXPECT_FALSE(doc.modified) << "back at the saved state";
  DeleteFrame(3);
  RecordStep("Delete frame");
  EXPECT_EQ(nullptr, RedoStepName());
  EXPECT_TRUE(UndoStep());
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(4, doc.frameCount);
}

}  // namespace
