// mesh_builder.h -- triangle meshes the generator builds its models from.
//
// Positions are model units in the model file's own axes (z up). Triangles
// are counter-clockwise seen from the side they face; the game culls back
// faces. Every vertex carries one texture coordinate (u, v), v = 0 being the
// bottom row of the texture.
#pragma once

#include <string>
#include <vector>

#include "assets/model_data.h"
#include "render/vector_math.h"

class Mesh {
public:
    std::string name;      // object name in the model file
    std::string material;  // material every face of the object uses

    std::vector<Vector3> vertices;
    std::vector<TexCoord> texCoords;  // one per vertex
    std::vector<Face> faces;

    int addVertex(const Vector3& p, float u = 0, float v = 0);
    void addTriangle(int a, int b, int c);
    // Quad a, b, c, d counter-clockwise, split along a-c.
    void addQuad(int a, int b, int c, int d);
    // A flat quad with its own four vertices (hard edges), corners counter-
    // clockwise, texture coordinates (u0, v0) at a through (u1, v1) at c.
    void addFlatQuad(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d, float u0,
                     float v0, float u1, float v1);
    // A flat convex polygon with its own vertices, wound so that its front
    // faces `facing` (the outline may come in either order).
    void addPolygon(const std::vector<Vector3>& outline, const Vector3& facing, float u = 0, float v = 0);

    // Box from min to max corner with its own vertices per side, all
    // texture coordinates at (u, v).
    void addBox(const Vector3& min, const Vector3& max, float u, float v);
    // Box around `centre` with half-extent vectors along its own axes, which
    // must be perpendicular and right-handed (ax x ay along az). Texture u
    // runs from u0 at the -ax end to u1 at the +ax end; v is constant.
    void addOrientedBox(const Vector3& centre, const Vector3& ax, const Vector3& ay, const Vector3& az,
                        float u0, float u1, float v);
    // Closed round tube from a to b with `sides` flat sides, texture (u, v).
    void addTube(const Vector3& a, const Vector3& b, float radius, int sides, float u, float v);
    // A flat plate: the convex outline (any winding) and its copy moved by
    // `thickness`, joined by side walls. Texture (u, v) everywhere.
    void addSlab(const std::vector<Vector3>& outline, const Vector3& thickness, float u, float v);

    void bounds(Vector3& min, Vector3& max) const;
};

// A closed tube through a list of rings with the same number of points
// each; ring i's point j is rings[i * ringSize + j]. Points run so that the
// path's direction crossed with the step to the next point points outward
// (for a path along +y: from +x up toward +z). Texture: u = ringU[i], v along the ring = ringV[j]
// (ringV has ringSize + 1 entries: the seam gets its own vertices). The
// first and last rings are closed with fans to the given cap points.
void addLoft(Mesh& mesh, const std::vector<Vector3>& rings, int ringSize, const std::vector<float>& ringU,
             const std::vector<float>& ringV, const Vector3& startCap, const Vector3& endCap);

// Cuts every triangle of the mesh along the planes y = k * step (k whole)
// so that no triangle spans one of them, and drops vertices no face uses.
// Used where per-vertex effects follow the height (the badge's glow).
void sliceAlongY(Mesh& mesh, float step);
// Adds a flat convex polygon (as addPolygon) already cut into bands
// between the planes y = k * step: far fewer triangles than slicing its
// fan afterwards.
void addPolygonInBands(Mesh& mesh, const std::vector<Vector3>& outline, const Vector3& facing, float step);
