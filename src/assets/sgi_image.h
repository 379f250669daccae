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

// The largest picture we decode: at most 4096 pixels a side and 64 MiB of
// RGBA. Run-length rows may share their bytes, so the file's size alone does
// not bound the picture; these do, before anything is sized by it.
constexpr std::uint32_t maxSgiSide = 4096;
constexpr std::uint64_t maxSgiDecodedBytes = 64u * 1024u * 1024u;
// So the side check alone keeps every decoded picture within the byte limit.
static_assert(std::uint64_t(maxSgiSide) * maxSgiSide * 4 <= maxSgiDecodedBytes,
              "the side limit must keep the RGBA buffer within the byte limit");

struct SgiImage {
    std::uint16_t type = 0;  // (type & 0xFF00) == 0x0100: run-length rows
    std::uint16_t xsize = 0, ysize = 0, zsize = 0;
    std::vector<unsigned char> file;  // the whole file, read at open
    std::string fileName;             // for messages; empty when decoded from memory
    // Run-length files only: file offset and length of each compressed row
    // of the channels the picture is made from (see channelsUsed), index
    // y + z * ysize. Rows of further channels are looked up in the file.
    std::vector<std::uint32_t> rowStart, rowSize;

    bool runLength() const { return (type & 0xFF00) == 0x0100; }
    // Channels the RGBA picture is made from: 4 of 4 or more, 3 of 3,
    // channel 0 alone otherwise.
    int channelsUsed() const { return zsize >= 4 ? 4 : (zsize == 3 ? 3 : 1); }
};

// ---- Decoding core: no GL, no exit; false with a message on bad input.

// Takes the file's bytes, reads the header and, for run-length files, the
// row tables. Refuses empty pictures, sides over maxSgiSide (which keeps the
// RGBA buffer within maxSgiDecodedBytes), and tables or rows of the used channels that lie
// outside the file. The message does not name the file; callers add it.
bool parseSgiImage(SgiImage& image, std::vector<unsigned char>&& file, std::string& error);
// The same on a copy of bytes held elsewhere.
bool parseSgiImage(SgiImage& image, const unsigned char* bytes, std::size_t byteCount, std::string& error);
// Decodes row y of channel z into out (xsize bytes). A run-length row that
// ends early leaves the rest of out as it was; one that would decode past
// xsize bytes, or whose run needs bytes past the row's data, is refused.
// The work is bounded by xsize whatever the row's stored length.
bool decodeSgiRow(const SgiImage& image, unsigned char* out, int y, int z, std::string& error);
// The whole picture as RGBA, 4 * xsize * ysize bytes into rgba, row 0 first:
// 4+ channels give R, G, B, A; 3 give R, G, B with A 255; 1 or 2 give grey
// from channel 0 with A 255.
bool decodeSgiPixels(const SgiImage& image, unsigned char* rgba, std::string& error);

// ---- The game's interface. Every message names the file.

// Reads and parses the file. A file that cannot be opened is reported with
// perror(fileName) and ends the program with status 1, and so does memory
// running out ("Out of memory!"); a malformed file is reported on stderr and
// gives null.
SgiImage* openSgiImage(const char* fileName);
// Decodes one row; false after reporting a malformed row on stderr.
bool readSgiRow(SgiImage* image, unsigned char* out, int y, int z);
void closeSgiImage(SgiImage* image);
// The picture as RGBA (see decodeSgiPixels), allocated with malloc for the
// caller to free; null when the picture is malformed (reported on stderr)
// or its buffer cannot be allocated.
unsigned char* readSgiImage(const char* fileName, int* width, int* height, int* channels);
