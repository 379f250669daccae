// trace_test.cpp -- long runs of the real game step through the headless
// trace command, over many cities: what every car does must stay sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "traffic/vehicle.h"

namespace {

const std::string tool = std::string(SEARCHLIGHT_BINARY_DIR) + "/tools/headless/searchlight-headless";

struct Row {
    double t;
    int id;
    std::string kind, state;
    float x, z, heading, speed;
};

struct Trace {
    int status = -1;
    std::vector<Row> rows;
    std::string summary;
    std::string text;
};

Trace runTrace(const std::string& arguments) {
    Trace trace;
    const std::string command = tool + " trace " + arguments + " --data " SEARCHLIGHT_DATA_DIR " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return trace;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        trace.text += line;
        std::string s(line);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        if (s.rfind("# summary", 0) == 0) {
            trace.summary = s;
            continue;
        }
        if (s.rfind("t,", 0) == 0) continue;
        std::vector<std::string> f;
        std::stringstream in(s);
        for (std::string part; std::getline(in, part, ',');) f.push_back(part);
        if (f.size() != 8) continue;
        // strtof: speeds queued down by 0.7 a step can be denormal, which stof refuses.
        auto number = [](const std::string& text) { return std::strtof(text.c_str(), nullptr); };
        trace.rows.push_back({std::strtod(f[0].c_str(), nullptr), std::atoi(f[1].c_str()), f[2], f[7], number(f[3]),
                              number(f[4]), number(f[5]), number(f[6])});
    }
    trace.status = pclose(pipe);
    return trace;
}

// The street lines of a seed's city (the layout only: no context needed).
void layoutFor(std::uint32_t seed, std::vector<float>& xs, std::vector<float>& zs) {
    city.glObjectsEnabled = false;
    setFixedSeed(seed);
    city.generate();
    clearFixedSeed();
    xs.assign(city.streetX, city.streetX + city.streetXCount);
    zs.assign(city.streetZ, city.streetZ + city.streetZCount);
    city.releaseVehicles();
}

bool onLane(float v, const std::vector<float>& lines) {
    for (float line : lines) {
        if (std::fabs(v - (line - 0.8f)) < 1e-3f || std::fabs(v - (line + 0.8f)) < 1e-3f) return true;
    }
    return false;
}

}  // namespace

// Same arguments, same bytes; the note, the CSV header, one row per car per sample, the summary last.
TEST(TraceTool, RepeatableOutputAndFormat) {
    const Trace a = runTrace("--seed 5 --seconds 2 --police 2 --every 30");
    const Trace b = runTrace("--seed 5 --seconds 2 --police 2 --every 30");
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.text, b.text);
    // The first line says what a run without frames means for the catch rule.
    EXPECT_EQ(a.text.rfind("# no frames are drawn: the fugitive always counts as lit, so the police always hunt\n"
                           "t,id,kind,x,z,heading,speed,state\n",
                           0),
              0u);
    // Samples at turns 0, 30, 60, 90, 120, each with 19 + 2 cars.
    EXPECT_EQ(a.rows.size(), 5u * 21u);
    EXPECT_EQ(a.summary, "# summary turns=120 captured=none vehicles=21");
    EXPECT_EQ(a.rows[0].kind, "fugitive");
    EXPECT_EQ(a.rows[1].kind, "traffic");
    EXPECT_EQ(a.rows[20].kind, "police");
    const Trace other = runTrace("--seed 6 --seconds 2 --police 2 --every 30");
    EXPECT_NE(a.text, other.text);
}

// Bad arguments are refused with status 2 and nothing on standard output.
TEST(TraceTool, RefusesBadArguments) {
    for (const char* args : {"--seconds 1", "--seed 1", "--seed x --seconds 1", "--seed 1 --seconds -1",
                             "--seed 1 --seconds 1 --every 0", "--seed 1 --seconds 1 --police 1e9",
                             "--seed 1 --seconds nan", "--seed 1 --seconds 1 --bogus"}) {
        const Trace t = runTrace(args);
        EXPECT_NE(t.status, 0) << args;
        EXPECT_TRUE(t.text.empty()) << args;
    }
}

// Several minutes over many cities with three police cars: every number finite, every car in the city (or
// wrapping), lane-state cars exactly on a lane line, the fugitive caught in most cities.
TEST(TraceTool, LongRunsStaySoundAndTheFugitiveIsCaught) {
    const int seeds = 40;
    const int seconds = 240;
    std::vector<double> captureTimes;
    for (int seed = 100; seed < 100 + seeds; ++seed) {
        SCOPED_TRACE(seed);
        std::vector<float> xs, zs;
        layoutFor(static_cast<std::uint32_t>(seed), xs, zs);
        const Trace t = runTrace("--seed " + std::to_string(seed) + " --seconds " + std::to_string(seconds) +
                                 " --police 3 --every 6");
        ASSERT_EQ(t.status, 0);
        ASSERT_FALSE(t.rows.empty());
        std::map<int, bool> policeInLane;  // a police car starts beside the road until its first turn
        int checkedLane = 0;
        for (const Row& r : t.rows) {
            ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.z) && std::isfinite(r.heading) && std::isfinite(r.speed))
                << "car " << r.id << " at " << r.t;
            // Driving straight a car wraps within one step of the edge; an arc or a pull-over
            // (which do not wrap until they end) may run on beyond it first: a pull-over about 9.
            const bool straight = r.state == "lane" || r.state == "crossing";
            const float margin = straight ? 0.1f : farthestPastCityEdge(1.0f / 180) + 0.1f;
            ASSERT_LE(std::fabs(r.x), 50 + margin) << "car " << r.id << " at " << r.t;
            ASSERT_LE(std::fabs(r.z), 50 + margin) << "car " << r.id << " at " << r.t;
            ASSERT_GE(r.heading, -0.001f);
            ASSERT_LT(r.heading, 360.0f);
            if (r.kind == "police" && r.state == "left") policeInLane[r.id] = true;
            if (r.state != "lane" || (r.kind == "police" && !policeInLane[r.id])) continue;
            const bool alongZ = r.heading < 1 || (r.heading > 179 && r.heading < 181);
            ASSERT_TRUE(alongZ ? onLane(r.x, xs) : onLane(r.z, zs))
                << "car " << r.id << " (" << r.kind << ") at " << r.t << ": " << r.x << ", " << r.z << " heading "
                << r.heading;
            ++checkedLane;
        }
        EXPECT_GT(checkedLane, 1000);
        const size_t at = t.summary.find("captured=");
        ASSERT_NE(at, std::string::npos);
        const std::string captured = t.summary.substr(at + 9, t.summary.find(' ', at) - at - 9);
        if (captured != "none") {
            captureTimes.push_back(std::stod(captured));
            // After the capture every car but the pulled-over traffic stands still.
            for (const Row& r : t.rows) {
                if (r.t > captureTimes.back() + 0.001 && r.kind != "traffic") {
                    ASSERT_EQ(r.speed, 0) << "car " << r.id << " at " << r.t;
                }
            }
        }
    }
    std::sort(captureTimes.begin(), captureTimes.end());
    const double median = captureTimes.empty() ? 0 : captureTimes[captureTimes.size() / 2];
    std::printf("caught in %zu of %d cities within %d s; median capture time %.1f s\n", captureTimes.size(), seeds,
                seconds, median);
    EXPECT_GT(captureTimes.size() * 2, static_cast<size_t>(seeds));
}

// Holding space suspends the pursuit: police then roam like traffic (the run stays sound).
TEST(TraceTool, HoldingSpaceRunsSound) {
    const Trace t = runTrace("--seed 9 --seconds 60 --police 4 --hold-space --every 60");
    ASSERT_EQ(t.status, 0);
    for (const Row& r : t.rows) ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.z));
    EXPECT_EQ(t.summary.rfind("# summary turns=3600 ", 0), 0u);
}
