// mesh_builder.cpp -- triangles, normals and the checks of a generated car.
#include "mesh_builder.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double quantum = 1e6;  // positions and normals are merged at 1e-6
constexpr double pi = 3.14159265358979;

std::tuple<long, long, long> key(Vec p) {
    return {std::lround(p.x * quantum), std::lround(p.y * quantum), std::lround(p.z * quantum)};
}
}  // namespace

double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec unit(Vec a) {
    const double l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1.0 / l) : a;
}

int MeshBuilder::vertexIndex(Vec p) {
    auto found = vertexLookup.find(key(p));
    if (found != vertexLookup.end()) return found->second;
    vertices.push_back(p);
    vertexLookup[key(p)] = static_cast<int>(vertices.size()) - 1;
    return static_cast<int>(vertices.size()) - 1;
}

int MeshBuilder::normalIndex(Vec n) {
    n = unit(n);
    auto found = normalLookup.find(key(n));
    if (found != normalLookup.end()) return found->second;
    normals.push_back(n);
    normalLookup[key(n)] = static_cast<int>(normals.size()) - 1;
    return static_cast<int>(normals.size()) - 1;
}

void MeshBuilder::flatTriangle(Vec a, Vec b, Vec c, Vec outward, int material) {
    Vec n = cross(b - a, c - a);
    if (dot(n, n) < 1e-14) return;  // degenerate: a point of a tapered profile
    if (dot(n, outward) < 0) {
        std::swap(b, c);
        n = n * -1.0;
    }
    const int ni = normalIndex(n);
    faces.push_back({{vertexIndex(a), vertexIndex(b), vertexIndex(c)}, {ni, ni, ni}, material});
}

void MeshBuilder::smoothTriangle(Vec a, Vec b, Vec c, Vec na, Vec nb, Vec nc, int material) {
    const Vec n = cross(b - a, c - a);
    if (dot(n, n) < 1e-14) return;
    if (dot(n, na + nb + nc) < 0) {
        std::swap(b, c);
        std::swap(nb, nc);
    }
    faces.push_back({{vertexIndex(a), vertexIndex(b), vertexIndex(c)},
                     {normalIndex(na), normalIndex(nb), normalIndex(nc)},
                     material});
}

void MeshBuilder::loft(const std::vector<ProfilePoint>& profile, double xCentre,
                       const std::vector<int>& edgeMaterials, int sideMaterial) {
    const size_t count = profile.size();
    double centreY = 0, centreZ = 0;
    for (const ProfilePoint& p : profile) {
        centreY += p.y / count;
        centreZ += p.z / count;
    }
    auto at = [&](size_t i, double side) {
        const ProfilePoint& p = profile[i % count];
        return Vec{xCentre + side * p.halfWidth, p.y, p.z};
    };
    // The two flat sides, fanned from the first point.
    for (double side : {-1.0, 1.0}) {
        for (size_t i = 1; i + 1 < count; ++i) {
            flatTriangle(at(0, side), at(i, side), at(i + 1, side), Vec{side, 0, 0}, sideMaterial);
        }
    }
    // The bands around the outline.
    for (size_t i = 0; i < count; ++i) {
        const int material = edgeMaterials[i % edgeMaterials.size()];
        const Vec a = at(i, -1), b = at(i, 1), c = at(i + 1, 1), d = at(i + 1, -1);
        // Outward in the profile's plane: the outline is convex, so the
        // edge's middle lies away from the outline's centre.
        const Vec outward{0, (a.y + d.y) / 2 - centreY, (a.z + d.z) / 2 - centreZ};
        flatTriangle(a, b, c, outward, material);
        flatTriangle(a, c, d, outward, material);
    }
}

void MeshBuilder::box(double x0, double x1, double y0, double y1, double z0, double z1, int material) {
    const double h = (x1 - x0) / 2;
    loft({{y0, z0, h}, {y0, z1, h}, {y1, z1, h}, {y1, z0, h}}, (x0 + x1) / 2, {material}, material);
}

void MeshBuilder::wheel(double xCentre, double y, double z, double radius, double width, int outward,
                        int tyreMaterial, int hubMaterial, int segments) {
    const Vec side{static_cast<double>(outward), 0, 0};
    const double inner = xCentre - outward * width / 2, outer = xCentre + outward * width / 2;
    const Vec hubCentre{outer + outward * 0.004, y, z};
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2 * pi * i / segments, a1 = 2 * pi * (i + 1) / segments;
        const Vec r0{0, std::cos(a0), std::sin(a0)}, r1{0, std::cos(a1), std::sin(a1)};
        const Vec p0{inner, y + radius * r0.y, z + radius * r0.z};
        const Vec p1{outer, y + radius * r0.y, z + radius * r0.z};
        const Vec p2{outer, y + radius * r1.y, z + radius * r1.z};
        const Vec p3{inner, y + radius * r1.y, z + radius * r1.z};
        smoothTriangle(p0, p1, p2, r0, r0, r1, tyreMaterial);
        smoothTriangle(p0, p2, p3, r0, r1, r1, tyreMaterial);
        // The outer face: a tyre ring and a slightly raised hub.
        const double hub = radius * 0.55;
        const Vec h0{outer, y + hub * r0.y, z + hub * r0.z}, h1{outer, y + hub * r1.y, z + hub * r1.z};
        flatTriangle(p1, p2, h1, side, tyreMaterial);
        flatTriangle(p1, h1, h0, side, tyreMaterial);
        flatTriangle(h0, h1, hubCentre, side, hubMaterial);
    }
}

void MeshBuilder::normalise() {
    Vec lo = vertices.at(0), hi = vertices.at(0);
    for (const Vec& v : vertices) {
        lo = {std::fmin(lo.x, v.x), std::fmin(lo.y, v.y), std::fmin(lo.z, v.z)};
        hi = {std::fmax(hi.x, v.x), std::fmax(hi.y, v.y), std::fmax(hi.z, v.z)};
    }
    const double s = 1.0 / (hi.y - lo.y);
    const Vec mid = (lo + hi) * 0.5;
    for (Vec& v : vertices) v = (v - mid) * s;
}

std::string MeshBuilder::validate(int materialCount) const {
    char message[160];
    if (vertices.size() > 32767 || normals.size() > 32767) return "too many vertices or normals for 16-bit indices";
    for (size_t f = 0; f < faces.size(); ++f) {
        const Face& face = faces[f];
        if (face.material < 0 || face.material >= materialCount) {
            std::snprintf(message, sizeof message, "face %zu uses material %d of %d", f, face.material, materialCount);
            return message;
        }
        // Counter-clockwise from outside: the winding agrees with the normals.
        const Vec n = cross(vertices[face.v[1]] - vertices[face.v[0]], vertices[face.v[2]] - vertices[face.v[0]]);
        for (int c = 0; c < 3; ++c) {
            if (dot(n, normals[face.n[c]]) <= 0) {
                std::snprintf(message, sizeof message, "face %zu is wound against its normal", f);
                return message;
            }
        }
    }
    return "";
}
