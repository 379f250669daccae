// quad_batch.cpp -- the two ways of sending a batch of quads.
#include "render/quad_batch.h"

#include <GL/gl.h>

#include <cstddef>

void QuadBatch::addQuad(const Vector3& normal, const Vector3 (&corners)[4], const float (&s)[4],
                        const float (&t)[4]) {
    for (int i = 0; i < 4; ++i) {
        vertices.push_back(
            {s[i], t[i], normal.x, normal.y, normal.z, corners[i].x, corners[i].y, corners[i].z});
    }
}

void QuadBatch::appendMoved(const QuadBatch& other, const Vector3& offset) {
    vertices.reserve(vertices.size() + other.vertices.size());
    for (QuadVertex v : other.vertices) {
        v.x += offset.x;
        v.y += offset.y;
        v.z += offset.z;
        vertices.push_back(v);
    }
}

void QuadBatch::drawQuadByQuad() const {
    for (std::size_t q = 0; q + 3 < vertices.size(); q += 4) {
        glBegin(GL_QUADS);
        glNormal3f(vertices[q].nx, vertices[q].ny, vertices[q].nz);
        for (std::size_t i = q; i < q + 4; ++i) {
            glTexCoord2f(vertices[i].s, vertices[i].t);
            glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
        }
        glEnd();
    }
}

void QuadBatch::drawArrays() const {
    if (vertices.empty()) return;
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, vertices.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
