// badge_mesh.h -- the police badge of the capture meter ("policebadge.3ds").
//
// A shield in its own x-y plane, x centred (0.5 wide), y from 0 at its
// point to 0.6 at its crest, with a raised rim, a raised five-pointed star
// and a name plate on the front (facing -z, toward the player) and the same
// relief on the back (facing +z): the badge spins on screen. The game lights it from the
// bottom up as its fill level passes each vertex height + 0.5, so every
// triangle is cut into bands of `badgeBandHeight` to make the glow rise
// evenly. The game sets materials per vertex while drawing it, which is
// slow in software GL, so the badge keeps to a few hundred triangles.
// Untextured: colours come from the materials.
#pragma once

#include "tds_writer.h"

constexpr float badgeHeight = 0.6f;
constexpr float badgeHalfWidth = 0.25f;
constexpr float badgeBandHeight = 0.05f;

ModelFile buildBadge();
