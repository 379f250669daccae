// font_texture.h -- the game's font ("font.rgba"): the generator's glyphs,
// laid out as the game's text reads them (render/font_atlas.h).
#pragma once

#include "picture.h"

Picture paintFontTexture();
