// tools_test_support.h -- helpers shared by the generator's tests: decoding
// generated files with the game's own readers and looking at pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_set.h"
#include "mesh_builder.h"
#include "picture.h"

// A decoded SGI image: RGBA bytes, row 0 first, as the game gets them.
struct DecodedImage {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Decodes with the game's SGI core; fails the current test on an error.
DecodedImage decodeSgi(const std::vector<std::uint8_t>& file);
// The recipe and its freshly painted picture for a file of the set.
const TextureRecipe& recipeFor(const std::string& fileName);
Picture paintFile(const std::string& fileName);
// The file's bytes from a freshly built data set.
const DataFile& dataSetFile(const std::vector<DataFile>& files, const std::string& name);

// Paint on road pictures, by colour.
enum class Paint { yellow, white, other };
Paint classify(const Colour& c);

// Mean absolute colour difference between two columns (or rows) of a picture.
float columnDifference(const Picture& p, int x0, int x1);
float rowDifference(const Picture& p, int y0, int y1);

// Facts about a closed triangle mesh, vertices compared by position: the
// parts (groups of faces joined by shared edges), whether every edge of
// every part is met once in each direction, and each part's signed volume.
struct MeshParts {
    bool closed = true;
    std::vector<double> volumes;
};
MeshParts meshParts(const Mesh& mesh);
