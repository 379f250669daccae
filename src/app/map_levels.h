// map_levels.h -- the levels step that makes the captured mini-map read at a
// glance: the night paint leaves streets and blocks both dark grey; spread
// between a black point and a white point taken from the picture itself,
// the dark streets fall to black and the blocks' roofs come up bright.
#pragma once

#include <vector>

// rgba: four floats a pixel in 0..1 (alpha untouched). Black is the
// luminance below which lie blackShare of the pixels, white the one below
// which lie whiteShare; every colour channel is mapped by
// (c - black) / (white - black), clamped to 0..1. A picture of one
// brightness is left as it is.
void stretchMapLevels(std::vector<float>& rgba);
