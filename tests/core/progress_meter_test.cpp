// The progress display's 26 steps per frame, through the headless set.
#include "document/progress_meter.h"

#include <gtest/gtest.h>

#include "document/ui_operations.h"
#include "headless/headless_ui.h"

namespace {

std::vector<int> StepRows(int rows, int total) {
  ResetHeadlessUi();
  BeginProgress(3);
  for (int i = 0; i < rows; ++i) StepProgress(ProgressKind::kReading, total);
  return headlessUi().progressPositions;
}

TEST(ProgressMeterTest, AHundredRowsAreDrawnTwentySixTimes) {
  std::vector<int> drawn = StepRows(100, 100);
  ASSERT_EQ(26u, drawn.size());
  for (int i = 0; i < 26; ++i) EXPECT_EQ(4 * i, drawn[i]) << "draw " << i;
  EXPECT_EQ("Reading frame 3", headlessUi().statusText);
}

TEST(ProgressMeterTest, TenRowsMoveTheBarInUnevenSteps) {
  std::vector<int> expected = {8, 20, 28, 40, 48, 60, 68, 80, 88, 100};
  EXPECT_EQ(expected, StepRows(10, 10));
}

TEST(ProgressMeterTest, ATotalOfZeroCountsAsOne) {
  std::vector<int> expected = {100};
  EXPECT_EQ(expected, StepRows(1, 0));
}

TEST(ProgressMeterTest, SavingSaysSoAndEndingEmptiesTheText) {
  ResetHeadlessUi();
  BeginProgress(7);
  StepProgress(ProgressKind::kSaving, 2);
  EXPECT_EQ("Saving frame 7", headlessUi().statusText);
  EndProgress();
  EXPECT_EQ("", headlessUi().statusText);
  EXPECT_FALSE(headlessUi().progressVisible);
}

}  // namespace
