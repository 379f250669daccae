// The two models: what the game draws of them, which way they face, how
// big they are, and that their surfaces are closed and face outwards (the
// game culls back faces).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "badge_mesh.h"
#include "helicopter_mesh.h"
#include "mesh_builder.h"
#include "tools_test_support.h"

namespace {

const Mesh* findMesh(const ModelFile& file, const std::string& name) {
    for (const Mesh& m : file.meshes) {
        if (m.name == name) return &m;
    }
    return nullptr;
}

Vector3 centroid(const Mesh& m) {
    Vector3 sum;
    for (const Vector3& v : m.vertices) sum += v;
    return sum * (1.0f / static_cast<float>(m.vertices.size()));
}

// The game's helicopter drawing turns the file's z-up axes with -90 degrees
// about x before yaw 0, whose flight direction is world +z.
Vector3 asDrawn(const Vector3& v) { return {v.x, v.z, -v.y}; }

// Boxes, tubes, slabs, lofts and polygons in bands make closed solids with
// outward faces: one part each, every edge met once each way, positive volume.
TEST(MeshBuilder, SolidsAreClosedAndFaceOutwards) {
    Mesh m;
    m.addBox({0, 0, 0}, {1, 2, 3}, 0, 0);
    m.addOrientedBox({5, 0, 0}, {0.6f, 0.8f, 0}, {-1.6f, 1.2f, 0}, {0, 0, 0.5f}, 0, 1, 0);
    m.addTube({10, 0, 0}, {10, 4, 3}, 1, 12, 0, 0);
    m.addSlab({{20, 0, 0}, {20, 0, 2}, {22, 0, 2}, {22, 0, 0}}, {0, 1, 0}, 0, 0);  // outline wound either way
    m.addSlab({{30, 0, 0}, {32, 0, 0}, {32, 0, 2}, {30, 0, 2}}, {0, 1, 0}, 0, 0);
    MeshParts parts = meshParts(m);
    EXPECT_TRUE(parts.closed);
    std::sort(parts.volumes.begin(), parts.volumes.end());
    const double prism = 0.5 * 12 * std::sin(2 * 3.14159265 / 12) * 5.0;  // 12-sided tube, 5 long
    const double expected[] = {4.0, 4.0, 6.0, 8.0, prism};
    ASSERT_EQ(parts.volumes.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(parts.volumes[i], expected[i], 1e-3) << i;
}

// A polygon faces the way asked, whichever way its outline runs.
TEST(MeshBuilder, PolygonsFaceTheWayAsked) {
    for (bool reversed : {false, true}) {
        std::vector<Vector3> outline = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        if (reversed) std::reverse(outline.begin(), outline.end());
        Mesh m;
        m.addPolygon(outline, {0, 0, -1});
        for (const Face& f : m.faces) {
            const Vector3 n = (m.vertices[f.b] - m.vertices[f.a]).cross(m.vertices[f.c] - m.vertices[f.a]);
            EXPECT_LT(n.z, 0);
        }
    }
}

// Slicing along y leaves no triangle across a band line, keeps the area and
// the facing of every piece, and drops vertices no face uses any more.
TEST(MeshBuilder, SlicingIntoBandsKeepsTheSurface) {
    Mesh m;
    const int a = m.addVertex({0, 0, 0}), b = m.addVertex({1, 0.03f, 0}), c = m.addVertex({0.2f, 0.61f, 0});
    m.addVertex({9, 9, 9});  // unused
    m.addTriangle(a, b, c);
    auto area = [](const Mesh& mesh, float& z) {
        float total = 0;
        z = 0;
        for (const Face& f : mesh.faces) {
            const Vector3 n =
                (mesh.vertices[f.b] - mesh.vertices[f.a]).cross(mesh.vertices[f.c] - mesh.vertices[f.a]);
            total += n.length() / 2;
            z = std::min(z, n.z);
        }
        return total;
    };
    float minZ;
    const float before = area(m, minZ);
    sliceAlongY(m, 0.05f);
    float after = area(m, minZ);
    EXPECT_NEAR(after, before, 1e-5);
    EXPECT_GE(minZ, 0) << "a piece turned over";
    EXPECT_GE(m.faces.size(), 12u);
    for (const Vector3& v : m.vertices) EXPECT_LT(v.x, 5) << "unused vertex kept";
    for (const Face& f : m.faces) {
        const float ys[3] = {m.vertices[f.a].y, m.vertices[f.b].y, m.vertices[f.c].y};
        const float lo = *std::min_element(ys, ys + 3), hi = *std::max_element(ys, ys + 3);
        const float band = std::floor(lo / 0.05f + 1e-4f);
        EXPECT_LE(hi, (band + 1) * 0.05f + 1e-5f) << "a triangle spans a band line";
    }
}

// The helicopter: the three objects the game draws, about 650 model units
// long (2 world units at the game's 0.003 scale), nose where it flies.
TEST(HelicopterModel, ObjectsSizeAndHeading) {
    const ModelFile file = buildHelicopter();
    const Mesh* hull = findMesh(file, "s76hull");
    const Mesh* mainRotor = findMesh(file, "propmain");
    const Mesh* tailRotor = findMesh(file, "propback");
    ASSERT_TRUE(hull && mainRotor && tailRotor);
    for (const Mesh& m : file.meshes) {
        EXPECT_LT(m.vertices.size(), 65535u) << m.name;
        EXPECT_EQ(m.texCoords.size(), m.vertices.size()) << m.name;
    }
    Vector3 lo, hi;
    hull->bounds(lo, hi);
    EXPECT_NEAR(hi.y - lo.y, 650, 30);
    EXPECT_LT(hi.x - lo.x, 0.5f * (hi.y - lo.y)) << "long and slim along y";
    // Drawn as the game draws it at yaw 0 the tail is behind (world -z) and
    // the rotor on top; the nose end is the far +z end.
    EXPECT_LT(asDrawn(centroid(*tailRotor)).z, -0.35f * (hi.y - lo.y));
    Vector3 rotorLo, rotorHi;
    mainRotor->bounds(rotorLo, rotorHi);
    EXPECT_GT(rotorLo.z, 0.85f * hi.z - 0.15f * lo.z) << "rotor above the cabin";
    float reach = 0;
    const Vector3 hub = centroid(*mainRotor);
    for (const Vector3& v : mainRotor->vertices)
        reach = std::max(reach, std::hypot(v.x - hub.x, v.y - hub.y));
    EXPECT_GT(reach, 0.4f * (hi.y - lo.y)) << "blades reach over most of the helicopter";
}

// Every part of the helicopter is a closed, outward-facing solid.
TEST(HelicopterModel, PartsAreClosedAndFaceOutwards) {
    for (const Mesh& m : buildHelicopter().meshes) {
        const MeshParts parts = meshParts(m);
        EXPECT_TRUE(parts.closed) << m.name;
        for (double v : parts.volumes) EXPECT_GT(v, 0) << m.name;
    }
}

// The hull's texture is a material texture the game can load (name of 25
// characters at most), and its coordinates stay inside the atlas.
TEST(HelicopterModel, SkinIsALoadableAtlas) {
    const ModelFile file = buildHelicopter();
    ASSERT_EQ(file.materials.size(), 1u);
    EXPECT_LE(file.materials[0].textureFile.size(), 25u);
    EXPECT_EQ(file.materials[0].textureFile, copterSkinFile);
    for (const Mesh& m : file.meshes) {
        EXPECT_EQ(m.material, file.materials[0].name);
        for (const TexCoord& t : m.texCoords) {
            ASSERT_TRUE(t.u >= 0 && t.u <= 1 && t.v >= 0 && t.v <= 1) << m.name;
        }
    }
}

// The badge: in its own x-y plane, y from 0 to 0.6 and x centred, about
// 0.5 wide, with faces toward the player (-z) and away (+z), closed parts,
// and every triangle within one glow band so the glow rises evenly.
TEST(BadgeModel, ShapeFacesAndGlowBands) {
    const ModelFile file = buildBadge();
    Vector3 lo(1e9f), hi(-1e9f);
    int front = 0, back = 0;
    for (const Mesh& m : file.meshes) {
        Vector3 a, b;
        m.bounds(a, b);
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], a[k]);
            hi[k] = std::max(hi[k], b[k]);
        }
        const MeshParts parts = meshParts(m);
        EXPECT_TRUE(parts.closed) << m.name;
        for (double v : parts.volumes) EXPECT_GT(v, 0) << m.name;
        for (const Face& f : m.faces) {
            Vector3 n = (m.vertices[f.b] - m.vertices[f.a]).cross(m.vertices[f.c] - m.vertices[f.a]);
            if (n.normalize() > 0) {
                front += n.z < -0.99f;
                back += n.z > 0.99f;
            }
            const float ys[3] = {m.vertices[f.a].y, m.vertices[f.b].y, m.vertices[f.c].y};
            const float spread = *std::max_element(ys, ys + 3) - *std::min_element(ys, ys + 3);
            ASSERT_LE(spread, badgeBandHeight + 1e-5f) << m.name;
        }
    }
    EXPECT_NEAR(lo.y, 0, 1e-5);
    EXPECT_NEAR(hi.y, 0.6f, 1e-5);
    EXPECT_NEAR(lo.x + hi.x, 0, 1e-5);
    EXPECT_NEAR(hi.x - lo.x, 0.5f, 0.05f);
    EXPECT_GE(hi.z - lo.z, 0.03f) << "thickness";
    EXPECT_GT(front, 0);
    EXPECT_GT(back, 0);
}

}  // namespace
