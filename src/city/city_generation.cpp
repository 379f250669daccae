// city_generation.cpp -- builds a new random city: textures, the widths of
// blocks and streets, the ground tiles, the buildings, then the cars.
//
// Every random draw is one gameRandom() call, in a fixed order, so a seed
// always gives the same city.
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/random.h"
#include "city/city.h"

namespace {
constexpr int tilesPerSide = cityTilesPerSide;
constexpr int largestGroup = 4;      // tiles; also the largest last group
constexpr int drawnGroupWidths = 3;  // a drawn width is 1 + rand() % 3
constexpr int smallestLastGroup = 2;
constexpr double buildingPiece = 2.0;     // footprint side of a building
constexpr double largestLastPiece = 4.0;  // a remainder up to this is one building
constexpr float buildingGap = 0.4f;       // widened to 0.4000000059604645
constexpr float lowestBuilding = 2.5f;
constexpr float heightRange = 2.5f;
constexpr int roofTextureCount = 2;  // indices 0, 1
constexpr int firstWallTexture = 4;
constexpr int wallTextureCount = 10;  // indices 4..13
constexpr int maxPiecesPerSide = 8;   // a 16-unit side needs 6

// The scene's textures, by table index.
const char* const textureFiles[cityTextureCount] = {
    "buildingroof.rgb", "rooftopbumpjpg.rgb", "road.rgb",     "road04.rgb",   "building.rgb",
    "building2.rgb",    "windows1.rgb",       "windows2.rgb", "windows3.rgb", "grnbldg2.rgb",
    "ssb.rgb",          "towfront2.rgb",      "office1.rgb",  "apts.rgb",     "sidewalk.rgb",
    "roadh.rgb",        "roadv.rgb",          "roadi.rgb",    "smoke2.rgb",   "smokeblack2.rgb",
    "screenshot.rgb",
};
}  // namespace

void City::loadTextures() {
    textureCount = cityTextureCount;
    for (int i = 0; i < cityTextureCount; ++i) textureLoader.loadTexture(textureTable, textureFiles[i], i);
}

int City::partitionCells(int* widths) {
    int remaining = tilesPerSide;
    int n = 0;
    while (remaining > largestGroup) {
        // Redraw until a street and a last group of at least 2 tiles still fit.
        int e = 0;
        do {
            e = 1 + gameRandom() % drawnGroupWidths;
        } while (!(remaining - e > smallestLastGroup));
        widths[n++] = e;
        remaining -= e + 1;
    }
    widths[n] = remaining;
    return n + 1;
}

int City::splitLength(double length, double gap, double* pieces, int capacity) {
    int n = 0;
    double remaining = length;
    while (remaining > largestLastPiece && n < capacity - 1) {
        pieces[n++] = buildingPiece;
        remaining -= buildingPiece;
        remaining -= gap;
    }
    pieces[n++] = remaining;
    return n;
}

void City::fillBlock(float width, float depth, float x0, float z0, float gap, int g, int h) {
    double xs[maxPiecesPerSide];
    double zs[maxPiecesPerSide];
    const int xCount = splitLength(width, gap, xs, maxPiecesPerSide);
    const int zCount = splitLength(depth, gap, zs, maxPiecesPerSide);
    double offX = 0;
    for (int i = 0; i < xCount; ++i) {
        double offZ = 0;
        for (int j = 0; j < zCount; ++j) {
            Building* b = new Building();
            blocks[g][h].buildings.push_back(b);
            b->position.x = static_cast<float>(x0 + offX);
            b->position.z = static_cast<float>(z0 + offZ);
            b->size.x = static_cast<float>(xs[i]);
            b->size.z = static_cast<float>(zs[j]);
            b->size.y = lowestBuilding + gameRandomFraction() * heightRange;
            addBuilding(b);
            // A fraction of exactly 1 still picks the last texture.
            const int roof =
                std::min(static_cast<int>(roofTextureCount * gameRandomFraction()), roofTextureCount - 1);
            const int wall =
                firstWallTexture +
                std::min(static_cast<int>(wallTextureCount * gameRandomFraction()), wallTextureCount - 1);
            b->setTextures(textureTable, wall, roof);
            offZ += zs[j] + gap;
        }
        offX += xs[i] + gap;
    }
}

void City::alignGroundCuts() {
    std::vector<float> columnCuts[tilesPerSide], rowCuts[tilesPerSide];
    for (int r = 0; r < tilesPerSide; ++r)
        for (int c = 0; c < tilesPerSide; ++c) tiles[r][c].holeEdges(columnCuts[c], rowCuts[r]);
    for (int r = 0; r < tilesPerSide; ++r)
        for (int c = 0; c < tilesPerSide; ++c) tiles[r][c].alignCuts(columnCuts[c], rowCuts[r]);
}

void City::generate() { build(generationSeed(), true); }

void City::regenerate(std::uint32_t citySeed) { build(citySeed, false); }

void City::build(std::uint32_t citySeed, bool fresh) {
    seed = citySeed;
    seedGameRandom(citySeed);
    // A second run replaces the first city's buildings and cars, and the
    // tree that listed them goes first.
    releaseTree();
    for (int i = 0; i < buildingCount; ++i) delete buildings[i];
    releaseVehicles();
    buildingCount = 0;
    for (auto& column : blocks)
        for (CityBlock& block : column) block.buildings.clear();
    origin = Vector3(-50, 0, -50);
    farCorner = Vector3(50, 0, 50);

    if (fresh && glObjectsEnabled) loadTextures();

    columnGroupCount = partitionCells(columnWidths);
    rowGroupCount = partitionCells(rowDepths);

    for (int r = 0; r < tilesPerSide; ++r) {
        for (int c = 0; c < tilesPerSide; ++c) {
            tiles[r][c].position.x = tileLowEdge(origin.x, c);
            tiles[r][c].position.z = tileLowEdge(origin.z, r);
            tiles[r][c].clearFootprints();
        }
    }

    for (auto& column : blocks)
        for (CityBlock& block : column) block.tilesCollected = false;

    // Tile kinds: sidewalk in the blocks, a street column after every column
    // group but the last, then the street rows, crossing where both meet.
    int c = 0;
    for (int g = 0; g < columnGroupCount; ++g) {
        for (int k = 0; k < columnWidths[g]; ++k, ++c)
            for (int r = 0; r < tilesPerSide; ++r) tiles[r][c].setTexture(textureTable, textureSidewalk);
        if (g != columnGroupCount - 1)
            for (int r = 0; r < tilesPerSide; ++r) tiles[r][c].setTexture(textureTable, textureRoadAlongZ);
        ++c;
    }
    int r = 0;
    for (int h = 0; h < rowGroupCount; ++h) {
        r += rowDepths[h];
        if (h != rowGroupCount - 1) {
            for (int k = 0; k < tilesPerSide; ++k) {
                GroundTile& tile = tiles[r][k];
                tile.setTexture(textureTable,
                                tile.textureIndex == textureRoadAlongZ ? textureCrossing : textureRoadAlongX);
            }
        }
        ++r;
    }

    streetXCount = columnGroupCount - 1;
    streetZCount = rowGroupCount - 1;
    // Street k's centre line is half a tile below group k + 1's low edge.
    for (int k = 0; k < streetXCount; ++k)
        streetX[k] = groupLowEdge(origin.x, columnWidths, k + 1) - cityTileSize / 2;
    for (int k = 0; k < streetZCount; ++k)
        streetZ[k] = groupLowEdge(origin.z, rowDepths, k + 1) - cityTileSize / 2;

    // Blocks are filled column group by column group.
    for (int g = 0; g < columnGroupCount; ++g) {
        const float x = groupLowEdge(origin.x, columnWidths, g);
        for (int h = 0; h < rowGroupCount; ++h) {
            fillBlock(cityTileSize * static_cast<float>(columnWidths[g]),
                      cityTileSize * static_cast<float>(rowDepths[h]), x,
                      groupLowEdge(origin.z, rowDepths, h), buildingGap, g, h);
        }
    }

    // Every tile learns which buildings stand on it.
    for (int i = 0; i < buildingCount; ++i) {
        const Building& b = *buildings[i];
        const float x1 = b.position.x + b.size.x, z1 = b.position.z + b.size.z;
        const auto tileIndex = [](float offset) {
            return std::clamp(static_cast<int>(std::floor(offset / cityTileSize)), 0, tilesPerSide - 1);
        };
        for (int r = tileIndex(b.position.z - origin.z); r <= tileIndex(z1 - origin.z); ++r)
            for (int c = tileIndex(b.position.x - origin.x); c <= tileIndex(x1 - origin.x); ++c)
                tiles[r][c].addFootprint(b.position.x, b.position.z, x1, z1);
    }
    alignGroundCuts();

    // The car meshes are display lists: they need the GL context.
    if (fresh) buildVehicleMeshes();
    createVehicles();
}
