// sgi_image.h -- SGI RGB images (".rgb"), the format of every texture the
// city, the smoke and the models use.
//
// Multi-byte fields in the file are big-endian. Row 0 is the bottom row of
// the picture and is kept as row 0 (no flip). Run-length files have one
// compressed row per (row, channel), located through two tables indexed
// y + z * ysize.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest picture we decode (4096 x 4096). Run-length rows may share
// their bytes, so the file's size alone does not bound the picture.
constexpr std::uint32_t maxSgiPixels = 4096u * 4096u;

struct SgiImage {
    std::uint16_t type = 0;  // (type & 0xFF00) == 0x0100: run-length rows
    std::uint16_t xsize = 0, ysize = 0, zsize = 0;
    std::vector<unsigned char> file;  // the whole file, read at open
    // Run-length files only: file offset and length of each compressed row.
    std::vector<std::uint32_t> rowStart, rowSize;

    bool runLength() const { return (type & 0xFF00) == 0x0100; }
};

// ---- Decoding core: no GL, no exit; false with a message on bad input.

// Takes a copy of the file's bytes, reads the header and, for run-length
// files, the row tables. Refuses empty pictures, pictures over maxSgiPixels,
// and tables or rows of the channels the picture uses that lie outside the
// file.
bool parseSgiImage(SgiImage& image, const unsigned char* bytes, std::size_t byteCount, std::string& error);
// Decodes row y of channel z into out (xsize bytes). A run-length row that
// ends early leaves the rest of out as it was; one that would decode past
// xsize bytes, or whose run needs bytes past the row's data, is refused.
bool decodeSgiRow(const SgiImage& image, unsigned char* out, int y, int z, std::string& error);
// The whole picture as RGBA, 4 * xsize * ysize bytes into rgba, row 0 first:
// 4+ channels give R, G, B, A; 3 give R, G, B with A 255; 1 or 2 give grey
// from channel 0 with A 255.
bool decodeSgiPixels(const SgiImage& image, unsigned char* rgba, std::string& error);

// ---- The game's interface.

// Reads and parses the file. A file that cannot be opened is reported with
// perror(fileName) and ends the program with status 1; a malformed one is
// reported on stderr and gives null.
SgiImage* openSgiImage(const char* fileName);
// Decodes one row; false after reporting a malformed row on stderr.
bool readSgiRow(SgiImage* image, unsigned char* out, int y, int z);
void closeSgiImage(SgiImage* image);
// The picture as RGBA (see decodeSgiPixels), allocated with malloc for the
// caller to free; null when the picture is malformed (reported on stderr)
// or its buffer cannot be allocated.
unsigned char* readSgiImage(const char* fileName, int* width, int* height, int* channels);
