// ppm_image.h -- the binary PPM (P6) picture that the searchlight projects.
//
// Header elements each stand on their own line ("P6", "WIDTH HEIGHT", the
// maximum value); lines starting with '#' are comments wherever a header line
// is expected. Samples are single bytes, rows top to bottom.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest picture we read: at most 4096 pixels a side and 64 MiB of
// samples, refused from the header before anything is sized by it.
constexpr long maxPpmSide = 4096;
constexpr std::uint64_t maxPpmSampleBytes = 64u * 1024u * 1024u;
// So the side check alone keeps the samples within the byte limit.
static_assert(std::uint64_t(maxPpmSide) * maxPpmSide * 3 <= maxPpmSampleBytes,
              "the side limit must keep the samples within the byte limit");

struct PpmImage {
    int width = 0, height = 0;
    std::vector<unsigned char> samples;  // width * height * 3, in file order
};

enum class PpmStatus {
    ok,
    refused,    // the first header line is not P6: silently not used
    malformed,  // the message says why
};

// Decoding core: no GL. Refuses sizes that are not positive, sides over
// maxPpmSide, sizes that need more than the file's remaining bytes hold,
// and 16-bit samples (maximum value above 255). The message does not name
// the file; callers add it.
PpmStatus decodePpm(const unsigned char* bytes, std::size_t byteCount, PpmImage& image, std::string& error);

// Every pixel of the outermost ring (first and last row and column) is
// black. A projector clamped to such a picture lights nothing outside it.
bool ppmBorderIsBlack(const PpmImage& image);

// What readPpmTexture made of its file.
struct PpmTextureRead {
    bool uploaded = false;
    bool blackBorder = false;
    // The picture is in the texture and lights nothing outside its frame.
    bool darkOutsideFrame() const { return uploaded && blackBorder; }
};

// Reads the file and uploads it, mipmapped, into the texture bound to
// GL_TEXTURE_2D (minification linear-mipmap-linear, magnification linear).
// A file that is not P6 uploads nothing, silently; one that is missing,
// unreadable or malformed uploads nothing and is reported on stderr. Memory
// running out ends the program with "Out of memory!" and status 1.
PpmTextureRead readPpmTexture(const char* fileName);
