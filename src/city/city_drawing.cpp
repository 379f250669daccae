// city_drawing.cpp -- buildings and ground tiles, quad by quad.
#include "city/city_drawing.h"

#include <GL/gl.h>

#include "city/city.h"

namespace {
const GLfloat cityDiffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
const GLfloat citySpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat cityAmbient[] = {0.15f, 0.15f, 0.15f, 1.0f};
const GLfloat cityEmission[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat cityShininess = 0.0f;

constexpr float roofDepth = 0.2f;  // the roof floor lies this far below the rim
constexpr float roofRim = 0.1f;
constexpr float wallTextureRepeat = 1.0f;

inline void vertex(float s, float t, float x, float y, float z) {
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}
}  // namespace

void setCityMaterial() {
    glMaterialfv(GL_FRONT, GL_DIFFUSE, cityDiffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, citySpecular);
    glMaterialfv(GL_FRONT, GL_AMBIENT, cityAmbient);
    glMaterialfv(GL_FRONT, GL_EMISSION, cityEmission);
    glMaterialf(GL_FRONT, GL_SHININESS, cityShininess);
}

void drawWallZ(float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;
            const float v = b + static_cast<float>(j) * dv;
            glBegin(GL_QUADS);
            glNormal3f(0, 0, f);
            if (f > 0) {
                vertex(0, g, u, v, e);
                vertex(g, g, u + du, v, e);
                vertex(g, 0, u + du, v + dv, e);
                vertex(0, 0, u, v + dv, e);
            } else {
                vertex(g, g, u, v + dv, e);
                vertex(0, g, u + du, v + dv, e);
                vertex(0, 0, u + du, v, e);
                vertex(g, 0, u, v, e);
            }
            glEnd();
        }
    }
}

void drawWallX(float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;  // y
            const float v = b + static_cast<float>(j) * dv;  // z
            glBegin(GL_QUADS);
            glNormal3f(f, 0, 0);
            if (f > 0) {
                vertex(0, g, e, u, v);
                vertex(0, 0, e, u + du, v);
                vertex(g, 0, e, u + du, v + dv);
                vertex(g, g, e, u, v + dv);
            } else {
                vertex(0, 0, e, u, v + dv);
                vertex(0, g, e, u + du, v + dv);
                vertex(g, g, e, u + du, v);
                vertex(g, 0, e, u, v);
            }
            glEnd();
        }
    }
}

void drawFloor(float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    const bool up = f > 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;  // x
            const float v = b + static_cast<float>(j) * dv;  // z
            glBegin(GL_QUADS);
            glNormal3f(0, f, 0);
            vertex(up ? 0 : g, up ? 0 : g, u, e, v + dv);
            vertex(up ? 0 : g, up ? g : 0, u + du, e, v + dv);
            vertex(up ? g : 0, up ? g : 0, u + du, e, v);
            vertex(up ? g : 0, up ? 0 : g, u, e, v);
            glEnd();
        }
    }
}

void drawRoof(float x0, float z0, float x1, float z1, float h, float depth, float rim) {
    const float xa = x0 + rim, xb = x1 - rim;
    const float za = z0 + rim, zb = z1 - rim;
    const float hf = h - depth;
    const float width = x1 - x0, length = z1 - z0;
    // The roof texture is stretched once over the whole roof, so the inner
    // faces repeat the coordinates of their top edge at the bottom.
    auto quad = [&](const Vector3& normal, const Vector3(&corners)[4]) {
        glBegin(GL_QUADS);
        glNormal3f(normal.x, normal.y, normal.z);
        for (const Vector3& p : corners) vertex((p.x - x0) / width, (p.z - z0) / length, p.x, p.y, p.z);
        glEnd();
    };
    const Vector3 up(0, 1, 0);
    quad(up, {{x0, h, z0}, {xa, h, za}, {xb, h, za}, {x1, h, z0}});            // rim, low-z side
    quad(up, {{x0, h, z1}, {xa, h, zb}, {xa, h, za}, {x0, h, z0}});            // rim, low-x side
    quad(up, {{x1, h, z1}, {xb, h, zb}, {xa, h, zb}, {x0, h, z1}});            // rim, high-z side
    quad(up, {{x1, h, z0}, {xb, h, za}, {xb, h, zb}, {x1, h, z1}});            // rim, high-x side
    quad({0, 0, 1}, {{xa, h, za}, {xa, hf, za}, {xb, hf, za}, {xb, h, za}});   // inner face at za
    quad({1, 0, 0}, {{xa, h, zb}, {xa, hf, zb}, {xa, hf, za}, {xa, h, za}});   // inner face at xa
    quad({0, 0, -1}, {{xb, h, zb}, {xb, hf, zb}, {xa, hf, zb}, {xa, h, zb}});  // inner face at zb
    quad({-1, 0, 0}, {{xb, h, za}, {xb, hf, za}, {xb, hf, zb}, {xb, h, zb}});  // inner face at xb
    quad(up, {{xa, hf, za}, {xa, hf, zb}, {xb, hf, zb}, {xb, hf, za}});        // sunken floor
}

void Building::draw(bool textured) {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glColor4f(1, 1, 1, 1);
    setCityMaterial();
    drawPieceInPlace(0, textured);
    drawPieceInPlace(1, textured);
    glPopMatrix();
}

unsigned Building::opaquePieceTexture(int piece) const {
    if (!textureTable) return 0;
    return textureTable[piece == 0 ? roofTexture : wallTexture];
}

void Building::drawOpaquePiece(int piece, bool textured) {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glColor4f(1, 1, 1, 1);
    setCityMaterial();
    drawPieceInPlace(piece, textured);
    glPopMatrix();
}

void Building::drawPieceInPlace(int piece, bool textured) {
    if (textured && textureTable) glBindTexture(GL_TEXTURE_2D, opaquePieceTexture(piece));
    PieceList& compiled = pieceLists[piece];
    if (compiled.list.allocated && compiled.size == size && compiled.divisions == faceDivisions) {
        glCallList(compiled.list.list);
        return;
    }
    // No list is compiled while another one is (a frame being recorded):
    // then the quads go into that list as they are.
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling == 0 && compiled.list.beginList(GL_COMPILE)) {
        emitPieceGeometry(piece);
        compiled.list.endList();
        compiled.size = size;
        compiled.divisions = faceDivisions;
        glCallList(compiled.list.list);
        return;
    }
    emitPieceGeometry(piece);
}

void Building::emitPieceGeometry(int piece) const {
    if (piece == 0) {
        drawRoof(0, 0, size.x, size.z, size.y, roofDepth, roofRim);
        return;
    }
    // Walls from outside, each showing its texture once, upright.
    const int n = faceDivisions;
    drawWallZ(0, 0, size.x, size.y, n, 0, -1, wallTextureRepeat);
    drawWallZ(size.x, size.y, 0, 0, n, size.z, +1, wallTextureRepeat);
    drawWallX(0, 0, size.y, size.z, n, 0, -1, wallTextureRepeat);
    drawWallX(size.y, size.z, 0, 0, n, size.x, +1, wallTextureRepeat);
}

unsigned GroundTile::opaquePieceTexture(int /*piece*/) const { return textureTable ? textureTable[textureIndex] : 0; }

void GroundTile::draw(bool textured) {
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glColor4f(1, 1, 1, 1);
    setCityMaterial();
    if (textured && textureTable) glBindTexture(GL_TEXTURE_2D, opaquePieceTexture(0));
    drawFloor(0, 0, size.x, size.z, 1, 0, +1, 1);
    glPopMatrix();
}
