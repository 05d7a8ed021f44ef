// ProgressMeter: the arithmetic behind the progress display, shared by the
// editor and the headless build. One frame's work is shown in 26 steps: the
// value is counter * 25 / total, and only a change of value is drawn.
#pragma once

#include <cstdint>

struct ProgressMeter {
  int16_t frameNumber = 0;
  int16_t counter = 0;
  int16_t value = 0;
  int16_t lastShown = -1;

  void Begin(int number) {
    counter = 0;
    value = 0;
    lastShown = -1;
    frameNumber = static_cast<int16_t>(number);
  }

  // Advances one step of total (0 counts as 1); true when the new value must
  // be drawn, which is then value * 4 on a bar of 0..100.
  bool Step(int total) {
    counter = static_cast<int16_t>(counter + 1);
    int32_t steps = total > 0 ? total : 1;
    value = static_cast<int16_t>(static_cast<int32_t>(counter) * 25 / steps);
    if (value == lastShown) return false;
    lastShown = value;
    return true;
  }
};
