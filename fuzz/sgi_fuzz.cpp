// sgi_fuzz.cpp -- libFuzzer target for the SGI image decoder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "assets/sgi_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SgiImage image;
    std::string error;
    if (!parseSgiImage(image, data, size, error)) return 0;
    if (image.xsize > maxSgiSide || image.ysize > maxSgiSide) __builtin_trap();
    if (std::uint64_t(4) * image.xsize * image.ysize > maxSgiDecodedBytes) __builtin_trap();

    // Every row on its own, into a buffer of exactly xsize bytes, so a row
    // that writes one byte too many is caught. Rows of channels beyond the
    // used ones are read too: they take another path to the tables.
    const int channels = image.zsize < 5 ? image.zsize : 5;
    for (int y = 0; y < image.ysize; ++y) {
        for (int z = 0; z < channels; ++z) {
            std::unique_ptr<unsigned char[]> row(new unsigned char[image.xsize]);
            if (!decodeSgiRow(image, row.get(), y, z, error)) {
                y = image.ysize;
                break;
            }
        }
    }
    std::unique_ptr<unsigned char[]> rgba(new unsigned char[std::size_t(4) * image.xsize * image.ysize]);
    decodeSgiPixels(image, rgba.get(), error);
    return 0;
}
