// random.cpp -- a 15-bit linear congruential generator (the classic
// 1103515245 / 12345 sequence, upper bits), independent of the C library.
#include "app/random.h"

#include <ctime>

namespace {
std::uint32_t state = 1;
bool seedFixed = false;
std::uint32_t fixedSeed = 0;
}  // namespace

void seedGameRandom(std::uint32_t seed) { state = seed; }

int gameRandom() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

float gameRandomFraction() { return static_cast<float>(gameRandom()) / 32767.0f; }

void setFixedSeed(std::uint32_t seed) {
    seedFixed = true;
    fixedSeed = seed;
}

void clearFixedSeed() { seedFixed = false; }

std::uint32_t generationSeed() {
    return seedFixed ? fixedSeed : static_cast<std::uint32_t>(std::time(nullptr));
}
