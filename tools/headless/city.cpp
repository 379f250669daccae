// city.cpp -- the `city` subcommand (not built yet).
#include <cstdio>

#include "commands.h"

int runCity(int, char**) {
    std::fprintf(stderr, "city: not available in this build\n");
    return 2;
}
