// texture_loading.cpp -- turning decoded pictures into GL textures.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/data_directory_hint.h"
#include "assets/file_bytes.h"
#include "assets/model.h"
#include "assets/ppm_image.h"
#include "assets/sgi_image.h"

namespace {

// Texture file names are kept short in our data files' material records.
constexpr std::size_t maxTextureNameLength = 25;

}  // namespace

void Model::loadTexture(GLuint* table, const char* fileName, int index) {
    if (!fileName || std::strlen(fileName) > maxTextureNameLength) {
        std::fprintf(stderr, "canceling load\n");
        return;
    }
    std::fprintf(stderr, "about to load \"%s\"", fileName);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = readSgiImage(fileName, &width, &height, &channels);
    if (!pixels) {
        // A texture the game cannot have is a failed start, not a clean exit.
        std::fprintf(stderr, "couldn't open file %s\n", fileName);
        std::exit(1);
    }
    glGenTextures(1, &table[index]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, table[index]);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    std::fprintf(stderr, "...built mipmap\n");
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    std::free(pixels);
}

PpmTextureRead readPpmTexture(const char* fileName) {
    const OutOfMemoryExit outOfMemoryExit;
    PpmTextureRead read;
    std::vector<unsigned char> bytes;
    std::string error;
    const FileReadStatus fileStatus = readFileBytes(fileName, bytes, error);
    if (fileStatus != FileReadStatus::ok) {
        std::fprintf(stderr, "can't read image %s: %s\n", fileName, error.c_str());
        if (fileStatus == FileReadStatus::cannotOpen) hintAtDataDirectory();
        return read;
    }
    PpmImage image;
    const PpmStatus status = decodePpm(bytes.data(), bytes.size(), image, error);
    if (status == PpmStatus::refused) return read;
    if (status == PpmStatus::malformed) {
        std::fprintf(stderr, "can't use image %s: %s\n", fileName, error.c_str());
        return read;
    }
    // Rows are packed (width * 3 bytes); with the default alignment of 4,
    // GL would read past the samples of a width not a multiple of 4.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                      image.samples.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    read.uploaded = true;
    read.blackBorder = ppmBorderIsBlack(image);
    return read;
}
