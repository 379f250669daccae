// bitmap_font.h -- the generator's own 5 x 7 pixel font for text on textures.
//
// Upper-case letters, digits and the punctuation the title card needs; lower-
// case letters are drawn as upper case. Glyph cells are 6 x 9 font pixels
// (one column of spacing, one row below and above for line spacing).
#pragma once

#include <string>

#include "picture.h"
#include "render/font_atlas.h"

// The game's text uses the same glyphs (font_texture.h).
constexpr int glyphWidth = FontAtlas::glyphColumns;
constexpr int glyphHeight = FontAtlas::glyphRows;
constexpr int glyphAdvance = FontAtlas::advance;

// True when the font has a glyph for c (space included).
bool fontHasGlyph(char c);
// Whether font pixel (column, row) of c is set; row 0 is the TOP row of the
// glyph. Characters without a glyph have no pixels.
bool glyphPixel(char c, int column, int row);

struct TextStyle {
    float scaleX = 2;  // picture pixels per font pixel, across
    float scaleY = 3;  // and up
    Colour colour{1, 1, 1, 1};
    Colour shadow{0, 0, 0, 0.85f};  // drawn one font pixel down and right; alpha 0 for none
    float shadowOffset = 1;         // in font pixels
};

// Width and height in picture pixels of `text` drawn with `style` (no trailing spacing).
float textWidth(const std::string& text, const TextStyle& style);
float textHeight(const TextStyle& style);

// Draws text with its bottom-left corner at (x, y) in picture pixels (y up,
// as the picture stores rows).
void drawText(Picture& picture, float x, float y, const std::string& text, const TextStyle& style);
