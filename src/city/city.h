// city.h -- the playing field: a 25 x 25 grid of 4-unit tiles over
// x, z in -50..50, cut into blocks by one-tile streets, with box buildings.
//
// World units; y is up and the ground is y = 0. Tile column c spans
// x = -50 + 4c .. -46 + 4c, tile row r spans z = -50 + 4r .. -46 + 4r.
// Headings are degrees, 0 toward +z and 90 toward +x.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "assets/model.h"
#include "city/drawable.h"
#include "render/gl_resources.h"
#include "render/quad_batch.h"
#include "render/vector_math.h"

class Vehicle;

// Returned by every query that has no answer. A result is an answer only
// above -99998: every caller asks isValidCoordinate.
constexpr float invalidCoordinate = -99999.0f;
inline bool isValidCoordinate(float result) { return result > -99998.0f; }
constexpr int invalidGroupIndex = -99999;

constexpr int cityTilesPerSide = 25;
constexpr float cityTileSize = 4.0f;
constexpr int cityMaxGroups = 13;
constexpr int cityMaxBuildings = 3000;
constexpr int cityTextureCount = 21;
constexpr int cityVehicleMeshCount = 6;

// Texture table indices with a role of their own.
constexpr int textureSidewalk = 14;
constexpr int textureRoadAlongZ = 15;  // "roadh.rgb": tiles of street columns
constexpr int textureRoadAlongX = 16;  // "roadv.rgb": tiles of street rows
constexpr int textureCrossing = 17;
constexpr int textureSmoke = 18;
constexpr int textureSmokeBlack = 19;
constexpr int textureTitleCard = 20;

class Building : public Drawable {
public:
    void draw(bool textured) override;
    // Two pieces: the roof, then the walls.
    int opaquePieceCount() const override { return 2; }
    unsigned opaquePieceTexture(int piece) const override;
    PieceRank opaquePieceRank(int piece) const override {
        return piece == 0 ? PieceRank::roof : PieceRank::wall;
    }
    void drawOpaquePiece(int piece, bool textured) override;
    void setTextures(GLuint* table, int wall, int roof);

    GLuint* textureTable = nullptr;
    int wallTexture = 0;
    int roofTexture = 0;
    Vector3 position{0, 0, 0};  // low corner: smallest x and z, y = 0
    Vector3 size{3, 3, 3};      // x width, y height, z depth
    int faceDivisions = 1;

    const QuadBatch* opaquePieceQuads(int piece) override;

private:
    // One piece in the building's own frame, material already set.
    void drawPieceInPlace(int piece, bool textured);

    // A piece's quads never change once the city stands: they are made once
    // (again only if the building is moved or reshaped), in the building's
    // frame and in the world's. In its own frame each piece is compiled into
    // a display list the first time it is drawn and replayed after that: a
    // wide view holds some 1,500 objects, and sending each quad vertex by
    // vertex costs the driver more than drawing it.
    struct PieceGeometry {
        QuadBatch local;
        QuadBatch world;
        Vector3 size, position;  // the shape the quads were made for
        int divisions = 0;
        bool built = false;
        DisplayList list;
        bool listCurrent = false;  // the list holds the quads as they are now
    };
    PieceGeometry& pieceGeometry(int piece);
    PieceGeometry pieces[2];
};

// The ground a tile keeps under the foot of each wall of a building on it.
constexpr float groundUnderWalls = 0.1f;

class GroundTile : public Drawable {
public:
    void draw(bool textured) override;
    unsigned opaquePieceTexture(int piece) const override;
    PieceRank opaquePieceRank(int /*piece*/) const override { return PieceRank::ground; }
    void setTexture(GLuint* table, int index);
    // The tile as quads, less the ground under the buildings standing on
    // it: inside a closed box that the camera never comes down into, so no
    // view shows it, and a pass that leaves it out spares the driver
    // rasterizing ground that every roof hides. The ground left out stops
    // a little inside the walls, so that where a wall meets the ground
    // there is ground behind the seam, as under a whole tile; and the tile
    // is cut into a grid whose lines its neighbours share (alignCuts), so
    // that no quad's corner lies inside another quad's edge, where a
    // rasterizer may leave pixels uncovered.
    const QuadBatch* opaquePieceQuads(int piece) override;
    // A building's footprint (world x0..x1 by z0..z1) on this tile.
    void addFootprint(float x0, float z0, float x1, float z1);
    void clearFootprints();  // and the aligned cuts
    // Appends the world x and z of the edges of the ground left out.
    void holeEdges(std::vector<float>& xs, std::vector<float>& zs) const;
    // World x and z lines to cut along besides the tile's own hole edges:
    // those of every tile in its column (xs) and its row (zs).
    void alignCuts(const std::vector<float>& xs, const std::vector<float>& zs);

    GLuint* textureTable = nullptr;
    int textureIndex = 0;
    Vector3 position{0, 0, 0};
    Vector3 size{4, 0, 4};

private:
    struct Hole {
        float x0, z0, x1, z1;  // in the world
    };
    void buildQuads();     // again only when moved, resized, built on or cut
    QuadBatch localQuads;  // the whole tile in its own frame
    QuadBatch openQuads;   // what no building covers, in the world
    Vector3 quadsPosition, quadsSize;
    bool quadsBuilt = false;
    std::vector<Hole> holes;
    std::vector<float> alignedCutsX, alignedCutsZ;
};

struct CityBlock {
    std::vector<Building*> buildings;  // not owning
    bool tilesCollected = false;
};

class City {
public:
    City();
    ~City();  // the city owns its buildings and every car in `vehicles`
    City(const City&) = delete;
    City& operator=(const City&) = delete;

    // Builds the whole city: textures, layout, buildings, car meshes, cars.
    // Seeds the game's generator once at its start (generationSeed()).
    // Running it again replaces the layout and the buildings.
    void generate();
    // The next chase's city in the same GL context: the layout, buildings and
    // cars of this seed, exactly as generate() makes them from it, on the
    // textures and car meshes already made (nothing is loaded again).
    void regenerate(std::uint32_t citySeed);
    void loadTextures();

    // Generation steps. partitionCells cuts the 25 tiles of one axis into
    // groups of 1-3 tiles (the last 2-4) with one-tile streets between them
    // and returns the group count. splitLength cuts one block side into
    // building widths (2.0 each, the rest last) and returns the piece count.
    static int partitionCells(int* widths);
    static int splitLength(double length, double gap, double* pieces, int capacity);
    void fillBlock(float width, float depth, float x0, float z0, float gap, int g, int h);

    // The group-edge arithmetic, in one place. Along one axis, tile t
    // starts at start + 4 t; group k (widths: the groups' widths in tiles)
    // starts at the tile after each earlier group's tiles and the one-tile
    // street after it.
    static float tileLowEdge(float start, int tile);
    static int groupFirstTile(const int* widths, int k);
    static float groupLowEdge(float start, const int* widths, int k);
    // First tile column of column group g, first tile row of row group h.
    int firstTileColumn(int g) const;
    int firstTileRow(int h) const;

    // Layout queries. Axis -1 asks across x, +1 across z. Rectangles are
    // x1..x2 by z1..z2 in world units.
    // The group holding a coordinate; a coordinate on the high edge of a
    // street goes to the group below it when preferLower is set, else to the
    // one above. invalidGroupIndex when it lies beyond the last group.
    int groupIndexAt(float coordinate, const int* widths, int count, bool preferLower) const;
    // Where the spatial tree splits a rectangle: between groups at the low
    // edge of the middle group, inside one block at the building start
    // nearest the middle; invalidCoordinate when there is none (and, after
    // the block error message, for a rectangle reaching off the grid). A
    // rectangle that is exactly one block with its +x, +z street margins
    // hands that block's tiles to out, once per block.
    float splitCoordinate(float x1, float x2, float z1, float z2, int axis, std::vector<Drawable*>& out);
    float splitInsideBlock(float x1, float x2, float z1, float z2, int axis, int g, int h) const;
    // The block's tiles with the street column, row and crossing after it.
    void collectBlockTiles(int g, int h, std::vector<Drawable*>& out);
    // The block's buildings whose low corner lies in the rectangle.
    void collectBuildings(float x1, float x2, float z1, float z2, std::vector<Drawable*>& out) const;
    // The next street centre line ahead of a car (heading in degrees), or
    // invalidCoordinate when no street lies ahead.
    float nextStreetX(float heading, float x) const;
    float nextStreetZ(float heading, float z) const;
    // 4 units toward -x and -z of a random street crossing; z is drawn first.
    void randomSpawnPoint(float& x, float& z) const;
    void addBuilding(Building* b);
    // Gives every tile the cut lines of its row and column (GroundTile::alignCuts).
    void alignGroundCuts();

    // Vehicle services (with the traffic code).
    void buildVehicleMeshes();  // generation step: the six compiled-in car lists
    void createVehicles();      // generation step: the fugitive and 18 traffic cars
    void releaseVehicles();     // deletes every car the city holds, police cars included
    // The game's city (the global `city`) deletes cityTree, which lists its
    // buildings, tiles and cars: a new city gets a new tree, as at start-up.
    // Any other city has no tree to release.
    void releaseTree();
    void updateVehicles(float dt);
    void updateVehicleSmoke(float dt);
    void insertVehiclesIntoTree();
    void addVehicle(Vehicle* v);

    std::uint32_t seed = 0;  // the seed the city standing now was made from
    Building* buildings[cityMaxBuildings] = {};
    int buildingCount = 0;
    Vector3 origin{-50, 0, -50};
    Vector3 farCorner{50, 0, 50};
    Model textureLoader;
    GLuint textureTable[modelTextureSlots] = {};
    int textureCount = cityTextureCount;
    GroundTile tiles[cityTilesPerSide][cityTilesPerSide];  // [row][column]
    int columnWidths[cityMaxGroups] = {};
    int columnGroupCount = 0;
    int rowDepths[cityMaxGroups] = {};
    int rowGroupCount = 0;
    float streetX[cityMaxGroups] = {};
    int streetXCount = 0;
    float streetZ[cityMaxGroups] = {};
    int streetZCount = 0;
    CityBlock blocks[cityMaxGroups][cityMaxGroups];  // [column group][row group]
    GLuint vehicleMeshes[cityVehicleMeshCount] = {};
    int vehicleMeshCount = cityVehicleMeshCount;
    int vehicleSlots = 20;
    std::vector<Vehicle*> vehicles;
    // The city's GL objects: its textures and the car display lists. False:
    // generate without a GL context (tests over many seeds): no texture is
    // loaded and no car mesh is compiled; the layout, buildings and random
    // draws are the same.
    bool glObjectsEnabled = true;

private:
    // Seeds the generator and makes the city; fresh: its GL objects too.
    void build(std::uint32_t citySeed, bool fresh);
};
