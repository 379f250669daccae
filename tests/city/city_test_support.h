// city_test_support.h -- cities generated without a GL context for tests.
#pragma once

#include <cstdint>
#include <memory>

#include "app/random.h"
#include "city/city.h"

// A city generated from seed without loading textures or compiling car
// meshes, so no context or image files are needed.
inline std::unique_ptr<City> generatedCity(std::uint32_t seed) {
    auto city = std::make_unique<City>();
    city->glObjectsEnabled = false;
    setFixedSeed(seed);
    city->generate();
    clearFixedSeed();
    return city;
}

// World x of the low edge of column group g (rows alike with rowDepths).
inline float groupLowEdge(const int* widths, int g) {
    int tiles = 0;
    for (int j = 0; j < g; ++j) tiles += widths[j] + 1;
    return -50.0f + 4.0f * static_cast<float>(tiles);
}
