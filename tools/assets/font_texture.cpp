// font_texture.cpp -- paints the bitmap font's glyphs into the atlas.
#include "font_texture.h"

#include "bitmap_font.h"
#include "render/font_atlas.h"

Picture paintFontTexture() {
    // White everywhere, so the game's colour tints it; only the glyphs are opaque.
    Picture p(FontAtlas::width, FontAtlas::height, Colour(1, 1, 1, 0));
    constexpr int t = FontAtlas::texelsPerPixel;
    for (int c = 0; c < FontAtlas::cellColumns * FontAtlas::cellRows; ++c) {
        const char ch = static_cast<char>(c);
        if (!fontHasGlyph(ch)) continue;
        const int left = FontAtlas::glyphTexelX(static_cast<unsigned char>(c));
        const int bottom = FontAtlas::glyphTexelY(static_cast<unsigned char>(c));
        for (int row = 0; row < glyphHeight; ++row) {
            for (int column = 0; column < glyphWidth; ++column) {
                if (!glyphPixel(ch, column, row)) continue;
                const int x = left + column * t, y = bottom + (glyphHeight - 1 - row) * t;
                for (int dy = 0; dy < t; ++dy)
                    for (int dx = 0; dx < t; ++dx) p.at(x + dx, y + dy) = Colour(1, 1, 1, 1);
            }
        }
    }
    return p;
}
