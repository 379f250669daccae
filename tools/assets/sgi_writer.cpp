// sgi_writer.cpp -- writes the SGI image files of the data set.
#include "sgi_writer.h"

#include <cstring>

namespace {

constexpr std::uint16_t sgiMagic = 474;
constexpr int headerSize = 512;
constexpr int maxRun = 127;
constexpr int shortestRepeat = 3;  // shorter repeats cost more than a literal

void putU16(std::vector<std::uint8_t>& out, size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v >> 8);
    out[at + 1] = static_cast<std::uint8_t>(v);
}

void putU32(std::vector<std::uint8_t>& out, size_t at, std::uint32_t v) {
    putU16(out, at, v >> 16);
    putU16(out, at + 2, v & 0xFFFF);
}

// Length of the run of bytes equal to row[i], at most `limit`.
int repeatLength(const std::uint8_t* row, int length, int i, int limit) {
    int n = 1;
    while (i + n < length && n < limit && row[i + n] == row[i]) ++n;
    return n;
}

}  // namespace

void encodeSgiRow(const std::uint8_t* row, int length, std::vector<std::uint8_t>& out) {
    int i = 0;
    while (i < length) {
        const int repeat = repeatLength(row, length, i, maxRun);
        if (repeat >= shortestRepeat) {
            out.push_back(static_cast<std::uint8_t>(repeat));
            out.push_back(row[i]);
            i += repeat;
            continue;
        }
        const int start = i;
        while (i < length && i - start < maxRun &&
               repeatLength(row, length, i, shortestRepeat) < shortestRepeat) {
            ++i;
        }
        out.push_back(static_cast<std::uint8_t>(0x80 | (i - start)));
        out.insert(out.end(), row + start, row + i);
    }
    out.push_back(0);
}

std::vector<std::uint8_t> encodeSgi(const Picture& picture, int channels, SgiStorage storage,
                                    const char* imageName) {
    const int width = picture.width(), height = picture.height();
    const bool runLength = storage == SgiStorage::runLength;

    std::vector<std::uint8_t> out(headerSize, 0);
    putU16(out, 0, sgiMagic);
    out[2] = runLength ? 1 : 0;  // storage
    out[3] = 1;                  // bytes per channel
    putU16(out, 4, channels == 1 ? 2 : 3);
    putU16(out, 6, width);
    putU16(out, 8, height);
    putU16(out, 10, channels);
    putU32(out, 12, 0);    // lowest pixel value
    putU32(out, 16, 255);  // highest pixel value
    std::strncpy(reinterpret_cast<char*>(&out[24]), imageName, 79);

    // Planes of bytes, channel after channel, rows bottom-up; a grey image takes red.
    const std::vector<std::uint8_t> interleaved = picture.toBytes(4);
    std::vector<std::uint8_t> row(width);
    auto fetchRow = [&](int y, int z) {
        for (int x = 0; x < width; ++x) row[x] = interleaved[(static_cast<size_t>(y) * width + x) * 4 + z];
    };

    if (!runLength) {
        for (int z = 0; z < channels; ++z) {
            for (int y = 0; y < height; ++y) {
                fetchRow(y, z);
                out.insert(out.end(), row.begin(), row.end());
            }
        }
        return out;
    }

    const size_t rows = static_cast<size_t>(height) * channels;
    const size_t tables = out.size();
    out.resize(tables + rows * 8, 0);
    std::vector<std::uint8_t> packed;
    for (int z = 0; z < channels; ++z) {
        for (int y = 0; y < height; ++y) {
            fetchRow(y, z);
            packed.clear();
            encodeSgiRow(row.data(), width, packed);
            const size_t index = static_cast<size_t>(y) + static_cast<size_t>(z) * height;
            putU32(out, tables + index * 4, static_cast<std::uint32_t>(out.size()));
            putU32(out, tables + rows * 4 + index * 4, static_cast<std::uint32_t>(packed.size()));
            out.insert(out.end(), packed.begin(), packed.end());
        }
    }
    return out;
}
