// bench.cpp -- the `bench` subcommand (not built yet).
#include <cstdio>

#include "commands.h"

int runBench(int, char**) {
    std::fprintf(stderr, "bench: not available in this build\n");
    return 2;
}
