// traffic_run.h -- what `trace` and `soak` share: one city's cars driven by
// the real idle step on the virtual clock, turn after turn.
#pragma once

#include <initializer_list>

#include "app/offscreen_game.h"

// A game turn of the runs unless --fps says otherwise: sixty a second, as a
// smooth frame rate gives.
constexpr double trafficTurnSeconds = 1.0 / 60.0;

// Seed, length, pace, police cars and the space bar of a traffic run.
struct TrafficRunOptions {
    long seed = -1;
    long police = 0;
    double seconds = -1;
    double turnSeconds = trafficTurnSeconds;
    bool holdSpace = false;
    const char* dataDir = nullptr;
    // The context's size: it matters only to runs that draw frames.
    int width = 64, height = 64;
};

// The first line of a run's output when it draws no frame: the searchlight
// rule, which runs with the frame, then never finds the fugitive unlit.
constexpr const char* undrawnRunNote =
    "# no frames are drawn: the fugitive always counts as lit, so the police always hunt\n";

// A command's own whole-number option (1 to 1000000) and where it goes.
struct ExtraOption {
    const char* name;
    long* value;
};

// Reads the whole argument list: --seed S and --seconds T (both required),
// --police N, --hold-space, --fps N, --size WxH, --data DIR, and the
// command's own options. Prints why, naming the command, and returns false
// on anything else.
bool parseTrafficArguments(const char* command, int argc, char** argv,
                           std::initializer_list<ExtraOption> extra, TrafficRunOptions& options);

// Enters the data directory, creates a small context, starts the game from
// the seed, sends the police cars as the "x" key does and holds the space
// bar if asked. The title
// stays up, so a frame would draw only the title card and run no game rule:
// the idle step alone is the game's whole step in these runs. Prints why
// and returns false on failure.
bool startTrafficRun(const char* command, const TrafficRunOptions& options, OffscreenGame& game);
// Both of the above, as every run begins: 0 when the run may go on, else
// the command's exit status (2 for its arguments, 1 for a failed start).
int beginTrafficRun(const char* command, int argc, char** argv, std::initializer_list<ExtraOption> extra,
                    TrafficRunOptions& options, OffscreenGame& game);
// The run's length in turns.
long trafficRunTurns(const TrafficRunOptions& options);
// One turn: the clock moves on by the run's turn and idle() runs.
void stepTrafficRun(const TrafficRunOptions& options, OffscreenGame& game);
