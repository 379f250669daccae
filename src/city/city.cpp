// city.cpp -- the city's layout queries: which group a coordinate falls in,
// where the spatial tree splits, which tiles and buildings a rectangle holds,
// the next street line ahead of a car and the police spawn point.
#include "city/city.h"
#include "traffic/vehicle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/random.h"

namespace {
// Group lookups work in tiles from the grid's low edge; these are fixed and
// deliberately not read from origin.
constexpr float gridLowEdge = 50.0f;
// Two coordinates closer than this are the same line.
constexpr float lineTolerance = 0.001f;
// Headings (degrees) below this count as driving toward +x.
constexpr float towardPlusXBelow = 91.0f;
// The police spawn point sits this far toward -x and -z of a crossing.
constexpr float spawnOffset = 4.0f;

void reportInvalidBlock() { std::fprintf(stderr, "ERROR: INVALID BLOCK INDEX\n"); }
}  // namespace

City::City() = default;

City::~City() {
    for (int i = 0; i < buildingCount; ++i) delete buildings[i];
    // Only the cars themselves: at program exit the globals that point at
    // some of them may already be gone.
    for (Vehicle* car : vehicles) delete car;
}

// Every edge is a whole number of tiles from the grid's corner, exact in
// float, so the edges come out the same in any order of adding.
float City::tileLowEdge(float start, int tile) { return start + cityTileSize * static_cast<float>(tile); }

int City::groupFirstTile(const int* widths, int k) {
    int tile = 0;
    for (int j = 0; j < k; ++j) tile += widths[j] + 1;  // the group's tiles and the street after it
    return tile;
}

float City::groupLowEdge(float start, const int* widths, int k) {
    return tileLowEdge(start, groupFirstTile(widths, k));
}

int City::groupIndexAt(float coordinate, const int* widths, int count, bool preferLower) const {
    const float u = (coordinate + gridLowEdge) / cityTileSize;
    if (std::fabs(u) < lineTolerance) return 0;
    for (int g = 0; g < count; ++g) {
        const int end = groupFirstTile(widths, g + 1);
        if (std::fabs(u - static_cast<float>(end)) < lineTolerance) {
            if (preferLower) return g;
            // The high edge of the last group lies beyond the grid: no group.
            return g + 1 < count ? g + 1 : invalidGroupIndex;
        }
        if (u < static_cast<float>(end)) return g;
    }
    return invalidGroupIndex;
}

int City::firstTileColumn(int g) const { return groupFirstTile(columnWidths, std::min(g, columnGroupCount)); }

int City::firstTileRow(int h) const { return groupFirstTile(rowDepths, std::min(h, rowGroupCount)); }

float City::splitCoordinate(float x1, float x2, float z1, float z2, int axis, std::vector<Drawable*>& out) {
    const int g1 = groupIndexAt(x1, columnWidths, columnGroupCount, false);
    const int g2 = groupIndexAt(x2, columnWidths, columnGroupCount, true);
    const int h1 = groupIndexAt(z1, rowDepths, rowGroupCount, false);
    const int h2 = groupIndexAt(z2, rowDepths, rowGroupCount, true);
    if (g1 == invalidGroupIndex || g2 == invalidGroupIndex || h1 == invalidGroupIndex ||
        h2 == invalidGroupIndex) {
        // A rectangle reaching outside the grid has no block to split by.
        reportInvalidBlock();
        return invalidCoordinate;
    }

    if (g1 == g2 && h1 == h2) {
        // One block plus the street on its +x and +z sides (none after the
        // last group): the block hands its tiles to this rectangle.
        const float blockWidth =
            cityTileSize * static_cast<float>(columnWidths[g1]) + (g1 == columnGroupCount - 1 ? 0.0f : cityTileSize);
        const float blockDepth =
            cityTileSize * static_cast<float>(rowDepths[h1]) + (h1 == rowGroupCount - 1 ? 0.0f : cityTileSize);
        if (std::fabs((x2 - x1) - blockWidth) < lineTolerance &&
            std::fabs((z2 - z1) - blockDepth) < lineTolerance)
            collectBlockTiles(g1, h1, out);
        return splitInsideBlock(x1, x2, z1, z2, axis, g1, h1);
    }

    // Between groups: split at the low edge of the middle group, walked
    // from the origin one group and its street at a time.
    if (axis == -1) return g1 == g2 ? invalidCoordinate : groupLowEdge(origin.x, columnWidths, (g1 + g2 + 1) / 2);
    if (axis == 1) return h1 == h2 ? invalidCoordinate : groupLowEdge(origin.z, rowDepths, (h1 + h2 + 1) / 2);
    return invalidCoordinate;
}

float City::splitInsideBlock(float x1, float x2, float z1, float z2, int axis, int g, int h) const {
    if (g < 0 || g >= cityMaxGroups || h < 0 || h >= cityMaxGroups) return invalidCoordinate;
    if (axis != -1 && axis != 1) return invalidCoordinate;
    const float low = axis == -1 ? x1 : z1;
    const float high = axis == -1 ? x2 : z2;
    const float mid = (low + high) / 2;
    float best = 50000.0f;
    const Building* choice = nullptr;
    for (const Building* b : blocks[g][h].buildings) {
        const float p = axis == -1 ? b->position.x : b->position.z;
        if (low < p && p < high && std::fabs(p - mid) < best) {
            choice = b;
            best = std::fabs(p - mid);
        }
    }
    if (!choice) return invalidCoordinate;
    return axis == -1 ? choice->position.x : choice->position.z;
}

void City::collectBlockTiles(int g, int h, std::vector<Drawable*>& out) {
    if (g < 0 || g >= columnGroupCount || h < 0 || h >= rowGroupCount) return;
    CityBlock& block = blocks[g][h];
    if (block.tilesCollected) return;
    block.tilesCollected = true;
    const int c0 = firstTileColumn(g);
    const int r0 = firstTileRow(h);
    // The block's own tiles, the street column on its +x side, the street
    // row on its +z side and the crossing at its +x, +z corner.
    for (int c = c0; c <= c0 + columnWidths[g]; ++c) {
        if (c >= cityTilesPerSide) continue;
        for (int r = r0; r <= r0 + rowDepths[h]; ++r) {
            if (r >= cityTilesPerSide) continue;
            out.push_back(&tiles[r][c]);
        }
    }
}

void City::collectBuildings(float x1, float x2, float z1, float z2, std::vector<Drawable*>& out) const {
    const int g = groupIndexAt(x1, columnWidths, columnGroupCount, false);
    const int h = groupIndexAt(z1, rowDepths, rowGroupCount, false);
    if (g == invalidGroupIndex || h == invalidGroupIndex) {
        reportInvalidBlock();
        return;
    }
    // Only the low corner decides: a building belongs where it starts.
    for (Building* b : blocks[g][h].buildings) {
        if (x1 - lineTolerance < b->position.x && b->position.x < x2 - lineTolerance &&
            z1 - lineTolerance < b->position.z && b->position.z < z2 - lineTolerance)
            out.push_back(b);
    }
}

// The walk both lookups share: the first line above s; ahead of a car
// driving toward higher coordinates it is that line, otherwise the one
// before it. No line above s at all: none either way.
static float nextStreetLine(const float* lines, int count, float s, bool towardHigh) {
    int k = 0;
    while (k < count && !(lines[k] > s)) ++k;
    if (k == count) return invalidCoordinate;
    if (towardHigh) return lines[k];
    return k >= 1 ? lines[k - 1] : invalidCoordinate;
}

float City::nextStreetX(float heading, float x) const {
    return nextStreetLine(streetX, streetXCount, x, heading < towardPlusXBelow);
}

float City::nextStreetZ(float heading, float z) const {
    return nextStreetLine(streetZ, streetZCount, z, heading < 1.0f || heading > 359.0f);
}

void City::randomSpawnPoint(float& x, float& z) const {
    // Before generation there are no streets to spawn beside.
    if (streetXCount <= 0 || streetZCount <= 0) return;
    z = streetZ[gameRandom() % streetZCount] - spawnOffset;
    x = streetX[gameRandom() % streetXCount] - spawnOffset;
}

void City::addBuilding(Building* b) {
    if (buildingCount >= cityMaxBuildings) return;  // never reached: at most 961 buildings
    buildings[buildingCount++] = b;
}

void Building::setTextures(GLuint* table, int wall, int roof) {
    textureTable = table;
    wallTexture = wall;
    roofTexture = roof;
}

void GroundTile::setTexture(GLuint* table, int index) {
    textureTable = table;
    textureIndex = index;
}
