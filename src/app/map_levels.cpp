// map_levels.cpp -- the mini-map's levels step.
#include "app/map_levels.h"

#include <algorithm>
#include <cstddef>

namespace {
// About 40 % of the capture is street (one tile in three or four along
// each axis, with the crossings), darker than the blocks' roofs: black at
// the street's darker half keeps a trace of its markings.
constexpr double blackShare = 0.25;
constexpr double whiteShare = 0.99;

float luminance(const float* p) { return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]; }
}  // namespace

void stretchMapLevels(std::vector<float>& rgba) {
    const std::size_t count = rgba.size() / 4;
    if (count == 0) return;
    std::vector<float> sorted(count);
    for (std::size_t i = 0; i < count; ++i) sorted[i] = luminance(&rgba[i * 4]);
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double share) { return sorted[static_cast<std::size_t>(share * (count - 1))]; };
    const float black = at(blackShare), white = at(whiteShare);
    if (!(white > black)) return;
    const float scale = 1 / (white - black);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t c = i * 4; c < i * 4 + 3; ++c)
            rgba[c] = std::clamp((rgba[c] - black) * scale, 0.0f, 1.0f);
    }
}
