// tools_test_support.cpp -- helpers shared by the generator's tests.
#include "tools_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

#include "assets/sgi_image.h"

DecodedImage decodeSgi(const std::vector<std::uint8_t>& file) {
    DecodedImage out;
    SgiImage image;
    std::string error;
    if (!parseSgiImage(image, file.data(), file.size(), error)) {
        ADD_FAILURE() << "SGI refused: " << error;
        return out;
    }
    out.width = image.xsize;
    out.height = image.ysize;
    out.channels = image.zsize;
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    if (!decodeSgiPixels(image, out.rgba.data(), error)) ADD_FAILURE() << "SGI pixels refused: " << error;
    return out;
}

const TextureRecipe& recipeFor(const std::string& fileName) {
    for (const TextureRecipe& r : textureRecipes()) {
        if (fileName == r.fileName) return r;
    }
    ADD_FAILURE() << "no recipe for " << fileName;
    return textureRecipes().front();
}

Picture paintFile(const std::string& fileName) { return paintRecipe(recipeFor(fileName)); }

const DataFile& dataSetFile(const std::vector<DataFile>& files, const std::string& name) {
    for (const DataFile& f : files) {
        if (f.name == name) return f;
    }
    ADD_FAILURE() << "no file " << name << " in the data set";
    return files.front();
}

// Night paint: dim, but well above the asphalt (at most 0.14) and the kerb
// (at most 0.25).
Paint classify(const Colour& c) {
    if (c.r - c.b > 0.25f && c.g - c.b > 0.15f) return Paint::yellow;
    if (c.r > 0.3f && c.g > 0.3f && c.b > 0.3f) return Paint::white;
    return Paint::other;
}

static float difference(const Colour& a, const Colour& b) {
    return (std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b)) / 3;
}

float columnDifference(const Picture& p, int x0, int x1) {
    float sum = 0;
    for (int y = 0; y < p.height(); ++y) sum += difference(p.at(x0, y), p.at(x1, y));
    return sum / p.height();
}

float rowDifference(const Picture& p, int y0, int y1) {
    float sum = 0;
    for (int x = 0; x < p.width(); ++x) sum += difference(p.at(x, y0), p.at(x, y1));
    return sum / p.width();
}

MeshParts meshParts(const Mesh& mesh) {
    // Vertices with equal positions are one point.
    std::map<std::tuple<float, float, float>, int> ids;
    std::vector<int> point(mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const Vector3& v = mesh.vertices[i];
        point[i] = ids.emplace(std::make_tuple(v.x, v.y, v.z), static_cast<int>(ids.size())).first->second;
    }
    // Faces joined through shared points form parts (union-find).
    std::vector<int> parent(ids.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int a) {
        while (parent[a] != a) a = parent[a] = parent[parent[a]];
        return a;
    };
    std::map<std::pair<int, int>, int> directedEdges;
    for (const Face& f : mesh.faces) {
        const int c[3] = {point[f.a], point[f.b], point[f.c]};
        for (int k = 0; k < 3; ++k) {
            parent[find(c[k])] = find(c[(k + 1) % 3]);
            ++directedEdges[{c[k], c[(k + 1) % 3]}];
        }
    }
    MeshParts parts;
    for (const auto& [edge, count] : directedEdges) {
        auto reverse = directedEdges.find({edge.second, edge.first});
        if (count != 1 || reverse == directedEdges.end() || reverse->second != 1) parts.closed = false;
    }
    std::map<int, double> volume;
    for (const Face& f : mesh.faces) {
        const Vector3& a = mesh.vertices[f.a];
        const Vector3& b = mesh.vertices[f.b];
        const Vector3& c = mesh.vertices[f.c];
        volume[find(point[f.a])] += static_cast<double>(a.dot(b.cross(c))) / 6.0;
    }
    for (const auto& [root, v] : volume) parts.volumes.push_back(v);
    return parts;
}
