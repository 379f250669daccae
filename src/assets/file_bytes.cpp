// file_bytes.cpp -- whole-file reads for the data-file readers.
#include "assets/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

FileReadStatus readFileBytes(const char* path, std::vector<unsigned char>& bytes, std::string& error) {
    bytes.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return FileReadStatus::cannotOpen;
    }
    // Read in blocks rather than trusting a size from the file system:
    // pipes and special files report none.
    unsigned char block[65536];
    FileReadStatus status = FileReadStatus::ok;
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file);
        if (got > 0) {
            if (bytes.size() + got > maxDataFileBytes) {
                error = "file is larger than " + std::to_string(maxDataFileBytes) + " bytes";
                status = FileReadStatus::tooLarge;
                break;
            }
            bytes.insert(bytes.end(), block, block + got);
        }
        if (got < sizeof block) {
            if (std::ferror(file)) {
                const int code = errno;
                error = code ? std::strerror(code) : "read error";
                status = FileReadStatus::readFailed;
            }
            break;
        }
    }
    std::fclose(file);
    if (status != FileReadStatus::ok) bytes.clear();
    return status;
}
