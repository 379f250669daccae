// effect_textures.h -- exhaust smoke puffs and the searchlight's projected image.
#pragma once

#include "picture.h"

constexpr int smokeSize = 64;
constexpr int spotlightSize = 256;

// Soft round puffs with alpha falling to 0 well inside the picture's edge:
// light grey for ordinary exhaust, black for the fugitive's.
Picture paintLightSmoke();
Picture paintBlackSmoke();

// The searchlight's image: a bright, slightly warm disc with a soft edge,
// black (no light) outside; the border pixels are black so the clamped
// projection adds nothing outside the beam.
Picture paintSpotlight();
