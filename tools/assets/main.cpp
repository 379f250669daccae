// main.cpp -- searchlight-assets: writes the game's data set, or inspects data files.
#include <cstdio>
#include <cstring>
#include <string>

#include "data_set.h"
#include "inspect.h"

static int usage() {
    std::fprintf(stderr,
                 "usage: searchlight-assets generate DIR\n"
                 "       searchlight-assets inspect [--normals] FILE...\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
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
    return usage();
}
