// trace.cpp -- `trace`: the cars of one city driven by the real idle step on
// the virtual clock, printed as CSV.
//
// searchlight-headless trace --seed S --seconds T [--police N] [--hold-space]
//                            [--every K] [--data DIR]
// Rows `t,id,kind,x,z,heading,speed,state` for every car every K turns (the
// first at t = 0, after the police cars are sent), then
// `# summary turns=.. captured=<game time or none> vehicles=..`.
// The title stays up, so the frame would draw only the title card and run
// no game rule: the idle step alone is the game's whole step here.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/game_loop.h"
#include "app/globals.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "city/city.h"
#include "commands.h"
#include "headless_common.h"
#include "traffic/vehicle.h"

namespace {
constexpr double turnSeconds = 1.0 / 60.0;
constexpr double maxSeconds = 86400;
constexpr long maxPolice = 1000;
constexpr int contextSize = 64;  // nothing is drawn; the context only holds the city's GL objects

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

// Shortest text that reads back as the same float.
const char* shortest(float v, char (&buffer)[32]) {
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, v);
    *result.ptr = '\0';
    return buffer;
}

const char* kindOf(const Vehicle* car) {
    if (car == fugitive) return "fugitive";
    if (dynamic_cast<const PoliceCar*>(car)) return "police";
    return "traffic";
}

const char* stateName(DrivingState s) {
    switch (s) {
        case DrivingState::crossing: return "crossing";
        case DrivingState::left: return "left";
        case DrivingState::right: return "right";
        case DrivingState::uTurn: return "uturn";
        case DrivingState::blocking: return "blocking";
        case DrivingState::pullOver: return "pullover";
        default: return "lane";
    }
}

void printRows() {
    char x[32], z[32], heading[32], speed[32];
    for (size_t i = 0; i < city.vehicles.size(); ++i) {
        const Vehicle* car = city.vehicles[i];
        std::printf("%.6f,%zu,%s,%s,%s,%s,%s,%s\n", gameTime, i, kindOf(car), shortest(car->position.x, x),
                    shortest(car->position.z, z), shortest(car->heading, heading), shortest(car->speed, speed),
                    stateName(car->drivingState()));
    }
}
}  // namespace

int runTrace(int argc, char** argv) {
    long seed = -1, police = 0, every = 6;
    double seconds = -1;
    bool holdSpace = false;
    const char* dataDir = nullptr;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        const char* arg = argv[i];
        bool ok = true;
        if (std::strcmp(arg, "--seed") == 0 && hasValue) {
            ok = parseLong(argv[++i], 0, 4294967295L, seed);
        } else if (std::strcmp(arg, "--seconds") == 0 && hasValue) {
            ok = parseSeconds(argv[++i], seconds);
        } else if (std::strcmp(arg, "--police") == 0 && hasValue) {
            ok = parseLong(argv[++i], 0, maxPolice, police);
        } else if (std::strcmp(arg, "--every") == 0 && hasValue) {
            ok = parseLong(argv[++i], 1, 1000000, every);
        } else if (std::strcmp(arg, "--data") == 0 && hasValue) {
            dataDir = argv[++i];
        } else if (std::strcmp(arg, "--hold-space") == 0) {
            holdSpace = true;
        } else {
            std::fprintf(stderr, "trace: unknown or incomplete argument \"%s\"\n", arg);
            return 2;
        }
        if (!ok) {
            std::fprintf(stderr, "trace: bad value \"%s\" for %s\n", argv[i], arg);
            return 2;
        }
    }
    if (seed < 0 || seconds < 0) {
        std::fprintf(stderr, "trace: --seed S and --seconds T are required\n");
        return 2;
    }
    if (!enterDataDirectory(dataDir)) return 1;

    OffscreenGame game;
    std::string error;
    if (!game.createContext(contextSize, contextSize, error)) {
        std::fprintf(stderr, "trace: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    setFixedSeed(static_cast<std::uint32_t>(seed));
    game.start();
    for (long i = 0; i < police; ++i) createPoliceCar();  // as the "x" key does
    if (holdSpace) keyDown[static_cast<unsigned char>(' ')] = true;

    const long turns = std::lround(seconds / turnSeconds);
    bool captured = false;
    double capturedAt = 0;
    std::printf("t,id,kind,x,z,heading,speed,state\n");
    printRows();
    for (long turn = 1; turn <= turns; ++turn) {
        game.offscreenPlatform.advanceClock(turnSeconds);
        idle();
        if (!captured && fugitive && fugitive->frozen) {
            captured = true;
            capturedAt = gameTime;
        }
        if (turn % every == 0) printRows();
    }
    if (captured) {
        std::printf("# summary turns=%ld captured=%.6f vehicles=%zu\n", turns, capturedAt, city.vehicles.size());
    } else {
        std::printf("# summary turns=%ld captured=none vehicles=%zu\n", turns, city.vehicles.size());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
