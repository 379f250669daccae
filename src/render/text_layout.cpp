// text_layout.cpp -- placing glyphs of the font atlas on the screen.
#include "render/text_layout.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "render/font_atlas.h"

float textWidthPixels(const std::string& text, float pixel) {
    if (text.empty()) return 0;
    const float fontPixels =
        static_cast<float>(text.size()) * FontAtlas::advance - (FontAtlas::advance - FontAtlas::glyphColumns);
    return fontPixels * pixel;
}

float textHeightPixels(float pixel) { return FontAtlas::glyphRows * pixel; }

void layoutText(const std::string& text, float x, float y, float pixel, std::vector<GlyphQuad>& quads) {
    constexpr float texelS = 1.0f / FontAtlas::width, texelT = 1.0f / FontAtlas::height;
    constexpr int glyphTexelsWide = FontAtlas::glyphColumns * FontAtlas::texelsPerPixel;
    constexpr int glyphTexelsHigh = FontAtlas::glyphRows * FontAtlas::texelsPerPixel;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (c == ' ' || !FontAtlas::hasCell(c)) continue;
        GlyphQuad q;
        q.x0 = x + static_cast<float>(i) * FontAtlas::advance * pixel;
        q.y0 = y;
        q.x1 = q.x0 + FontAtlas::glyphColumns * pixel;
        q.y1 = y + FontAtlas::glyphRows * pixel;
        q.s0 = static_cast<float>(FontAtlas::glyphTexelX(c)) * texelS;
        q.t0 = static_cast<float>(FontAtlas::glyphTexelY(c)) * texelT;
        q.s1 = q.s0 + glyphTexelsWide * texelS;
        q.t1 = q.t0 + glyphTexelsHigh * texelT;
        quads.push_back(q);
    }
}

int fontPixelFor(int screenHeight, float share, int smallest) {
    const long wanted = std::lround(static_cast<double>(std::max(screenHeight, 0)) * share);
    return static_cast<int>(std::max<long>(wanted, smallest));
}
