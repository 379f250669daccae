// reference_tick.h -- the tick the game's rules were tuned at, and the scaling
// that keeps their pace at any other frame length. No GL here.
//
// Several rules were written per frame or per tick of 0.01429 s (about 70 a
// second): an amount added each tick, or a share of a gap closed each tick.
// A tick of dt seconds counts as dt / 0.01429 reference ticks, so the game
// keeps the same pace at 30, 50 or 70 frames a second. At exactly one
// reference tick every scaled rule gives the very value it gave unscaled.
#pragma once

#include <cmath>

constexpr float referenceTick = 0.01429f;  // seconds

// How many reference ticks a tick of dt seconds is worth.
inline float referenceTicksIn(float dtSeconds) { return dtSeconds / referenceTick; }

// The share of a gap closed over `ticks` reference ticks by a rule that
// closes `sharePerTick` of it each tick: 1 - (1 - share)^ticks. Equals
// sharePerTick at one tick, 0 at none, and never more than the whole gap, so a
// long stall cannot overshoot. Worked in double so one tick gives back
// sharePerTick bit for bit.
inline float shareOverTicks(float sharePerTick, float ticks) {
    return static_cast<float>(1.0 -
                              std::pow(1.0 - static_cast<double>(sharePerTick), static_cast<double>(ticks)));
}

// The factor a rule that multiplies by `factorPerTick` each tick comes to
// over `ticks` reference ticks: factor^ticks, the factor itself at one tick.
inline float factorOverTicks(float factorPerTick, float ticks) {
    return static_cast<float>(std::pow(static_cast<double>(factorPerTick), static_cast<double>(ticks)));
}
