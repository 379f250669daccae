// icon.h -- the desktop icon: the police badge over the night city.
//
// A rounded square (transparent outside) holding a night sky over a dark
// skyline with lit windows, a searchlight beam falling from the upper left
// onto the badge, and the game's badge in the middle: a gold shield with a
// silver star and a blue name plate, like the capture meter's model. Every
// measure is a fraction of the icon's side, so all sizes show the same
// picture; the windows and stars come from the game's generator, seeded from
// the icon's name, so the same bytes come out on every run.
#pragma once

#include "picture.h"

// Sizes the tool accepts (the installed icons are 64 and 256 pixels).
constexpr int minIconSize = 16;
constexpr int maxIconSize = 1024;

// Where the tile and the badge are, in fractions of the side (y upwards).
constexpr float iconMargin = 0.03f;        // transparent border around the tile
constexpr float iconCornerRadius = 0.18f;  // of the tile's rounded corners
constexpr float iconBadgeBottom = 0.15f;   // the shield's point
constexpr float iconBadgeTop = 0.82f;      // the top of its crest
constexpr float iconBadgeHalfWidth = 0.28f;
constexpr float iconSkylineTop = 0.42f;  // no tower is taller

// The icon at size x size pixels (minIconSize..maxIconSize), RGBA.
Picture paintIcon(int size);
