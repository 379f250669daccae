// wav_file.cpp -- the canonical 44-byte header, then the samples, all
// little-endian whatever the machine.
#include "sound/wav_file.h"

#include <cstdio>

namespace {

void put16(std::vector<unsigned char>& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xff));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

void putTag(std::vector<unsigned char>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int channels, int rate,
              std::string& error) {
    const std::uint64_t dataBytes = samples.size() * 2;
    if (dataBytes > 0xffffffffu - 36) {
        error = path + ": too much sound for one WAV file";
        return false;
    }
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    putTag(bytes, "RIFF");
    put32(bytes, static_cast<std::uint32_t>(36 + dataBytes));
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    put32(bytes, 16);
    put16(bytes, 1);  // PCM
    put16(bytes, static_cast<unsigned>(channels));
    put32(bytes, static_cast<std::uint32_t>(rate));
    put32(bytes, static_cast<std::uint32_t>(rate * channels * 2));
    put16(bytes, static_cast<unsigned>(channels * 2));
    put16(bytes, 16);
    putTag(bytes, "data");
    put32(bytes, static_cast<std::uint32_t>(dataBytes));
    for (std::int16_t s : samples) put16(bytes, static_cast<std::uint16_t>(s));

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "can't write \"" + path + "\"";
        return false;
    }
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !whole) {
        error = "can't write \"" + path + "\" whole";
        return false;
    }
    return true;
}
