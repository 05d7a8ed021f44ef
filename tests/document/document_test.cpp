// The frame list: its limit, what inserting and deleting do to the menus and
// palettes.
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

TEST_F(DocumentTest, InsertingAndDeletingMoveLaterEntriesTheirPalettesAndTheMenus) {
  ASSERT_TRUE(InsertFrame(0));
  ASSERT_TRUE(InsertFrame(1));
  EXPECT_TRUE(headlessUi().animationEnabled) << "two entries enable the Animation menu";
  Frame* second = doc.frames[1].get();
  int marker = 0;
  doc.framePalettes[1] = &marker;
  ASSERT_TRUE(InsertFrame(1));
  EXPECT_TRUE(doc.frames[2].get() == second && doc.framePalettes[2] == &marker) << "moved up with its palette";
  EXPECT_EQ(nullptr, doc.framePalettes[1]) << "the new entry has no palette yet";
  EXPECT_EQ(0, doc.frames[1]->width);
  doc.framePalettes[2] = nullptr;

  ASSERT_TRUE(DeleteFrame(1));
  EXPECT_TRUE(doc.frames[1].get() == second && doc.frames[2] == nullptr) << "moved down";
  EXPECT_EQ(1, headlessUi().palettesDeleted);
  ASSERT_TRUE(DeleteFrame(0));
  EXPECT_FALSE(headlessUi().animationEnabled) << "one entry left";
  EXPECT_TRUE(headlessUi().cutCopyEnabled);
  ASSERT_TRUE(DeleteFrame(0));
  EXPECT_FALSE(headlessUi().cutCopyEnabled) << "no entry left";
  EXPECT_FALSE(DeleteFrame(0)) << "deleting from an empty list";

  for (int i = 0; i < kMaxEntries; ++i) ASSERT_TRUE(InsertFrame(i)) << "insert " << i;
  Frame* last = doc.frames[kMaxEntries - 1].get();
  EXPECT_FALSE(InsertFrame(0)) << "one past the limit";
  EXPECT_TRUE(doc.frameCount == kMaxEntries && doc.frames[kMaxEntries - 1].get() == last)
      << "the list moved on a failed insert";
}

}  // namespace
