// text.cpp -- the font texture and drawing text in screen pixels.
#include "render/text.h"

#include <GL/gl.h>
#include <errno.h>

#include <cstdio>
#include <vector>

#include "assets/file_bytes.h"
#include "assets/sgi_image.h"
#include "render/font_atlas.h"
#include "render/gl_resources.h"

namespace {

Texture2D fontTexture;
bool fontTried = false, fontReady = false;

// Shadows are black at this share of the text's opacity.
constexpr float shadowOpacity = 0.85f;

void sayNoText(const char* fileName, const std::string& why) {
    std::fprintf(stderr, "%s: no text on screen: %s: %s\n", program_invocation_short_name, fileName,
                 why.c_str());
}

// The font's RGBA pixels, or false with the reason.
bool readFont(const char* fileName, std::vector<unsigned char>& rgba, std::string& why) {
    const OutOfMemoryExit outOfMemoryExit;
    std::vector<unsigned char> bytes;
    if (readFileBytes(fileName, bytes, why) != FileReadStatus::ok) return false;
    SgiImage image;
    if (!parseSgiImage(image, std::move(bytes), why)) return false;
    if (image.xsize != FontAtlas::width || image.ysize != FontAtlas::height || image.zsize != 4) {
        why = "a picture of " + std::to_string(image.xsize) + " x " + std::to_string(image.ysize) + " with " +
              std::to_string(image.zsize) + " channels, not the font's " + std::to_string(FontAtlas::width) +
              " x " + std::to_string(FontAtlas::height) + " RGBA";
        return false;
    }
    rgba.resize(static_cast<std::size_t>(FontAtlas::width) * FontAtlas::height * 4);
    return decodeSgiPixels(image, rgba.data(), why);
}

}  // namespace

bool loadTextFont(const char* fileName) {
    if (fontTried) return fontReady;
    fontTried = true;
    std::vector<unsigned char> rgba;
    std::string why;
    if (!readFont(fileName, rgba, why)) {
        sayNoText(fileName, why);
        return false;
    }
    GLint bound = 0, alignment = 4;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    fontTexture.bind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, FontAtlas::width, FontAtlas::height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    // Text is drawn at whole screen pixels per font pixel: nearest texels
    // keep the glyphs' edges sharp, and no mipmap blurs them.
    fontTexture.setParameter(GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    fontTexture.setParameter(GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    fontTexture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    fontTexture.setParameter(GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    fontReady = true;
    return true;
}

bool textFontLoaded() { return fontReady; }

void beginScreenDrawing(int width, int height) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void endScreenDrawing() {
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void fillScreenRectangle(float x0, float y0, float x1, float y1, const TextColour& c) {
    glDisable(GL_TEXTURE_2D);
    glColor4f(c.r, c.g, c.b, c.a);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void drawScreenText(const std::string& text, float x, float y, int pixel, const TextColour& c) {
    if (!fontReady || text.empty()) return;
    std::vector<GlyphQuad> quads;
    const float p = static_cast<float>(pixel);
    layoutText(text, x + p, y - p, p, quads);
    const std::size_t shadowCount = quads.size();
    layoutText(text, x, y, p, quads);

    glEnable(GL_TEXTURE_2D);
    fontTexture.bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i < quads.size(); ++i) {
        if (i == 0) glColor4f(0, 0, 0, c.a * shadowOpacity);
        if (i == shadowCount) glColor4f(c.r, c.g, c.b, c.a);
        const GlyphQuad& q = quads[i];
        glTexCoord2f(q.s0, q.t0);
        glVertex2f(q.x0, q.y0);
        glTexCoord2f(q.s1, q.t0);
        glVertex2f(q.x1, q.y0);
        glTexCoord2f(q.s1, q.t1);
        glVertex2f(q.x1, q.y1);
        glTexCoord2f(q.s0, q.t1);
        glVertex2f(q.x0, q.y1);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}
