// main.cpp -- searchlight-headless: the game on an offscreen GL context.
#include <cstdio>
#include <cstring>

#include "commands.h"

static void usage() {
    std::fprintf(
        stderr,
        "usage: searchlight-headless run [--turns N] [--fps N] [--data DIR]\n"
        "       searchlight-headless city --seed S [--data DIR]\n"
        "       searchlight-headless trace --seed S --seconds T [--police N] [--hold-space] [--every K] "
        "[--fps N]\n"
        "                                  [--size WxH] [--data DIR]\n"
        "       searchlight-headless shot --seed S [--size WxH] [--script FILE] [--seconds T] [--data DIR] "
        "--out FILE.ppm\n"
        "                                 [--fps N] [--design-order] [--audio FILE.wav] [--events FILE]\n"
        "       searchlight-headless soak --seed S --seconds T [--police N] [--hold-space] [--draw-every K] "
        "[--chases N]\n"
        "                                 [--fps N] [--size WxH] [--data DIR]\n"
        "       searchlight-headless bench --seed S [--frames N] [--size WxH] [--fps N] [--data DIR]\n"
        "--fps N plays N turns of the game loop a second (default 60; 70 is the game's reference tick).\n"
        "shot --events FILE writes the run's game events, one a line: `time event x y z` (seconds of game\n"
        "time, the event, world units), the first line naming the columns; events are police-badge,\n"
        "police-key, capture, new-chase (the title's dismissal, Return after a capture), and helicopter\n"
        "(its position once a second of game time).\n"
        "trace and soak draw no frames (unless soak --draw-every K): the fugitive then always counts as\n"
        "lit and the police always hunt. soak --chases N plays N chases, Return at each capture, and\n"
        "fails if memory at the last capture exceeds the second by more than 2 MB.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "run") == 0) return runTurns(argc - 2, argv + 2);
    if (std::strcmp(command, "city") == 0) return runCity(argc - 2, argv + 2);
    if (std::strcmp(command, "trace") == 0) return runTrace(argc - 2, argv + 2);
    if (std::strcmp(command, "shot") == 0) return runShot(argc - 2, argv + 2);
    if (std::strcmp(command, "bench") == 0) return runBench(argc - 2, argv + 2);
    if (std::strcmp(command, "soak") == 0) return runSoak(argc - 2, argv + 2);
    usage();
    return 2;
}
