// quad_batch.h -- textured, lit quads kept in one array: sent quad by quad
// in immediate mode, or in one vertex-array draw.
#pragma once

#include <vector>

#include "render/vector_math.h"

// One corner as GL_T2F_N3F_V3F lays it out: texture, normal, position.
struct QuadVertex {
    float s, t;
    float nx, ny, nz;
    float x, y, z;
};
static_assert(sizeof(QuadVertex) == 8 * sizeof(float), "GL_T2F_N3F_V3F is eight packed floats");

class QuadBatch {
public:
    // One quad, counter-clockwise from the side it faces; corner i at
    // (s[i], t[i]) in the texture.
    void addQuad(const Vector3& normal, const Vector3 (&corners)[4], const float (&s)[4],
                 const float (&t)[4]);
    void append(const QuadBatch& other) {
        vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    }
    // Every quad of other, moved by offset.
    void appendMoved(const QuadBatch& other, const Vector3& offset);
    void clear() { vertices.clear(); }
    bool empty() const { return vertices.empty(); }

    // One glBegin/glEnd and one glNormal per quad, as a display list
    // records them.
    void drawQuadByQuad() const;
    // All quads in one glDrawArrays: the same primitives in the same order,
    // one call to the driver instead of one per quad or object. Leaves the
    // vertex arrays disabled, the current normal and texture coordinate
    // undefined.
    void drawArrays() const;

    std::vector<QuadVertex> vertices;  // four per quad
};
