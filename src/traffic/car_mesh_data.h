// car_mesh_data.h -- the layout of a car model compiled into the game.
//
// Six tables per model: vertices, normals (one per face corner, shared where
// equal), a single texture coordinate (0, 0), faces of nine 16-bit indices
// (three vertices, three normals, three texture coordinates, all 0-based),
// material groups (material index, number of consecutive faces) and
// materials of 15 words. The tables are written at build time by
// searchlight-meshgen into the build tree.
//
// Model space: one unit long along y (-0.5..0.5) with the front toward -y,
// z up, width along x, centred on the origin. Front faces are
// counter-clockwise seen from outside.
#pragma once

#include <cstdint>

struct CarMaterial {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float alpha;
    float shininess;
    std::int32_t texture;  // always -1: the cars carry no textures
};
static_assert(sizeof(CarMaterial) == 15 * 4, "a material is 15 words");

struct CarMeshTables {
    const float (*vertices)[3];
    int vertexCount;
    const float (*normals)[3];
    int normalCount;
    const float (*texCoords)[2];
    int texCoordCount;
    const std::int16_t (*faces)[9];
    int faceCount;
    const std::int32_t (*groups)[2];
    int groupCount;
    const CarMaterial* materials;
    int materialCount;
};

// Defined in the generated car_mesh_tables.cpp.
extern const CarMeshTables fugitiveCarTables;
extern const CarMeshTables trafficCar1Tables;  // sedan
extern const CarMeshTables trafficCar2Tables;  // hatchback
extern const CarMeshTables trafficCar3Tables;  // van
extern const CarMeshTables trafficCar4Tables;  // pickup
extern const CarMeshTables trafficCar5Tables;  // taxi
extern const CarMeshTables policeCarTables;
