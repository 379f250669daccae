// tds_writer.h -- 3DS model files in the subset the game's model reader takes.
//
// Layout: main chunk 0x4D4D { version 0x0002 = 3, mesh data 0x3D3D {
// mesh version 0x3D3E = 3, one material block 0xAFFF per material { name
// 0xA000, diffuse 0xA020 { 24-bit colour 0x0011 }, texture map 0xA200 {
// file name 0xA300 } }, one named object 0x4000 per mesh { name, triangle
// mesh 0x4100 { vertices 0x4110, faces 0x4120 { material group 0x4130 },
// texture coordinates 0x4140 } } } }, then a keyframer block 0xB000 that
// only names one node per object (the game skips it; other readers name
// their objects from it). Numbers are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh_builder.h"

struct ModelMaterial {
    std::string name;
    unsigned char colour[3] = {255, 255, 255};  // diffuse R, G, B
    std::string textureFile;                    // empty: untextured
};

// A model file's contents: materials first, then the named objects.
struct ModelFile {
    std::vector<ModelMaterial> materials;
    std::vector<Mesh> meshes;
};

// The whole file. Meshes must have fewer than 65,536 vertices and faces;
// a mesh with texture coordinates writes one per vertex; a mesh's material
// group covers all its faces.
std::vector<std::uint8_t> encode3ds(const std::vector<ModelMaterial>& materials,
                                    const std::vector<Mesh>& meshes);
