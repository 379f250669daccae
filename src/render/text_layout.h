// text_layout.h -- lines of text as textured quads in screen pixels, over
// the font texture's atlas (render/font_atlas.h). No GL here.
//
// Screen coordinates are pixels with y up (GL's window coordinates); a
// `pixel` is the number of screen pixels one font pixel covers. A glyph box
// is 5 x 7 font pixels and glyphs advance by 6, so a line of n characters is
// 6n - 1 font pixels wide and 7 high.
#pragma once

#include <string>
#include <vector>

struct TextColour {
    float r = 1, g = 1, b = 1, a = 1;
};

struct GlyphQuad {
    float x0, y0, x1, y1;  // screen pixels, lower-left and upper-right
    float s0, t0, s1, t1;  // texture coordinates of the same corners
};

// Width of text in screen pixels, from the first glyph's left edge to the
// last one's right edge (0 for no text).
float textWidthPixels(const std::string& text, float pixel);
// Height of one line of glyphs in screen pixels.
float textHeightPixels(float pixel);

// Appends one quad for each character of text that has ink, the line's
// lower-left corner at (x, y). Spaces and characters outside the atlas
// take their place but give no quad. Lower case is drawn as upper case.
void layoutText(const std::string& text, float x, float y, float pixel, std::vector<GlyphQuad>& quads);

// A whole number of screen pixels per font pixel, about `share` of the
// screen's height per font pixel and never below `smallest`: text drawn at
// whole pixels and placed at whole pixels stays crisp.
int fontPixelFor(int screenHeight, float share, int smallest);
