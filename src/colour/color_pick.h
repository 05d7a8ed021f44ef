// Picking a colour from the palette window: the next button release on a
// colour sets the current frame's transparent colour or the background
// colour, as the user armed it.
#pragma once

#include <cstdint>

// What the next pick sets. The states and their transitions:
//   kNoPick          --ArmTransparentPick-->  kPickTransparent
//   kNoPick          --ArmBackgroundPick-->   kPickBackground
//   kPickTransparent --ArmTransparentPick-->  kNoPick  (pressed again: disarmed)
//   kPickTransparent --ArmBackgroundPick-->   kPickBackground
//   kPickBackground  --ArmBackgroundPick-->   kNoPick  (pressed again: disarmed)
//   kPickBackground  --ArmTransparentPick-->  kPickBackground (stays)
//   any              --ReleasePick-->         kNoPick  (applied or not)
constexpr uint8_t kNoPick = 0;
constexpr uint8_t kPickTransparent = 1;
constexpr uint8_t kPickBackground = 2;
extern uint8_t pickMode;

void ArmBackgroundPick();
void ArmTransparentPick();

// Sets what pickMode names to palette index: the current frame's transparent
// index (the frame becomes transparent and is shown again, which repaints
// the colour swatch) or the document's background index; the document is
// then modified. Nothing without frames, without an armed pick, or for a
// transparent pick on a comment entry.
void ApplyPick(uint8_t index);

// A button release while a pick is armed: applies it when the release
// landed on a colour (applies), and disarms the pick either way.
void ReleasePick(uint8_t index, bool applies);
