// The progress display's 26 steps per frame, through the headless set.
#include "document/progress_meter.h"

#include <gtest/gtest.h>

#include "document/ui_operations.h"
#include "headless/headless_ui.h"

namespace {

TEST(ProgressMeterTest, RowsMoveTheBarInAtMost26Draws) {
  struct Case {
    int rows;
    int total;
    std::vector<int> drawn;
  } cases[] = {
      {100, 100, {0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72, 76, 80, 84, 88, 92, 96,
                  100}},
      {10, 10, {8, 20, 28, 40, 48, 60, 68, 80, 88, 100}},
      {1, 0, {100}},  // a total of 0 counts as 1
  };
  for (const Case& c : cases) {
    ResetHeadlessUi();
    BeginProgress(3);
    for (int i = 0; i < c.rows; ++i) StepProgress(ProgressKind::kReading, c.total);
    EXPECT_EQ(c.drawn, headlessUi().progressPositions) << c.rows << " rows of " << c.total;
    EXPECT_EQ("Reading frame 3", headlessUi().statusText);
  }
}

}  // namespace
