// traffic_run.cpp -- setting up and stepping a headless traffic run.
#include "traffic_run.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/game_loop.h"
#include "app/globals.h"
#include "app/random.h"
#include "headless_common.h"
#include "traffic/police_dispatch.h"

namespace {
constexpr double maxSeconds = 86400;
constexpr long maxPolice = 1000;

// Whole numbers in [low, high], nothing after them.
bool parseLong(const char* text, long low, long high, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
    out = v;
    return true;
}

bool parseSeconds(const char* text, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < 0 || v > maxSeconds) return false;
    out = v;
    return true;
}
}  // namespace

bool parseTrafficArguments(const char* command, int argc, char** argv,
                           std::initializer_list<ExtraOption> extra, TrafficRunOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--hold-space") == 0) {
            options.holdSpace = true;
            continue;
        }
        long* extraValue = nullptr;
        for (const ExtraOption& o : extra)
            if (std::strcmp(arg, o.name) == 0) extraValue = o.value;
        const bool known = std::strcmp(arg, "--seed") == 0 || std::strcmp(arg, "--seconds") == 0 ||
                           std::strcmp(arg, "--police") == 0 || std::strcmp(arg, "--data") == 0 ||
                           std::strcmp(arg, "--fps") == 0 || std::strcmp(arg, "--size") == 0 || extraValue;
        if (!known || i + 1 >= argc) {
            std::fprintf(stderr, "%s: unknown or incomplete argument \"%s\"\n", command, arg);
            return false;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (std::strcmp(arg, "--seed") == 0) {
            ok = parseLong(value, 0, 4294967295L, options.seed);
        } else if (std::strcmp(arg, "--seconds") == 0) {
            ok = parseSeconds(value, options.seconds);
        } else if (std::strcmp(arg, "--police") == 0) {
            ok = parseLong(value, 0, maxPolice, options.police);
        } else if (std::strcmp(arg, "--data") == 0) {
            options.dataDir = value;
        } else if (std::strcmp(arg, "--size") == 0) {
            ok = parseSize(value, options.width, options.height);
        } else if (std::strcmp(arg, "--fps") == 0) {
            if (!parseFramesPerSecond(command, value, options.turnSeconds)) return false;
        } else {
            ok = parseLong(value, 1, 1000000, *extraValue);
        }
        if (!ok) {
            std::fprintf(stderr, "%s: bad value \"%s\" for %s\n", command, value, arg);
            return false;
        }
    }
    if (options.seed < 0 || options.seconds < 0) {
        std::fprintf(stderr, "%s: --seed S and --seconds T are required\n", command);
        return false;
    }
    return true;
}

bool startTrafficRun(const char* command, const TrafficRunOptions& options, OffscreenGame& game) {
    if (!enterDataDirectory(options.dataDir)) return false;
    std::string error;
    if (!game.createContext(options.width, options.height, error)) {
        std::fprintf(stderr, "%s: no offscreen GL context: %s\n", command, error.c_str());
        return false;
    }
    setFixedSeed(static_cast<std::uint32_t>(options.seed));
    game.start();
    for (long i = 0; i < options.police; ++i) createPoliceCar();  // as the "x" key does
    if (options.holdSpace) keyDown[static_cast<unsigned char>(' ')] = true;
    return true;
}

int beginTrafficRun(const char* command, int argc, char** argv, std::initializer_list<ExtraOption> extra,
                    TrafficRunOptions& options, OffscreenGame& game) {
    if (!parseTrafficArguments(command, argc, argv, extra, options)) return 2;
    if (!startTrafficRun(command, options, game)) return 1;
    return 0;
}

long trafficRunTurns(const TrafficRunOptions& options) {
    return std::lround(options.seconds / options.turnSeconds);
}

void stepTrafficRun(const TrafficRunOptions& options, OffscreenGame& game) {
    game.offscreenPlatform.advanceClock(options.turnSeconds);
    idle();
}
