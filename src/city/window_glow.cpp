// window_glow.cpp -- the facades' glow masks: loading and the second
// texture unit's mix.
#include "city/window_glow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/globals.h"
#include "assets/file_bytes.h"
#include "assets/sgi_image.h"
#include "city/city.h"

namespace {

constexpr int firstFacade = 4;  // walls are texture table indices 4..13
constexpr int facadeCount = 10;
const char* const maskFiles[facadeCount] = {
    "building_glow.rgb", "building2_glow.rgb", "windows1_glow.rgb",  "windows2_glow.rgb", "windows3_glow.rgb",
    "grnbldg2_glow.rgb", "ssb_glow.rgb",       "towfront2_glow.rgb", "office1_glow.rgb",  "apts_glow.rgb",
};

struct Mask {
    GLuint facade = 0;
    GLuint mask = 0;
};
std::vector<Mask> masks;

// GL 1.4 has all the mix needs: a second unit, the combine mode and the
// facade's texel (unit 0) as a source on unit 1.
bool mixSupported() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    if (major < 1 || (major == 1 && minor < 4)) return false;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    return units >= 2;
}

// The mask as an alpha texture; 0 when the file is missing or malformed.
GLuint readMask(const char* fileName) {
    std::vector<unsigned char> bytes;
    std::string error;
    const FileReadStatus status = readFileBytes(fileName, bytes, error);
    if (status == FileReadStatus::cannotOpen) return 0;  // an older data set: no glow
    SgiImage image;
    std::vector<unsigned char> rgba;
    if (status == FileReadStatus::ok && parseSgiImage(image, std::move(bytes), error)) {
        rgba.resize(static_cast<std::size_t>(image.xsize) * image.ysize * 4);
        if (!decodeSgiPixels(image, rgba.data(), error)) rgba.clear();
    }
    if (rgba.empty()) {
        std::fprintf(stderr, "can't use image %s: %s (its windows drawn without glow)\n", fileName,
                     error.c_str());
        return 0;
    }
    std::vector<unsigned char> alpha(rgba.size() / 4);
    for (std::size_t i = 0; i < alpha.size(); ++i) alpha[i] = rgba[i * 4];  // the grey channel
    GLuint name = 0;
    glGenTextures(1, &name);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_ALPHA, image.xsize, image.ysize, GL_ALPHA, GL_UNSIGNED_BYTE,
                      alpha.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return name;
}

}  // namespace

const char* windowGlowFile(int textureIndex) {
    const int i = textureIndex - firstFacade;
    return i >= 0 && i < facadeCount ? maskFiles[i] : nullptr;
}

void loadWindowGlow(const City& city) {
    // The names of an earlier city belong to its context, which may be gone.
    masks.clear();
    if (!mixSupported()) return;
    for (int i = firstFacade; i < firstFacade + facadeCount; ++i) {
        if (i >= city.textureCount || city.textureTable[i] == 0) continue;
        const GLuint mask = readMask(windowGlowFile(i));
        if (mask != 0) masks.push_back({city.textureTable[i], mask});
    }
}

unsigned windowGlowMask(unsigned facadeTexture) {
    if (!windowGlow) return 0;
    for (const Mask& m : masks) {
        if (m.facade == facadeTexture) return m.mask;
    }
    return 0;
}

bool windowGlowCoordinates() { return !masks.empty(); }

void beginWindowGlow(unsigned mask) {
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mask);
    // colour = facade * mask + lit * (1 - mask); alpha as lit.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
}

void endWindowGlow() {
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
}
