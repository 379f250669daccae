// ppm_fuzz.cpp -- libFuzzer target for the PPM decoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "assets/ppm_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PpmImage image;
    std::string error;
    if (decodePpm(data, size, image, error) != PpmStatus::ok) {
        if (!image.samples.empty()) __builtin_trap();  // a refusal keeps nothing
        return 0;
    }
    // What the upload reads: width * height * 3 bytes, all present.
    if (image.width <= 0 || image.height <= 0) __builtin_trap();
    if (image.samples.size() != std::size_t(image.width) * std::size_t(image.height) * 3) __builtin_trap();
    if (image.samples.size() > size) __builtin_trap();
    return 0;
}
