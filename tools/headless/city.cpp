// city.cpp -- `city`: generate the city of one seed on the offscreen context
// and print it as one JSON object, or measure what its tree draws.
//
// searchlight-headless city --seed S [--data DIR]
//   {"seed":S,"columnWidths":[..],"rowDepths":[..],"streetX":[..],
//    "streetZ":[..],"tiles":[[25 texture indices of row 0],..25 rows],
//    "buildings":[{"x","z","w","h","d","wall","roof","block":[g,h]},..],
//    "vehicles":[{"kind","mesh","x","y","z","heading","speed"},..],
//    "policeSpawn":[X,Z],"tree":{"nodes","leaves","depth","tiles","buildings"}}
//   Numbers in shortest round-trip form; the same seed prints the same bytes.
// searchlight-headless city --seed S --measure [--frames N] [--size WxH] [--data DIR]
//   The lit pass over the city from the start-up chase camera, with and
//   without the tree's culling: objects drawn and milliseconds per pass.
#include "city/city.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/offscreen_context.h"
#include "app/random.h"
#include "app/screen_shape.h"
#include "commands.h"
#include "headless_common.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"

namespace {

constexpr int dumpSurfaceSize = 64;  // the dump draws nothing; any surface will do
constexpr int defaultMeasureFrames = 60;
constexpr int maxMeasureFrames = 100000;

// JSON text built in one string, numbers in their shortest round-trip form.
class JsonText {
public:
    JsonText& raw(const char* text) {
        out += text;
        return *this;
    }
    JsonText& number(long long value) { return put(value); }
    JsonText& number(int value) { return put(value); }
    JsonText& number(float value) { return put(value); }
    JsonText& key(const char* name) {
        out += '"';
        out += name;
        out += "\":";
        return *this;
    }
    template <typename T>
    JsonText& list(const T* values, int count) {
        out += '[';
        for (int i = 0; i < count; ++i) {
            if (i) out += ',';
            number(values[i]);
        }
        out += ']';
        return *this;
    }
    const std::string& text() const { return out; }

private:
    template <typename T>
    JsonText& put(T value) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out.append(buffer, result.ptr);
        return *this;
    }
    std::string out;
};

struct TreeStatistics {
    int nodes = 0, leaves = 0, depth = 0, tiles = 0, buildings = 0;
};

void gatherTree(const CityTreeNode& node, int depth, TreeStatistics& s) {
    ++s.nodes;
    s.depth = std::max(s.depth, depth);
    if (!node.low && !node.high) ++s.leaves;
    for (const Drawable* d : node.objects) {
        if (dynamic_cast<const GroundTile*>(d)) ++s.tiles;
        if (dynamic_cast<const Building*>(d)) ++s.buildings;
    }
    if (node.low) gatherTree(*node.low, depth + 1, s);
    if (node.high) gatherTree(*node.high, depth + 1, s);
}

int objectsInTree(const CityTreeNode& node) {
    int n = static_cast<int>(node.objects.size());
    if (node.low) n += objectsInTree(*node.low);
    if (node.high) n += objectsInTree(*node.high);
    return n;
}

const char* vehicleKind(const Vehicle* v) {
    if (v == static_cast<const Vehicle*>(fugitive)) return "fugitive";
    for (const PoliceCar* p : policeCars)
        if (v == static_cast<const Vehicle*>(p)) return "police";
    return "traffic";
}

// Index of the car's display list among the city's meshes; -1 for a list of
// its own (police cars build theirs).
int meshIndex(const Vehicle* v) {
    for (int i = 0; i < city.vehicleMeshCount; ++i)
        if (city.vehicleMeshes[i] == v->displayList) return i;
    return -1;
}

std::string cityJson(std::uint32_t seed) {
    JsonText j;
    j.raw("{").key("seed").number(static_cast<long long>(seed));
    j.raw(",").key("columnWidths").list(city.columnWidths, city.columnGroupCount);
    j.raw(",").key("rowDepths").list(city.rowDepths, city.rowGroupCount);
    j.raw(",").key("streetX").list(city.streetX, city.streetXCount);
    j.raw(",").key("streetZ").list(city.streetZ, city.streetZCount);

    j.raw(",").key("tiles").raw("[");
    for (int r = 0; r < cityTilesPerSide; ++r) {
        int kinds[cityTilesPerSide];
        for (int c = 0; c < cityTilesPerSide; ++c) kinds[c] = city.tiles[r][c].textureIndex;
        if (r) j.raw(",");
        j.list(kinds, cityTilesPerSide);
    }
    j.raw("]");

    std::unordered_map<const Building*, std::pair<int, int>> blockOf;
    for (int g = 0; g < city.columnGroupCount; ++g)
        for (int h = 0; h < city.rowGroupCount; ++h)
            for (const Building* b : city.blocks[g][h].buildings) blockOf[b] = {g, h};
    j.raw(",").key("buildings").raw("[");
    for (int i = 0; i < city.buildingCount; ++i) {
        const Building& b = *city.buildings[i];
        const auto block = blockOf.count(&b) ? blockOf[&b] : std::pair<int, int>(-1, -1);
        if (i) j.raw(",");
        j.raw("{").key("x").number(b.position.x);
        j.raw(",").key("z").number(b.position.z);
        j.raw(",").key("w").number(b.size.x);
        j.raw(",").key("h").number(b.size.y);
        j.raw(",").key("d").number(b.size.z);
        j.raw(",").key("wall").number(b.wallTexture);
        j.raw(",").key("roof").number(b.roofTexture);
        j.raw(",").key("block").raw("[").number(block.first).raw(",").number(block.second).raw("]}");
    }
    j.raw("]");

    j.raw(",").key("vehicles").raw("[");
    for (size_t i = 0; i < city.vehicles.size(); ++i) {
        const Vehicle& v = *city.vehicles[i];
        if (i) j.raw(",");
        j.raw("{").key("kind").raw("\"").raw(vehicleKind(&v)).raw("\"");
        j.raw(",").key("mesh").number(meshIndex(&v));
        j.raw(",").key("x").number(v.position.x);
        j.raw(",").key("y").number(v.position.y);
        j.raw(",").key("z").number(v.position.z);
        j.raw(",").key("heading").number(v.heading);
        j.raw(",").key("speed").number(v.speed);
        j.raw("}");
    }
    j.raw("]");

    j.raw(",").key("policeSpawn").raw("[").number(policeSpawnX).raw(",").number(policeSpawnZ).raw("]");
    TreeStatistics tree;
    gatherTree(*cityTree, 1, tree);
    j.raw(",").key("tree").raw("{").key("nodes").number(tree.nodes);
    j.raw(",").key("leaves").number(tree.leaves);
    j.raw(",").key("depth").number(tree.depth);
    j.raw(",").key("tiles").number(tree.tiles);
    j.raw(",").key("buildings").number(tree.buildings);
    j.raw("}}\n");
    return j.text();
}

// One lit pass over the tree from the camera; returns the objects drawn.
int litPass() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.apply();
    placeSearchlight();
    placeSearchlightLight();
    glEnable(GL_LIGHTING);
    beginRegularPass();
    objectsDrawn = 0;
    cityTree->draw(true);
    glFinish();
    return objectsDrawn;
}

struct PassTiming {
    int objects = 0;
    double meanMs = 0, bestMs = 0;
    double cpuMs = 0;  // CPU time of all the process's threads per pass
};

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

PassTiming timePasses(int frames) {
    PassTiming t;
    t.objects = litPass();  // also warms up the textures
    double total = 0, best = 1e30;
    const double cpuStart = processCpuMs();
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        litPass();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        total += ms;
        best = std::min(best, ms);
    }
    t.cpuMs = (processCpuMs() - cpuStart) / frames;
    t.meanMs = total / frames;
    t.bestMs = best;
    return t;
}

void measure(int frames, int width, int height) {
    setFixedGLState();
    glViewport(0, 0, width, height);
    applyViewProjection(width, height);  // the game's projection for this shape
    helicopter.attachCamera(camera);     // the start-up chase view

    const int total = objectsInTree(*cityTree);
    CityTreeNode::cullingEnabled = true;
    const PassTiming culled = timePasses(frames);
    CityTreeNode::cullingEnabled = false;
    const PassTiming everything = timePasses(frames);
    CityTreeNode::cullingEnabled = true;

    std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("surface %dx%d, %d frames per mode\n", width, height, frames);
    std::printf("objects in tree %d\n", total);
    std::printf("culled pass: objects drawn %d, mean %.2f ms, best %.2f ms, cpu %.2f ms\n", culled.objects,
                culled.meanMs, culled.bestMs, culled.cpuMs);
    std::printf("every object: objects drawn %d, mean %.2f ms, best %.2f ms, cpu %.2f ms\n",
                everything.objects, everything.meanMs, everything.bestMs, everything.cpuMs);
}

bool parseSeed(const char* text, std::uint32_t& seed) {
    const char* end = text + std::strlen(text);
    unsigned long long value = 0;
    const auto result = std::from_chars(text, end, value);
    if (result.ec != std::errc() || result.ptr != end || value > 0xFFFFFFFFull) return false;
    seed = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

int runCity(int argc, char** argv) {
    std::uint32_t seed = 0;
    bool seedGiven = false, measuring = false;
    int frames = defaultMeasureFrames;
    int width = 1280, height = 1024;
    const char* dataDir = nullptr;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            if (!parseSeed(argv[++i], seed)) {
                std::fprintf(stderr, "city: bad seed \"%s\" (expected 0 to 4294967295)\n", argv[i]);
                return 2;
            }
            seedGiven = true;
        } else if (std::strcmp(argv[i], "--data") == 0 && hasValue) {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--measure") == 0) {
            measuring = true;
        } else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 1 || n > maxMeasureFrames) {
                std::fprintf(stderr, "city: --frames must be 1 to %d\n", maxMeasureFrames);
                return 2;
            }
            frames = static_cast<int>(n);
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!parseSize(argv[++i], width, height)) {
                std::fprintf(stderr, "city: bad size \"%s\" (expected WxH)\n", argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "city: unknown or incomplete argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (!seedGiven) {
        std::fprintf(stderr, "city: --seed S is required\n");
        return 2;
    }
    if (!enterDataDirectory(dataDir)) return 1;

    OffscreenContext context;
    std::string error;
    const int surfaceWidth = measuring ? width : dumpSurfaceSize;
    const int surfaceHeight = measuring ? height : dumpSurfaceSize;
    if (!context.create(surfaceWidth, surfaceHeight, error)) {
        std::fprintf(stderr, "city: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }

    // As start-up does it: the city, its tree, the cars in the tree, the
    // police spawn point.
    setFixedSeed(seed);
    city.generate();
    cityTree = new CityTreeNode(-50, 50, -50, 50);
    cityTree->build(city);
    city.insertVehiclesIntoTree();
    city.randomSpawnPoint(policeSpawnX, policeSpawnZ);

    if (measuring) {
        measure(frames, width, height);
        return 0;
    }
    const std::string json = cityJson(seed);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
