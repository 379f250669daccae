// main.cpp -- searchlight-assets: writes the game's data set or its desktop icon, or inspects data files.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data_set.h"
#include "icon.h"
#include "inspect.h"
#include "png_writer.h"

static int usage(bool asked = false) {
    std::fprintf(asked ? stdout : stderr,
                 "Usage: searchlight-assets COMMAND ...\n"
                 "The generator of the game's data set, and a look at what its readers decode.\n"
                 "\n"
                 "  generate DIR               writes the whole data set into DIR, the same bytes every run\n"
                 "  inspect [--normals] FILE...  prints what the game's readers make of each file (SGI,\n"
                 "                             PPM, 3DS); --normals adds the models' vertex normals\n"
                 "  icon SIZE FILE.png         writes the desktop icon, SIZE x SIZE pixels (%d to %d)\n"
                 "  -h, --help                 this text\n",
                 minIconSize, maxIconSize);
    return asked ? 0 : 2;
}

// The desktop icon at SIZE x SIZE pixels as a PNG file.
static int writeIcon(const char* sizeText, const char* path) {
    char* end = nullptr;
    errno = 0;
    const long size = std::strtol(sizeText, &end, 10);
    if (errno != 0 || end == sizeText || *end != '\0' || size < minIconSize || size > maxIconSize) {
        std::fprintf(stderr, "searchlight-assets: icon size \"%s\" is not a number from %d to %d\n", sizeText,
                     minIconSize, maxIconSize);
        return 2;
    }
    const std::vector<std::uint8_t> png = encodePng(paintIcon(static_cast<int>(size)), 4);
    FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::fprintf(stderr, "searchlight-assets: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    const std::size_t written = std::fwrite(png.data(), 1, png.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (written != png.size() || !closed) {
        std::fprintf(stderr, "searchlight-assets: %s: write failed\n", path);
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return usage(true);
    if (std::strcmp(argv[1], "generate") == 0) {
        if (argc != 3) return usage();
        std::string error;
        if (!writeDataSet(argv[2], error)) {
            std::fprintf(stderr, "searchlight-assets: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (std::strcmp(argv[1], "inspect") == 0) return runInspect(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "icon") == 0) {
        if (argc != 4) return usage();
        return writeIcon(argv[2], argv[3]);
    }
    return usage();
}
