// traffic_run.h -- what `trace` and `soak` share: one city's cars driven by
// the real idle step on the virtual clock, turn after turn.
#pragma once

#include "app/offscreen_game.h"

// Seed, police cars and the space bar of a traffic run, and the arguments
// both commands read for them.
struct TrafficRunOptions {
    long seed = -1;
    long police = 0;
    double seconds = -1;
    bool holdSpace = false;
    const char* dataDir = nullptr;
};

// A game turn of the runs: sixty a second, as a smooth frame rate gives.
constexpr double trafficTurnSeconds = 1.0 / 60.0;

// Reads --seed, --seconds, --police, --hold-space and --data at argv[i]
// (advancing i past a value). Returns 1 when the argument was one of them,
// 0 when it is not, -1 (with a message naming the command) on a bad value.
int parseTrafficArgument(const char* command, int argc, char** argv, int& i, TrafficRunOptions& options);
// Whole numbers in [low, high], nothing after them.
bool parseLong(const char* text, long low, long high, long& out);

// Checks that seed and seconds were given, enters the data directory,
// creates a small context, starts the game from the seed, sends the police
// cars as the "x" key does and holds the space bar if asked. The title
// stays up, so a frame would draw only the title card and run no game rule:
// the idle step alone is the game's whole step in these runs. Prints why
// and returns false on failure.
bool startTrafficRun(const char* command, const TrafficRunOptions& options, OffscreenGame& game);
// One turn: the clock moves on and idle() runs.
void stepTrafficRun(OffscreenGame& game);
