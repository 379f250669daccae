// ppm_image.cpp -- decoding of binary PPM pictures.
#include "assets/ppm_image.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Header lines are read as fgets with a 128-byte buffer would: at most 127
// characters, up to and including a newline.
constexpr std::size_t ppmLineLimit = 127;

class LineReader {
public:
    LineReader(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    // The next line that is not a comment; false at end of file.
    bool nextHeaderLine(std::string& line) {
        while (nextLine(line)) {
            if (line[0] != '#') return true;
        }
        return false;
    }
    std::size_t offset() const { return offset_; }

private:
    bool nextLine(std::string& line) {
        if (offset_ >= size_) return false;
        line.clear();
        while (offset_ < size_ && line.size() < ppmLineLimit) {
            const char c = static_cast<char>(bytes_[offset_++]);
            line.push_back(c);
            if (c == '\n') break;
        }
        return true;
    }

    const unsigned char* bytes_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// Reads an optionally signed decimal after optional white space, as %d
// would; numbers beyond long's range saturate (strtol) instead of
// overflowing, and the side limit refuses them.
bool parseInt(const char*& text, long& value) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    const char* start = text;
    if (*text == '+' || *text == '-') ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
    char* end = nullptr;
    value = std::strtol(start, &end, 10);
    text = end;
    return true;
}

}  // namespace

PpmStatus decodePpm(const unsigned char* bytes, std::size_t byteCount, PpmImage& image, std::string& error) {
    image = PpmImage();
    LineReader reader(bytes, byteCount);
    std::string line;
    if (!reader.nextHeaderLine(line)) {
        error = "no header line";
        return PpmStatus::malformed;
    }
    if (line.compare(0, 2, "P6") != 0) return PpmStatus::refused;

    if (!reader.nextHeaderLine(line)) {
        error = "file ends before the size line";
        return PpmStatus::malformed;
    }
    const char* text = line.c_str();
    long width = 0, height = 0;
    if (!parseInt(text, width) || !parseInt(text, height)) {
        error = "size line is not two numbers";
        return PpmStatus::malformed;
    }
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) {
        error = "size " + size + " is not a picture";
        return PpmStatus::malformed;
    }
    if (width > maxPpmSide || height > maxPpmSide) {
        error = "size " + size + " has a side over the " + std::to_string(maxPpmSide) + " pixels we accept";
        return PpmStatus::malformed;
    }
    // At most 4096 x 4096, so the samples fit maxPpmSampleBytes.
    const std::uint64_t needed = std::uint64_t(width) * std::uint64_t(height) * 3;

    if (!reader.nextHeaderLine(line)) {
        error = "file ends before the maximum value line";
        return PpmStatus::malformed;
    }
    // The maximum value is otherwise ignored, but above 255 every sample
    // takes two bytes and single-byte reading would give noise.
    text = line.c_str();
    long maxValue = 0;
    if (parseInt(text, maxValue) && maxValue > 255) {
        error = "maximum value " + std::to_string(maxValue) + " means 16-bit samples, which are not read";
        return PpmStatus::malformed;
    }

    const std::size_t remaining = byteCount - reader.offset();
    if (needed > remaining) {
        error = "size " + size + " needs " + std::to_string(needed) + " sample bytes, the file holds " +
                std::to_string(remaining);
        return PpmStatus::malformed;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.samples.assign(bytes + reader.offset(), bytes + reader.offset() + needed);
    return PpmStatus::ok;
}

bool ppmBorderIsBlack(const PpmImage& image) {
    const auto black = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
        return image.samples[at] == 0 && image.samples[at + 1] == 0 && image.samples[at + 2] == 0;
    };
    if (image.width <= 0 || image.height <= 0 ||
        image.samples.size() < static_cast<std::size_t>(image.width) * image.height * 3)
        return false;
    for (int x = 0; x < image.width; ++x)
        if (!black(x, 0) || !black(x, image.height - 1)) return false;
    for (int y = 0; y < image.height; ++y)
        if (!black(0, y) || !black(image.width - 1, y)) return false;
    return true;
}
