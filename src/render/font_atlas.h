// font_atlas.h -- where each character's glyph sits in the font texture
// ("font.rgba"): the generator paints it there and the game's text reads it.
//
// The picture is 16 x 8 cells of 32 x 32 texels holding ASCII 0 to 127:
// character c in cell column c % 16 and cell row c / 16, rows counted from
// the TOP of the picture. A glyph is 5 x 7 font pixels, each a square of 4 x 4
// texels, so that text drawn at a whole number of screen pixels per font
// pixel stays crisp. Texel coordinates count up from the picture's
// lower-left corner, as the SGI file and the texture store rows. White
// everywhere; the alpha channel holds the glyphs.
#pragma once

struct FontAtlas {
    static constexpr int cellColumns = 16, cellRows = 8;
    static constexpr int cellTexels = 32;
    static constexpr int width = cellColumns * cellTexels;  // 512
    static constexpr int height = cellRows * cellTexels;    // 256
    static constexpr int glyphColumns = 5, glyphRows = 7;   // font pixels
    static constexpr int texelsPerPixel = 4;
    static constexpr int glyphLeft = 6, glyphBottom = 2;  // texels from the cell's lower-left corner
    static constexpr int advance = 6;                     // font pixels from one glyph to the next
    static constexpr int lineAdvance = 10;                // font pixels from one line to the next

    // Whether c has a cell (ASCII).
    static constexpr bool hasCell(unsigned char c) { return c < cellColumns * cellRows; }
    // Lower-left texel of c's glyph box (glyphColumns x glyphRows font pixels).
    static constexpr int glyphTexelX(unsigned char c) { return (c % cellColumns) * cellTexels + glyphLeft; }
    static constexpr int glyphTexelY(unsigned char c) {
        return (cellRows - 1 - c / cellColumns) * cellTexels + glyphBottom;
    }
};
