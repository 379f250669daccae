// sgi_writer.h -- SGI image files (".rgb"), as the game's texture loader reads them.
//
// One byte per channel; channel planes of `channels` (1, 3 or 4: grey, RGB,
// RGBA) taken from the picture; rows bottom-up, as the picture stores them.
#pragma once

#include <cstdint>
#include <vector>

#include "picture.h"

enum class SgiStorage { verbatim, runLength };

// The whole file: 512-byte header, then the planes verbatim or run-length
// encoded row by row (offset and length tables first). `imageName` (up to 79
// characters) goes into the header's name field.
std::vector<std::uint8_t> encodeSgi(const Picture& picture, int channels, SgiStorage storage,
                                    const char* imageName);

// One row of one channel run-length encoded and terminated by a 0 byte: runs
// of three or more equal bytes become (count, byte); everything else goes
// out as literal runs (0x80 | count, bytes...). Counts never exceed 127.
void encodeSgiRow(const std::uint8_t* row, int length, std::vector<std::uint8_t>& out);
