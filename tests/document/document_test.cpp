// The frame list: its limit, what inserting and deleting do to the menus and
// palettes, pixel blocks, pending panel changes and emptying the document.
#include "document/document.h"

#include <gtest/gtest.h>

#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }
};

TEST_F(DocumentTest, The180thInsertSucceedsAndThe181stChangesNothing) {
  for (int i = 0; i < kMaxEntries; ++i) ASSERT_TRUE(InsertFrame(i)) << "insert " << i;
  Frame* last = doc.frames[kMaxEntries - 1].get();
  EXPECT_FALSE(InsertFrame(0));
  EXPECT_EQ(kMaxEntries, doc.frameCount);
  EXPECT_EQ(last, doc.frames[kMaxEntries - 1].get()) << "the list moved on a failed insert";
}

TEST_F(DocumentTest, InsertingMovesLaterEntriesAndTheirPalettesUp) {
  ASSERT_TRUE(InsertFrame(0));
  ASSERT_TRUE(InsertFrame(1));
  EXPECT_TRUE(headlessUi().animationEnabled) << "two entries enable the Animation menu";
  Frame* second = doc.frames[1].get();
  int marker = 0;
  doc.framePalettes[1] = &marker;
  ASSERT_TRUE(InsertFrame(1));
  EXPECT_EQ(second, doc.frames[2].get());
  EXPECT_EQ(&marker, doc.framePalettes[2]);
  EXPECT_EQ(nullptr, doc.framePalettes[1]) << "the new entry has no palette yet";
  EXPECT_EQ(0, doc.frames[1]->width);
  doc.framePalettes[2] = nullptr;
}

TEST_F(DocumentTest, DeletingMovesLaterEntriesDownAndGreysTheMenusItEmpties) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(InsertFrame(i));
  Frame* third = doc.frames[2].get();
  doc.swapEnd = 1234;
  ASSERT_TRUE(DeleteFrame(1));
  EXPECT_EQ(third, doc.frames[1].get());
  EXPECT_EQ(nullptr, doc.frames[2]);
  EXPECT_EQ(1234u, doc.swapEnd) << "deleting never frees space in the swap file";
  EXPECT_EQ(1, headlessUi().palettesDeleted);
  ASSERT_TRUE(DeleteFrame(0));
  EXPECT_FALSE(headlessUi().animationEnabled) << "one entry left";
  EXPECT_TRUE(headlessUi().cutCopyEnabled);
  ASSERT_TRUE(DeleteFrame(0));
  EXPECT_EQ(0, doc.frameCount);
  EXPECT_EQ(nullptr, doc.frames[0]);
  EXPECT_FALSE(headlessUi().cutCopyEnabled) << "no entry left";
  EXPECT_FALSE(DeleteFrame(0)) << "deleting from an empty list";
}

TEST_F(DocumentTest, PixelBlocksHoldWholeRowsAndAtLeastOneByte) {
  ASSERT_TRUE(InsertFrame(0));
  Frame& frame = *doc.frames[0];
  doc.workPalette[9] = PaletteEntry{1, 2, 3, 0};
  frame.width = 5;
  frame.height = 3;
  EXPECT_EQ(24u, BeginFramePixels(0, RowStride(5)).size()) << "3 rows of 8 bytes";
  EXPECT_EQ(3, frame.palette[9].red) << "the work palette is copied into the frame";
  frame.height = 0;
  EXPECT_EQ(1u, BeginFramePixels(0, RowStride(5)).size());
}

TEST_F(DocumentTest, PendingChangesMarkModifiedAndRedrawOnlyForPictureChanges) {
  CommitPendingChange();
  EXPECT_EQ(0, doc.modified);
  doc.pendingChange = kFrameValueChanged;
  CommitPendingChange();
  EXPECT_EQ(1, doc.modified);
  EXPECT_EQ(0, headlessUi().refreshes);
  doc.pendingChange = kPictureChanged;
  CommitPendingChange();
  EXPECT_EQ(1, headlessUi().refreshes);
  EXPECT_EQ(1, headlessUi().retainedResets);
  EXPECT_EQ(kNoPendingChange, doc.pendingChange);
}

TEST_F(DocumentTest, ClearingEmptiesTheDocumentButKeepsTheSwapFileEnd) {
  ASSERT_TRUE(InsertFrame(0));
  snprintf(doc.fileName, sizeof doc.fileName, "%s", "C:\\a.gif");
  doc.screenWidth = 10;
  doc.hasGlobalPalette = 1;
  doc.swapEnd = 99;
  ClearDocument();
  EXPECT_EQ(0, doc.frameCount);
  EXPECT_STREQ("untitled", doc.fileName);
  EXPECT_EQ(0, doc.screenWidth);
  EXPECT_EQ(0, doc.hasGlobalPalette);
  EXPECT_EQ(99u, doc.swapEnd);
}

}  // namespace
