// shot.cpp -- the `shot` subcommand (not built yet).
#include <cstdio>

#include "commands.h"

int runShot(int, char**) {
    std::fprintf(stderr, "shot: not available in this build\n");
    return 2;
}
