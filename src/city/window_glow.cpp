// window_glow.cpp -- the facades' glow masks: loading them into the facade
// textures' alpha and the second texture unit's mix.
#include "city/window_glow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <string>
#include <utility>
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

std::vector<GLuint> glowingFacades;
// Unit 1 must have a texture to be enabled; its mix reads only unit 0 and
// the lit colour, so one texel does.
GLuint unitOneTexture = 0;

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

struct Rgba {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

// The picture of an SGI file through the game's decoder; false with the
// reason when the file cannot be read or is malformed.
bool readPicture(const char* fileName, Rgba& out, FileReadStatus& status, std::string& error) {
    std::vector<unsigned char> bytes;
    status = readFileBytes(fileName, bytes, error);
    if (status != FileReadStatus::ok) return false;
    SgiImage image;
    if (!parseSgiImage(image, std::move(bytes), error)) return false;
    out.width = image.xsize;
    out.height = image.ysize;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    return decodeSgiPixels(image, out.pixels.data(), error);
}

// The facade's picture, as the city loaded it, with the mask's grey as its
// alpha. False (said on stderr unless the mask is missing) when the mask
// cannot be used.
bool addMask(GLuint texture, const char* maskFile) {
    Rgba mask;
    FileReadStatus status = FileReadStatus::ok;
    std::string error;
    if (!readPicture(maskFile, mask, status, error)) {
        // No mask, as in a data set made before the glow: no message.
        if (status != FileReadStatus::cannotOpen)
            std::fprintf(stderr, "can't use image %s: %s (its windows are drawn without glow)\n", maskFile,
                         error.c_str());
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (mask.width != width || mask.height != height) {
        std::fprintf(stderr, "can't use image %s: %dx%d, its facade is %dx%d (drawn without glow)\n",
                     maskFile, mask.width, mask.height, width, height);
        glBindTexture(GL_TEXTURE_2D, 0);
        return false;
    }
    std::vector<unsigned char> facade(mask.pixels.size());
    GLint packAlignment = 4, unpackAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, facade.data());
    for (std::size_t i = 3; i < facade.size(); i += 4) facade[i] = mask.pixels[i - 3];
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, facade.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

}  // namespace

const char* windowGlowFile(int textureIndex) {
    const int i = textureIndex - firstFacade;
    return i >= 0 && i < facadeCount ? maskFiles[i] : nullptr;
}

void loadWindowGlow(const City& city) {
    // The names of an earlier city belong to its context, which may be gone.
    glowingFacades.clear();
    unitOneTexture = 0;
    if (!mixSupported()) return;
    for (int i = firstFacade; i < firstFacade + facadeCount; ++i) {
        if (i >= city.textureCount || city.textureTable[i] == 0) continue;
        if (addMask(city.textureTable[i], windowGlowFile(i))) glowingFacades.push_back(city.textureTable[i]);
    }
    if (glowingFacades.empty()) return;
    const unsigned char white[4] = {255, 255, 255, 255};
    glGenTextures(1, &unitOneTexture);
    glBindTexture(GL_TEXTURE_2D, unitOneTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool windowGlows(unsigned facadeTexture) {
    if (!windowGlow) return false;
    for (const GLuint f : glowingFacades) {
        if (f == facadeTexture) return true;
    }
    return false;
}

void beginWindowGlow() {
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, unitOneTexture);
    // colour = facade * mask + lit * (1 - mask), with lit = facade * light
    // from unit 0; alpha the light's, as without the mask.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
}

void endWindowGlow() {
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
}
