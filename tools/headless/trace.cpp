// trace.cpp -- the `trace` subcommand (not built yet).
#include <cstdio>

#include "commands.h"

int runTrace(int, char**) {
    std::fprintf(stderr, "trace: not available in this build\n");
    return 2;
}
