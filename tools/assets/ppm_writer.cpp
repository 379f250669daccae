// ppm_writer.cpp -- writes the binary PPM of the searchlight's image.
#include "ppm_writer.h"

#include <string>

std::vector<std::uint8_t> encodePpm(const Picture& picture) {
    const int width = picture.width(), height = picture.height();
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    const std::vector<std::uint8_t> rgb = picture.toBytes(3);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = height - 1; y >= 0; --y) {
        const auto first = rgb.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(rowBytes));
    }
    return out;
}
