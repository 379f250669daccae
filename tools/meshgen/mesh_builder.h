// mesh_builder.h -- convex pieces assembled into one triangle mesh with
// per-corner normals and material groups, in the layout the game compiles in.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

struct Vec {
    double x = 0, y = 0, z = 0;
};

inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator*(Vec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec a, Vec b);
Vec cross(Vec a, Vec b);
Vec unit(Vec a);

struct MaterialSpec {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
};

// One point of a side profile: y along the car, z up, and the half width of
// the piece at that point.
struct ProfilePoint {
    double y, z, halfWidth;
};

class MeshBuilder {
public:
    // A convex solid swept across x: the profile (convex, in order around
    // its outline) is placed at xCentre +- halfWidth. edgeMaterials[i] is the
    // material of the band from point i to point i + 1 (wrapping); the two
    // flat sides get sideMaterial.
    void loft(const std::vector<ProfilePoint>& profile, double xCentre,
              const std::vector<int>& edgeMaterials, int sideMaterial);
    // Axis-aligned box, all faces one material.
    void box(double x0, double x1, double y0, double y1, double z0, double z1, int material);
    // Wheel turning about x: a smooth tread and a flat outer cap. outward is
    // +1 for a wheel on the +x side of the car, -1 on the -x side.
    void wheel(double xCentre, double y, double z, double radius, double width, int outward,
               int tyreMaterial, int hubMaterial, int segments = 12);

    // Uniform scale so the length along y is exactly 1, then centre the
    // bounding box on the origin.
    void normalise();

    // Checks the invariants the game relies on; returns an empty string or
    // the first problem found.
    std::string validate(int materialCount) const;

    struct Face {
        int v[3];
        int n[3];
        int material;
    };
    std::vector<Vec> vertices;
    std::vector<Vec> normals;
    std::vector<Face> faces;

private:
    int vertexIndex(Vec p);
    int normalIndex(Vec n);
    // A flat triangle turned so that its front faces along outward.
    void flatTriangle(Vec a, Vec b, Vec c, Vec outward, int material);
    // A triangle with corner normals, turned to face along them.
    void smoothTriangle(Vec a, Vec b, Vec c, Vec na, Vec nb, Vec nc, int material);

    std::map<std::tuple<long, long, long>, int> vertexLookup;
    std::map<std::tuple<long, long, long>, int> normalLookup;
};
