// ppm_image.h -- the binary PPM (P6) picture that the searchlight projects.
//
// Header elements each stand on their own line ("P6", "WIDTH HEIGHT", the
// maximum value); lines starting with '#' are comments wherever a header line
// is expected. Samples are single bytes, rows top to bottom.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PpmImage {
    int width = 0, height = 0;
    std::vector<unsigned char> samples;  // width * height * 3, in file order
};

enum class PpmStatus {
    ok,
    refused,    // the first header line is not P6: silently not used
    malformed,  // the message says why
};

// Decoding core: no GL. Refuses sizes that are not positive or that the
// file's remaining bytes cannot hold, and 16-bit samples (maximum value
// above 255).
PpmStatus decodePpm(const unsigned char* bytes, std::size_t byteCount, PpmImage& image, std::string& error);

// Reads the file and uploads it, mipmapped, into the texture bound to
// GL_TEXTURE_2D (minification linear-mipmap-linear, magnification linear).
// A file that is not P6 uploads nothing, silently; one that is missing,
// unreadable or malformed uploads nothing and is reported on stderr.
void readPpmTexture(const char* fileName);
