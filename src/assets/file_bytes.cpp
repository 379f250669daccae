// file_bytes.cpp -- whole-file reads for the data-file readers.
#include "assets/file_bytes.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

FileReadStatus readFileBytes(const char* path, std::vector<unsigned char>& bytes, std::string& error,
                             std::size_t limit) {
    bytes.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return FileReadStatus::cannotOpen;
    }
    const std::string tooLarge = "file is larger than " + std::to_string(limit) + " bytes";
    // A regular file says its size: refuse an oversized one unread, and
    // size the buffer once for the others.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        if (std::uint64_t(info.st_size) > limit) {
            std::fclose(file);
            error = tooLarge;
            return FileReadStatus::tooLarge;
        }
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    // Read in blocks rather than trusting that size: pipes and special files
    // report none, and a file may grow while it is read.
    unsigned char block[65536];
    FileReadStatus status = FileReadStatus::ok;
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file);
        if (got > 0) {
            if (bytes.size() + got > limit) {
                error = tooLarge;
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
    if (status != FileReadStatus::ok) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return status;
}

void exitOutOfMemory() {
    std::fputs("Out of memory!\n", stderr);
    std::exit(1);
}
