// trace.cpp -- `trace`: the cars of one city driven by the real idle step on
// the virtual clock, printed as CSV.
//
// searchlight-headless trace --seed S --seconds T [--police N] [--hold-space]
//                            [--every K] [--fps N] [--data DIR]
// A first line saying that no frame is drawn (so the police always hunt),
// rows `t,id,kind,x,z,heading,speed,state` under their header for every car
// every K turns (the first at t = 0, after the police cars are sent), then
// `# summary turns=.. captured=<game time or none> vehicles=..`.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/globals.h"
#include "city/city.h"
#include "commands.h"
#include "traffic/vehicle.h"
#include "traffic_run.h"

namespace {
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
        case DrivingState::crossing:
            return "crossing";
        case DrivingState::left:
            return "left";
        case DrivingState::right:
            return "right";
        case DrivingState::uTurn:
            return "uturn";
        case DrivingState::blocking:
            return "blocking";
        case DrivingState::pullOver:
            return "pullover";
        default:
            return "lane";
    }
}

void printRows() {
    char x[32], z[32], heading[32], speed[32];
    for (size_t i = 0; i < city.vehicles.size(); ++i) {
        const Vehicle* car = city.vehicles[i];
        std::printf("%.6f,%zu,%s,%s,%s,%s,%s,%s\n", gameTime, i, kindOf(car), shortest(car->position.x, x),
                    shortest(car->position.z, z), shortest(car->heading, heading),
                    shortest(car->speed, speed), stateName(car->drivingState()));
    }
}
}  // namespace

int runTrace(int argc, char** argv) {
    TrafficRunOptions options;
    long every = 6;
    OffscreenGame game;
    if (const int status = beginTrafficRun("trace", argc, argv, {{"--every", &every}}, options, game))
        return status;

    const long turns = trafficRunTurns(options);
    bool captured = false;
    double capturedAt = 0;
    std::fputs(undrawnRunNote, stdout);
    std::printf("t,id,kind,x,z,heading,speed,state\n");
    printRows();
    for (long turn = 1; turn <= turns; ++turn) {
        stepTrafficRun(options, game);
        if (!captured && fugitive && fugitive->frozen) {
            captured = true;
            capturedAt = gameTime;
        }
        if (turn % every == 0) printRows();
    }
    if (captured) {
        std::printf("# summary turns=%ld captured=%.6f vehicles=%zu\n", turns, capturedAt,
                    city.vehicles.size());
    } else {
        std::printf("# summary turns=%ld captured=none vehicles=%zu\n", turns, city.vehicles.size());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
