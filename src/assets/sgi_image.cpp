// sgi_image.cpp -- decoding of SGI RGB images.
#include "assets/sgi_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "assets/data_directory_hint.h"
#include "assets/file_bytes.h"

namespace {

constexpr std::size_t sgiHeaderBytes = 512;

std::uint16_t bigEndian16(const unsigned char* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::string rowName(int y, int z) { return "row " + std::to_string(y) + " of channel " + std::to_string(z); }

}  // namespace

bool parseSgiImage(SgiImage& image, std::vector<unsigned char>&& file, std::string& error) {
    image = SgiImage();
    const std::size_t byteCount = file.size();
    if (byteCount < sgiHeaderBytes) {
        error = "file of " + std::to_string(byteCount) + " bytes is shorter than the 512-byte header";
        return false;
    }
    const unsigned char* bytes = file.data();
    image.type = bigEndian16(bytes + 2);
    image.xsize = bigEndian16(bytes + 6);
    image.ysize = bigEndian16(bytes + 8);
    image.zsize = bigEndian16(bytes + 10);
    const std::string size = std::to_string(image.xsize) + " x " + std::to_string(image.ysize);
    if (image.xsize == 0 || image.ysize == 0 || image.zsize == 0) {
        error = "empty picture (" + size + " x " + std::to_string(image.zsize) + ")";
        return false;
    }
    if (image.xsize > maxSgiSide || image.ysize > maxSgiSide) {
        error =
            "picture of " + size + " has a side over the " + std::to_string(maxSgiSide) + " pixels we accept";
        return false;
    }
    // At most 4096 x 4096, so the RGBA picture fits maxSgiDecodedBytes.
    const std::uint64_t pixels = std::uint64_t(image.xsize) * image.ysize;
    const int planes = image.channelsUsed();
    if (!image.runLength()) {
        // Refuse a file too short for its planes before anything is sized by it.
        const std::uint64_t needed = sgiHeaderBytes + pixels * planes;
        if (needed > byteCount) {
            error = "file of " + std::to_string(byteCount) + " bytes is too short for its " + size + " x " +
                    std::to_string(planes) + " picture (" + std::to_string(needed) + " bytes)";
            return false;
        }
        image.file = std::move(file);
        return true;
    }

    // Both tables must be in the file, but only the rows of the channels the
    // picture is made from are kept: a header may claim 65535 channels.
    const std::uint64_t rows = std::uint64_t(image.ysize) * image.zsize;
    if (sgiHeaderBytes + 8 * rows > byteCount) {
        error = "file of " + std::to_string(byteCount) + " bytes is too short for the row tables of " +
                std::to_string(rows) + " run-length rows";
        return false;
    }
    const std::size_t rowsUsed = std::size_t(image.ysize) * planes;
    image.rowStart.resize(rowsUsed);
    image.rowSize.resize(rowsUsed);
    const unsigned char* starts = bytes + sgiHeaderBytes;
    const unsigned char* sizes = starts + 4 * rows;
    for (std::size_t i = 0; i < rowsUsed; ++i) {
        image.rowStart[i] = bigEndian32(starts + 4 * i);
        image.rowSize[i] = bigEndian32(sizes + 4 * i);
        if (std::uint64_t(image.rowStart[i]) + image.rowSize[i] > byteCount) {
            error = rowName(static_cast<int>(i % image.ysize), static_cast<int>(i / image.ysize)) +
                    " (offset " + std::to_string(image.rowStart[i]) + ", " +
                    std::to_string(image.rowSize[i]) + " bytes) lies past the end of the file";
            image.rowStart.clear();
            image.rowSize.clear();
            return false;
        }
    }
    image.file = std::move(file);
    return true;
}

bool parseSgiImage(SgiImage& image, const unsigned char* bytes, std::size_t byteCount, std::string& error) {
    return parseSgiImage(image, std::vector<unsigned char>(bytes, bytes + byteCount), error);
}

bool decodeSgiRow(const SgiImage& image, unsigned char* out, int y, int z, std::string& error) {
    if (y < 0 || y >= image.ysize || z < 0 || z >= image.zsize) {
        error = rowName(y, z) + " is outside the picture";
        return false;
    }
    const std::size_t width = image.xsize;
    const std::size_t fileSize = image.file.size();
    if (!image.runLength()) {
        const std::uint64_t start = sgiHeaderBytes + (std::uint64_t(z) * image.ysize + y) * width;
        if (start + width > fileSize) {
            error = "file ends inside " + rowName(y, z);
            return false;
        }
        std::memcpy(out, image.file.data() + start, width);
        return true;
    }

    const std::size_t index = std::size_t(y) + std::size_t(z) * image.ysize;
    std::uint64_t start = 0, size = 0;
    if (index < image.rowStart.size()) {
        start = image.rowStart[index];
        size = image.rowSize[index];
    } else {
        // A channel the picture is not made from: straight from the tables,
        // which parsing found inside the file.
        const std::size_t rows = std::size_t(image.ysize) * image.zsize;
        if (image.file.size() < sgiHeaderBytes + 8 * rows) {
            error = "file ends inside the row tables";
            return false;
        }
        const unsigned char* table = image.file.data() + sgiHeaderBytes;
        start = bigEndian32(table + 4 * index);
        size = bigEndian32(table + 4 * rows + 4 * index);
    }
    if (start + size > fileSize) {
        error = rowName(y, z) + " (offset " + std::to_string(start) + ", " + std::to_string(size) +
                " bytes) lies past the end of the file";
        return false;
    }
    const unsigned char* in = image.file.data() + start;
    const unsigned char* end = in + size;
    std::size_t written = 0;
    // Each control byte gives a count of 1..127 (0 ends the row); with the
    // high bit set that many literal bytes follow, else one byte repeated.
    while (in < end) {
        const unsigned char control = *in++;
        const std::size_t count = control & 0x7F;
        if (count == 0) break;
        if (written + count > width) {
            error = rowName(y, z) + " decodes to more than its " + std::to_string(width) + " bytes";
            return false;
        }
        if (control & 0x80) {
            if (std::size_t(end - in) < count) {
                error = rowName(y, z) + " ends inside a literal run";
                return false;
            }
            std::memcpy(out + written, in, count);
            in += count;
        } else {
            if (in == end) {
                error = rowName(y, z) + " ends inside a repeated run";
                return false;
            }
            std::memset(out + written, *in++, count);
        }
        written += count;
    }
    return true;
}

bool decodeSgiPixels(const SgiImage& image, unsigned char* rgba, std::string& error) {
    const std::size_t width = image.xsize;
    const int channels = image.channelsUsed();
    // One scratch row per channel read; rows that end early read as zero.
    std::unique_ptr<unsigned char[]> rowBuffers(new (std::nothrow) unsigned char[width * channels]);
    if (!rowBuffers) {
        error = "out of memory for the row buffers";
        return false;
    }
    unsigned char* rows = rowBuffers.get();
    unsigned char* pixel = rgba;
    for (int y = 0; y < image.ysize; ++y) {
        std::memset(rows, 0, width * channels);
        for (int z = 0; z < channels; ++z) {
            if (!decodeSgiRow(image, rows + z * width, y, z, error)) return false;
        }
        for (std::size_t x = 0; x < width; ++x) {
            if (channels == 1) {
                pixel[0] = pixel[1] = pixel[2] = rows[x];
                pixel[3] = 255;
            } else {
                pixel[0] = rows[x];
                pixel[1] = rows[width + x];
                pixel[2] = rows[2 * width + x];
                pixel[3] = channels == 4 ? rows[3 * width + x] : 255;
            }
            pixel += 4;
        }
    }
    return true;
}

SgiImage* openSgiImage(const char* fileName) {
    const OutOfMemoryExit outOfMemoryExit;
    std::vector<unsigned char> bytes;
    std::string error;
    const FileReadStatus status = readFileBytes(fileName, bytes, error);
    if (status == FileReadStatus::cannotOpen) {
        std::perror(fileName);
        hintAtDataDirectory();
        std::exit(1);
    }
    SgiImage* image = new SgiImage();
    if (status != FileReadStatus::ok || !parseSgiImage(*image, std::move(bytes), error)) {
        std::fprintf(stderr, "%s: %s\n", fileName, error.c_str());
        delete image;
        return nullptr;
    }
    image->fileName = fileName;
    return image;
}

bool readSgiRow(SgiImage* image, unsigned char* out, int y, int z) {
    std::string error;
    if (decodeSgiRow(*image, out, y, z, error)) return true;
    std::fprintf(stderr, "%s: %s\n", image->fileName.c_str(), error.c_str());
    return false;
}

void closeSgiImage(SgiImage* image) { delete image; }

unsigned char* readSgiImage(const char* fileName, int* width, int* height, int* channels) {
    SgiImage* image = openSgiImage(fileName);
    if (!image) return nullptr;
    *width = image->xsize;
    *height = image->ysize;
    *channels = image->zsize;
    unsigned char* rgba =
        static_cast<unsigned char*>(std::malloc(std::size_t(4) * image->xsize * image->ysize));
    std::string error;
    if (!rgba) {
        std::fprintf(stderr, "%s: out of memory for a %d x %d picture\n", fileName, *width, *height);
    } else if (!decodeSgiPixels(*image, rgba, error)) {
        std::fprintf(stderr, "%s: %s\n", fileName, error.c_str());
        std::free(rgba);
        rgba = nullptr;
    }
    closeSgiImage(image);
    return rgba;
}
