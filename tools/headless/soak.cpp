// soak.cpp -- `soak`: hours of game time on the virtual clock, checked as
// they pass.
//
// searchlight-headless soak --seed S --seconds T [--police N] [--hold-space]
//                           [--draw-every K] [--chases N] [--fps N] [--size WxH] [--data DIR]
// Runs the same turns as `trace` (with --draw-every K the title is dismissed
// and every K-th turn also draws the frame, so the frame's rules, the
// searchlight's police and the map capture take part) and, after every turn,
// checks that every car, its smoke, the helicopter and the camera hold finite
// numbers and that every car is inside the city (a straight-driving car wraps
// within a step of the edge; a manoeuvre does not wrap until it ends, and a
// pull-over begun at the edge runs about 9 units past it, then wraps on the
// step after). Resident memory is
// sampled once a game minute; after the first minute it may grow by at most
// maxGrowthKb. Prints one summary line
// `# soak seed=.. seconds=.. police=.. space=.. turns=.. captured=..
//  rss_first_minute_kb=.. rss_peak_kb=.. growth_kb=.. drawn=.. state=<hash>`
// where the hash is the scene's fingerprint, so two runs of the same seed
// must print the same line. Exits 1 at the first fault, with a line that
// says what and when. The first line says whether frames are drawn: without
// them the searchlight rule never runs, so the fugitive always counts as lit
// and the police always hunt.
//
// With --chases N the chases follow one another as a player plays them: the
// title is dismissed at once, and at each capture Return starts the next
// chase in the next seed's city, where the --police cars are sent again (a
// drawn frame is preceded by a perfect aim at the fugitive, so the police
// hunt there too). The run ends at the N-th capture; reaching T seconds
// before it is a fault. Resident memory is read at each capture. The first
// chase also holds the GL driver's warming up (the drawing states it meets
// for the first time, which a single long chase meets just the same), so
// the check runs from the second: from there to the last capture memory
// may grow by at most chaseGrowthKb (with three chases or more). The summary
// line then carries `chases=.. rss_first_chase_kb=.. rss_second_chase_kb=..
// rss_last_chase_kb=.. chase_growth_kb=..` before the state.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/camera.h"
#include "app/chase.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "city/city.h"
#include "commands.h"
#include "headless_common.h"
#include "helicopter/helicopter.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"
#include "traffic_run.h"

namespace {
constexpr float cityHalfSide = 50;
constexpr float straightMargin = 0.1f;  // one step of the fastest car, and then some
constexpr long maxGrowthKb = 16 * 1024;
// What the chases after the second may add to the memory: a leak of a city,
// a map or a tree per chase would show well beyond it.
constexpr long chaseGrowthKb = 2 * 1024;
// Return: on the title, like every key, it only dismisses the title (and
// leaves the space bar --hold-space holds alone); once the fugitive is
// caught it starts the next chase.
constexpr unsigned char returnKey = '\r';

long residentKb() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long size = 0, resident = -1;
    if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
    std::fclose(f);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The first fault of this turn, or null. A car past the edge by more than a
// straight step is allowed while it turns or pulls over (those do not wrap
// until they end) and for the one turn after, when it wraps; turnsOutside
// counts how long it has been out there.
const char* fault(const Vehicle& car, float manoeuvreMargin, int& turnsOutside) {
    if (!finite(car.position) || !std::isfinite(car.heading) || !std::isfinite(car.speed))
        return "a number that is not finite";
    for (int i = 0; i < car.smokeCount; ++i) {
        const SmokeParticle& p = car.smoke[i];
        if (!finite(p.position) || !finite(p.velocity) || !std::isfinite(p.size))
            return "smoke that is not finite";
    }
    const float out = std::max(std::fabs(car.position.x), std::fabs(car.position.z)) - cityHalfSide;
    if (out > manoeuvreMargin) return "a place outside the city";
    if (out <= straightMargin) {
        turnsOutside = 0;
        return nullptr;
    }
    const DrivingState state = car.drivingState();
    const bool straight = state == DrivingState::lane || state == DrivingState::crossing;
    if (straight && ++turnsOutside > 1) return "a place outside the city, driving straight on";
    return nullptr;
}

}  // namespace

int runSoak(int argc, char** argv) {
    TrafficRunOptions options;
    long drawEvery = 0, chases = 0;
    OffscreenGame game;
    if (const int status = beginTrafficRun(
            "soak", argc, argv, {{"--draw-every", &drawEvery}, {"--chases", &chases}}, options, game))
        return status;
    if (drawEvery > 0 || chases > 0) {
        game.keyDown(returnKey);  // any key dismisses the title and schedules the map capture
        game.keyUp(returnKey);
    }
    if (chases > 0) game.mouseMotion(0, 0);  // the first motion lowers the beam for the aim
    if (drawEvery > 0)
        std::printf(
            "# a frame is drawn every %ld turns: the police hunt while the last one found the fugitive lit\n",
            drawEvery);
    else
        std::fputs(undrawnRunNote, stdout);

    long turns = trafficRunTurns(options);
    // An arc or pull-over does not wrap until it ends (with a turn's three driving steps).
    const float manoeuvreMargin =
        farthestPastCityEdge(static_cast<float>(options.turnSeconds / 3)) + straightMargin;
    const long turnsPerMinute = std::max(1L, std::lround(60 / options.turnSeconds));
    long firstMinuteKb = -1, peakKb = -1;
    double capturedAt = -1;
    std::vector<int> turnsOutside(city.vehicles.size(), 0);
    long chasesCaught = 0, firstChaseKb = -1, secondChaseKb = -1, lastChaseKb = -1;
    for (long turn = 1; turn <= turns; ++turn) {
        stepTrafficRun(options, game);
        if (drawEvery > 0 && turn % drawEvery == 0) {
            if (chases > 0) game.holdFugitiveInBeam();
            display();
        }
        turnsOutside.resize(city.vehicles.size(), 0);  // the searchlight may send more police
        for (size_t i = 0; i < city.vehicles.size(); ++i) {
            if (const char* what = fault(*city.vehicles[i], manoeuvreMargin, turnsOutside[i])) {
                const Vehicle& car = *city.vehicles[i];
                std::printf("soak: FAILED at %.4f s: car %zu has %s (%g, %g heading %g speed %g)\n", gameTime,
                            i, what, car.position.x, car.position.z, car.heading, car.speed);
                return 1;
            }
        }
        if (!finite(helicopter.position) || !finite(camera.eye) || !finite(camera.centre)) {
            std::printf("soak: FAILED at %.4f s: the helicopter or camera left the finite numbers\n",
                        gameTime);
            return 1;
        }
        if (capturedAt < 0 && fugitive && fugitive->frozen) capturedAt = gameTime;
        if (turn % turnsPerMinute == 0) {
            const long kb = residentKb();
            if (turn == turnsPerMinute) firstMinuteKb = kb;
            if (kb > peakKb) peakKb = kb;
        }
        if (chases > 0 && chase().over()) {
            lastChaseKb = residentKb();
            if (++chasesCaught == 1) firstChaseKb = lastChaseKb;
            if (chasesCaught == 2) secondChaseKb = lastChaseKb;
            if (chasesCaught == chases) {
                turns = turn;
                break;
            }
            game.keyDown(returnKey);
            game.keyUp(returnKey);
            for (long i = 0; i < options.police; ++i) createPoliceCar();  // as the "x" key does
            turnsOutside.assign(city.vehicles.size(), 0);
        }
    }
    if (chases > 0 && chasesCaught < chases) {
        std::printf("soak: FAILED: %ld of %ld chases caught in %g s\n", chasesCaught, chases,
                    options.seconds);
        return 1;
    }
    const long growthKb = firstMinuteKb < 0 ? 0 : peakKb - firstMinuteKb;
    char captured[32] = "none";
    if (capturedAt >= 0) std::snprintf(captured, sizeof captured, "%.4f", capturedAt);
    const long chaseGrowth = chases >= 3 ? lastChaseKb - secondChaseKb : 0;
    char chaseFields[200] = "";
    if (chases > 0)
        std::snprintf(chaseFields, sizeof chaseFields,
                      " chases=%ld rss_first_chase_kb=%ld rss_second_chase_kb=%ld rss_last_chase_kb=%ld "
                      "chase_growth_kb=%ld",
                      chases, firstChaseKb, secondChaseKb, lastChaseKb, chaseGrowth);
    std::printf(
        "# soak seed=%ld seconds=%g police=%ld space=%s turns=%ld captured=%s rss_first_minute_kb=%ld "
        "rss_peak_kb=%ld growth_kb=%ld drawn=%ld%s state=%016llx\n",
        options.seed, options.seconds, options.police, options.holdSpace ? "held" : "free", turns, captured,
        firstMinuteKb, peakKb, growthKb, drawEvery > 0 ? turns / drawEvery : 0, chaseFields,
        static_cast<unsigned long long>(sceneFingerprint()));
    if (growthKb > maxGrowthKb) {
        std::printf("soak: FAILED: resident memory grew by %ld KB after the first minute (at most %ld)\n",
                    growthKb, maxGrowthKb);
        return 1;
    }
    if (chases > 0 && chaseGrowth > chaseGrowthKb) {
        std::printf(
            "soak: FAILED: resident memory at the last capture exceeds the second by %ld KB (at most %ld)\n",
            chaseGrowth, chaseGrowthKb);
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
