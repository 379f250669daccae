// png_writer.cpp -- PNG signature, chunks and a zlib stream of stored blocks.
#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// A stored deflate block holds at most 65535 bytes (its length is 16 bits).
constexpr std::size_t maxStoredBlock = 65535;
// zlib header: deflate with a 32 KiB window (0x78), no dictionary, "fastest"
// level; 0x7801 is a multiple of 31 as the header check requires.
constexpr std::uint8_t zlibHeader[2] = {0x78, 0x01};

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// Length, type, data and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// The raw scanlines wrapped in a zlib stream of stored blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out(zlibHeader, zlibHeader + 2);
    std::size_t at = 0;
    do {  // an empty input still needs one (final, empty) block
        const std::size_t length = std::min(maxStoredBlock, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    putBig32(out, adler32(raw.data(), raw.size()));
    return out;
}

}  // namespace

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size) {
    const std::array<std::uint32_t, 256>& table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::uint8_t* bytes, std::size_t size) {
    constexpr std::uint32_t modulus = 65521;
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + bytes[i]) % modulus;
        b = (b + a) % modulus;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> encodePng(const Picture& picture, int channels) {
    channels = channels == 4 ? 4 : 3;
    const int width = picture.width(), height = picture.height();
    const std::vector<std::uint8_t> samples = picture.toBytes(channels);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;

    // Each scanline: filter type 0, then the row; top row first.
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);
        const auto first = samples.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        raw.insert(raw.end(), first, first + static_cast<std::ptrdiff_t>(rowBytes));
    }

    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header.push_back(8);                      // bits per sample
    header.push_back(channels == 4 ? 6 : 2);  // colour type: RGBA or RGB
    header.push_back(0);                      // compression: deflate
    header.push_back(0);                      // filter method: adaptive (type per row)
    header.push_back(0);                      // no interlace

    std::vector<std::uint8_t> out(pngSignature, pngSignature + 8);
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlibStored(raw));
    putChunk(out, "IEND", {});
    return out;
}
