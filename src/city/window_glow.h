// window_glow.h -- lit windows at their painted colour whatever the light.
//
// Each facade has a glow mask beside it in the data set (one grey channel:
// 255 where the painter put light, a lit room or a sign; 0 on the wall).
// At start-up the mask becomes the alpha of the facade's texture, and in the
// lit pass a second texture unit mixes the facade's own colour over the lit
// colour by that alpha: walls stay lit as the material lights them while
// windows show the colour they were painted. Needs GL 1.4 (multitexture,
// combine and crossbar); without it, or without a mask file, the facade is
// loaded and drawn as it always was.
#pragma once

// The mask file of the facade at texture table index textureIndex, or null
// for a texture that has none (roofs, ground, effects).
const char* windowGlowFile(int textureIndex);

class City;

// At start-up, after the city's textures: puts each facade's mask into its
// texture's alpha. A missing mask leaves that facade without glow in
// silence, a malformed one with a message. Forgets the facades of an earlier
// city.
void loadWindowGlow(const City& city);

// Whether the lit pass mixes a facade (GL texture name) by its mask: false
// for other textures, and for all while the global switch windowGlow is off.
bool windowGlows(unsigned facadeTexture);

// Around the draw of a glowing facade's quads, with its texture bound on
// unit 0: the mix on unit 1. endWindowGlow leaves unit 1 disabled and unit 0
// active.
void beginWindowGlow();
void endWindowGlow();
