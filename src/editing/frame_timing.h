// The delays of all image frames at once: one delay for every frame, or the
// whole animation played faster or slower. Comment entries have no delay.
#pragma once

#include <cstdint>

// Every image frame's delay becomes delay hundredths of a second. Whether
// any delay changed.
bool SetAllDelays(uint16_t delay);

// The animation played factor times as fast: each delay d > 0 becomes
// max(1, round(d / factor)), at most 65535; a delay of 0 stays 0. Nothing
// changes for a factor that is not a positive finite number. Whether any
// delay changed.
bool ChangeSpeed(double factor);

// The speed factor as the user writes it ("2", "0.5", "1.25"): false when
// text is not a positive finite decimal number, or holds more.
bool ParseSpeedFactor(const char* text, double* factor);
