#include "editing/frame_timing.h"

#include <cmath>
#include <cstdlib>

#include "document/document.h"

bool SetAllDelays(uint16_t delay) {
  bool changed = false;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i) || doc.frames[i]->delay == delay) continue;
    doc.frames[i]->delay = delay;
    changed = true;
  }
  return changed;
}

bool ChangeSpeed(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return false;
  bool changed = false;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i) || doc.frames[i]->delay == 0) continue;
    const double scaled = std::round(doc.frames[i]->delay / factor);
    const uint16_t delay = static_cast<uint16_t>(scaled < 1 ? 1 : scaled > 65535 ? 65535 : scaled);
    changed = changed || delay != doc.frames[i]->delay;
    doc.frames[i]->delay = delay;
  }
  return changed;
}

bool ParseSpeedFactor(const char* text, double* factor) {
  // Digits and one point only: no sign, exponent, hexadecimal, "inf" or "nan".
  int points = 0;
  int digits = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '.')
      ++points;
    else if (*c >= '0' && *c <= '9')
      ++digits;
    else
      return false;
  }
  if (digits == 0 || points > 1) return false;
  const double value = strtod(text, nullptr);
  if (!(value > 0) || !std::isfinite(value)) return false;
  *factor = value;
  return true;
}
