// random.h -- the game's one 15-bit pseudo-random generator.
//
// Every random draw of the game (city layout, cars, smoke, spawn point) is
// one call of gameRandom(), which yields 0..32767. The game seeds it once from
// the clock when the city is generated; tests and tools fix the seed.
#pragma once

#include <cstdint>

constexpr int gameRandomMax = 32767;

void seedGameRandom(std::uint32_t seed);
int gameRandom();
// A random fraction: gameRandom() / 32767, so 0 and 1 both occur.
float gameRandomFraction();

// Seed override for tests and tools: when set, generation uses it instead of
// the clock.
void setFixedSeed(std::uint32_t seed);
void clearFixedSeed();
// The seed generation should use now: the fixed one, else the clock in seconds.
std::uint32_t generationSeed();
