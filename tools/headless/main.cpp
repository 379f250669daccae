// main.cpp -- searchlight-headless: the game on an offscreen GL context.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {
const char usageText[] =
    "Usage: searchlight-headless COMMAND [OPTION]...\n"
    "The game on an offscreen GL context (EGL, no window) with a virtual clock: the very same\n"
    "start-up, idle tick and frame as the window. Data files are read from the working directory,\n"
    "or from DIR with --data DIR.\n"
    "\n"
    "Commands:\n"
    "  run [--turns N] [--fps N] [--data DIR]\n"
    "      plays N turns (default 100) of idle and display, then prints the renderer\n"
    "  city --seed S [--measure] [--frames N] [--size WxH] [--data DIR]\n"
    "      prints the city of seed S as one JSON line; --measure times the lit pass with and\n"
    "      without culling over N frames at WxH\n"
    "  trace --seed S --seconds T [--police N] [--hold-space] [--every K] [--fps N] [--size WxH]\n"
    "        [--data DIR]\n"
    "      drives the cars of city S for T seconds with N police cars (space held with\n"
    "      --hold-space) and prints them as CSV every K turns, then the capture time\n"
    "  shot --seed S --out FILE.ppm [--size WxH] [--script FILE] [--seconds T] [--fps N]\n"
    "       [--design-order] [--audio FILE.wav] [--events FILE] [--data DIR]\n"
    "      plays T seconds (default 2) with the input script FILE and writes the last frame;\n"
    "      --audio also writes the run's sound, --events the game's events, --design-order\n"
    "      draws in the plain order\n"
    "  soak --seed S --seconds T [--police N] [--hold-space] [--draw-every K] [--chases N]\n"
    "       [--fps N] [--size WxH] [--data DIR]\n"
    "      plays T seconds checking every turn (finite numbers, cars in the city, memory) and\n"
    "      prints a summary with a hash of the state; --draw-every K draws every K-th turn;\n"
    "      --chases N plays N chases, Return at each capture, and fails if memory at the last\n"
    "      capture exceeds the second by more than 2 MB\n"
    "  bench --seed S [--frames N] [--size WxH] [--fps N] [--data DIR]\n"
    "      plays a fixed course and prints the performance figures, one `name value` a line\n"
    "\n"
    "Options shared by the commands that list them:\n"
    "  --fps N     N turns of the game loop a second (default 60; 70 steps exactly the game's\n"
    "              reference tick of 0.01429 s)\n"
    "  --size WxH  the offscreen surface (default 1280x1024)\n"
    "  -h, --help  this text (with any command)\n"
    "\n"
    "shot --events FILE writes one line per event: `time event x y z` (seconds of game time, the\n"
    "event, world units), the first line naming the columns; events are police-badge, police-key,\n"
    "capture, new-chase (the title's dismissal, Return after a capture) and helicopter (its\n"
    "position once a second of game time).\n"
    "trace and soak draw no frames (unless soak --draw-every K): the fugitive then always counts\n"
    "as lit and the police always hunt.\n";

int usage(bool asked) {
    std::fputs(usageText, asked ? stdout : stderr);
    return asked ? 0 : 2;
}

bool asksForHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(false);
    for (int i = 1; i < argc; ++i)
        if (asksForHelp(argv[i])) return usage(true);
    const char* command = argv[1];
    if (std::strcmp(command, "run") == 0) return runTurns(argc - 2, argv + 2);
    if (std::strcmp(command, "city") == 0) return runCity(argc - 2, argv + 2);
    if (std::strcmp(command, "trace") == 0) return runTrace(argc - 2, argv + 2);
    if (std::strcmp(command, "shot") == 0) return runShot(argc - 2, argv + 2);
    if (std::strcmp(command, "bench") == 0) return runBench(argc - 2, argv + 2);
    if (std::strcmp(command, "soak") == 0) return runSoak(argc - 2, argv + 2);
    std::fprintf(stderr, "searchlight-headless: unknown command \"%s\"\n", command);
    return usage(false);
}
