// window_glow.h -- lit windows at their painted colour whatever the light.
//
// Each facade has a glow mask beside it in the data set (one grey channel:
// 255 where the painter put light, a lit room or a sign; 0 on the wall).
// In the lit pass a second texture unit mixes the facade's own colour over
// the lit colour by that mask, so walls stay lit as the material lights
// them while windows show the colour they were painted. Needs GL 1.4
// (multitexture, combine and crossbar); without it, or without a mask
// file, the city is drawn as it always was.
#pragma once

// The mask file of the facade at texture table index textureIndex, or null
// for a texture that has none (roofs, ground, effects).
const char* windowGlowFile(int textureIndex);

class City;

// At start-up, after the city's textures: reads the masks of the facades
// the city loaded. A missing mask turns that facade's glow off in silence,
// a malformed one with a message. Forgets any masks of an earlier city.
void loadWindowGlow(const City& city);

// The mask of a facade (GL texture name), 0 when it has none or the glow is
// off (the global switch windowGlow, or no support).
unsigned windowGlowMask(unsigned facadeTexture);

// Texture coordinates go to the second unit too (QuadBatch) once a mask is
// loaded.
bool windowGlowCoordinates();

// Around the draw of quads of one facade: unit 1 enabled with the mask and
// the mix; endWindowGlow leaves unit 1 disabled and unit 0 active.
void beginWindowGlow(unsigned mask);
void endWindowGlow();
