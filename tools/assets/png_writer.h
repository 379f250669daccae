// png_writer.h -- PNG images for the desktop icon, written without a library.
//
// The image data goes into zlib "stored" deflate blocks (no compression):
// icons are small, and the format stays simple enough to check by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture.h"

// 8 bits per sample, colour type 2 (RGB, `channels` 3) or 6 (RGBA,
// `channels` 4), no interlace, filter type 0 (None) on every row; rows with
// the picture's TOP row first (PNG order; the picture stores rows bottom-up).
std::vector<std::uint8_t> encodePng(const Picture& picture, int channels);

// The checksums of the format, exposed for the tests: CRC-32 (ISO 3309, as in
// every PNG chunk) and Adler-32 (the zlib stream's trailer).
std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size);
std::uint32_t adler32(const std::uint8_t* bytes, std::size_t size);
