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

void QuadBatch::drawQuadByQuad(bool secondUnit) const {
    for (std::size_t q = 0; q + 3 < vertices.size(); q += 4) {
        glBegin(GL_QUADS);
        glNormal3f(vertices[q].nx, vertices[q].ny, vertices[q].nz);
        for (std::size_t i = q; i < q + 4; ++i) {
            glTexCoord2f(vertices[i].s, vertices[i].t);
            if (secondUnit) glMultiTexCoord2f(GL_TEXTURE1, vertices[i].s, vertices[i].t);
            glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
        }
        glEnd();
    }
}

void QuadBatch::drawArrays(bool secondUnit) const {
    if (vertices.empty()) return;
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, vertices.data());
    if (secondUnit) {
        glClientActiveTexture(GL_TEXTURE1);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &vertices[0].s);
        glClientActiveTexture(GL_TEXTURE0);
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
    if (secondUnit) {
        glClientActiveTexture(GL_TEXTURE1);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTexture(GL_TEXTURE0);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
