// ground_textures.h -- the street, crossing, sidewalk, asphalt and roof textures.
//
// A ground tile is 4 x 4 world units and shows its texture once, with s
// along world -z and t along world +x. A street is one tile wide and runs
// along s on "roadh" tiles (streets along z) and along t on "roadv" tiles
// (streets along x); cars keep 0.8 units right of the centre line, so each
// half of the picture across the street is one lane. Street pictures tile
// seamlessly along the street, and the kerbs of the two street pictures meet
// the rounded kerb corners of the crossing picture.
#pragma once

#include "picture.h"

constexpr int groundTextureSize = 256;
constexpr float tileWorldSize = 4.0f;
// Kerb stone along each side of a street, in pixels of the tile picture.
constexpr int kerbWidth = 7;

// Plain asphalt; `patched` adds repairs and cracks.
Picture paintAsphalt(bool patched);
// Street running along x of the picture (s): centre line across the middle row.
Picture paintStreetAlongS();
// Street running along y of the picture (t): the same street turned a quarter.
Picture paintStreetAlongT();
// Crossing of two streets: crosswalks at all four edges, no centre line.
Picture paintCrossing();
// Paving slabs, tiling in both directions.
Picture paintSidewalk();
// Roofs, stretched once over a whole roof (rim included).
Picture paintGravelRoof();
Picture paintMembraneRoof();
