// model_data.h -- a mesh model as read from a 3DS file.
//
// Objects and materials in file order; a material's index is its identity.
// Vertex positions stay in file coordinates (z up). Name fields hold at most
// 254 characters plus the terminating NUL.
#pragma once

#include <cstdint>
#include <vector>

#include "render/vector_math.h"

constexpr int modelNameSize = 255;

struct Face {
    int32_t a = 0, b = 0, c = 0;  // vertex indices, corners in file order
};

struct TexCoord {
    float u = 0, v = 0;
};

struct MaterialInfo {
    char name[modelNameSize] = {};
    char textureFile[modelNameSize] = {};  // empty: no texture map
    unsigned char colour[3] = {0, 0, 0};   // diffuse R, G, B
};

struct MeshObject {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texCoordCount = 0;
    int32_t materialIndex = 0;
    bool hasTexture = false;
    char name[modelNameSize] = {};
    // Owned arrays, counts kept beside them; null while absent.
    Vector3* vertices = nullptr;
    Vector3* normals = nullptr;
    TexCoord* texCoords = nullptr;
    Face* faces = nullptr;
};

struct ModelData {
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    std::vector<MaterialInfo> materials;
    std::vector<MeshObject> objects;
};
