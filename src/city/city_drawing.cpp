// city_drawing.cpp -- the quads of buildings and ground tiles, drawn one
// object at a time or handed to a pass that batches them.
#include "city/city_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "city/city.h"
#include "city/window_glow.h"
#include "render/quad_batch.h"

namespace {
const GLfloat cityDiffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
const GLfloat citySpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat cityAmbient[] = {0.15f, 0.15f, 0.15f, 1.0f};
const GLfloat cityEmission[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr GLfloat cityShininess = 0.0f;

constexpr float roofDepth = 0.2f;  // the roof floor lies this far below the rim
constexpr float roofRim = 0.1f;
constexpr float wallTextureRepeat = 1.0f;
static_assert(groundUnderWalls <= roofRim, "the ground under the walls stays inside the roof's rim");

// A quad of four corners (texture s, t, then position), as the faces list them.
struct Corner {
    float s, t, x, y, z;
};

void addQuad(QuadBatch& out, const Vector3& normal, const Corner (&c)[4]) {
    const Vector3 corners[4] = {{c[0].x, c[0].y, c[0].z},
                                {c[1].x, c[1].y, c[1].z},
                                {c[2].x, c[2].y, c[2].z},
                                {c[3].x, c[3].y, c[3].z}};
    const float s[4] = {c[0].s, c[1].s, c[2].s, c[3].s};
    const float t[4] = {c[0].t, c[1].t, c[2].t, c[3].t};
    out.addQuad(normal, corners, s, t);
}
}  // namespace

void setCityMaterial() {
    glMaterialfv(GL_FRONT, GL_DIFFUSE, cityDiffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, citySpecular);
    glMaterialfv(GL_FRONT, GL_AMBIENT, cityAmbient);
    glMaterialfv(GL_FRONT, GL_EMISSION, cityEmission);
    glMaterialf(GL_FRONT, GL_SHININESS, cityShininess);
}

void addWallZ(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    const Vector3 normal(0, 0, f);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;
            const float v = b + static_cast<float>(j) * dv;
            if (f > 0)
                addQuad(
                    out, normal,
                    {{0, g, u, v, e}, {g, g, u + du, v, e}, {g, 0, u + du, v + dv, e}, {0, 0, u, v + dv, e}});
            else
                addQuad(
                    out, normal,
                    {{g, g, u, v + dv, e}, {0, g, u + du, v + dv, e}, {0, 0, u + du, v, e}, {g, 0, u, v, e}});
        }
    }
}

void addWallX(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    const Vector3 normal(f, 0, 0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;  // y
            const float v = b + static_cast<float>(j) * dv;  // z
            if (f > 0)
                addQuad(
                    out, normal,
                    {{0, g, e, u, v}, {0, 0, e, u + du, v}, {g, 0, e, u + du, v + dv}, {g, g, e, u, v + dv}});
            else
                addQuad(
                    out, normal,
                    {{0, 0, e, u, v + dv}, {0, g, e, u + du, v + dv}, {g, g, e, u + du, v}, {g, 0, e, u, v}});
        }
    }
}

void addFloor(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g) {
    const float du = (c - a) / static_cast<float>(n);
    const float dv = (d - b) / static_cast<float>(n);
    const bool up = f > 0;
    const Vector3 normal(0, f, 0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float u = a + static_cast<float>(i) * du;  // x
            const float v = b + static_cast<float>(j) * dv;  // z
            addQuad(out, normal,
                    {{up ? 0 : g, up ? 0 : g, u, e, v + dv},
                     {up ? 0 : g, up ? g : 0, u + du, e, v + dv},
                     {up ? g : 0, up ? g : 0, u + du, e, v},
                     {up ? g : 0, up ? 0 : g, u, e, v}});
        }
    }
}

void addRoof(QuadBatch& out, float x0, float z0, float x1, float z1, float h, float depth, float rim) {
    const float xa = x0 + rim, xb = x1 - rim;
    const float za = z0 + rim, zb = z1 - rim;
    const float hf = h - depth;
    const float width = x1 - x0, length = z1 - z0;
    // The roof texture is stretched once over the whole roof, so the inner
    // faces repeat the coordinates of their top edge at the bottom.
    auto quad = [&](const Vector3& normal, const Vector3(&corners)[4]) {
        float s[4], t[4];
        for (int i = 0; i < 4; ++i) {
            s[i] = (corners[i].x - x0) / width;
            t[i] = (corners[i].z - z0) / length;
        }
        out.addQuad(normal, corners, s, t);
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

Building::PieceGeometry& Building::pieceGeometry(int piece) {
    PieceGeometry& g = pieces[piece];
    if (g.built && g.size == size && g.divisions == faceDivisions && g.position == position) return g;
    g.local.clear();
    if (piece == 0) {
        addRoof(g.local, 0, 0, size.x, size.z, size.y, roofDepth, roofRim);
    } else {
        // Walls from outside, each showing its texture once, upright.
        const int n = faceDivisions;
        addWallZ(g.local, 0, 0, size.x, size.y, n, 0, -1, wallTextureRepeat);
        addWallZ(g.local, size.x, size.y, 0, 0, n, size.z, +1, wallTextureRepeat);
        addWallX(g.local, 0, 0, size.y, size.z, n, 0, -1, wallTextureRepeat);
        addWallX(g.local, size.y, size.z, 0, 0, n, size.x, +1, wallTextureRepeat);
    }
    g.world.clear();
    g.world.appendMoved(g.local, position);
    g.size = size;
    g.divisions = faceDivisions;
    g.position = position;
    g.built = true;
    g.listCurrent = false;
    return g;
}

const QuadBatch* Building::opaquePieceQuads(int piece) { return &pieceGeometry(piece).world; }

void Building::drawPieceInPlace(int piece, bool textured) {
    const bool glow = textured && textureTable && windowGlows(opaquePieceTexture(piece));
    if (textured && textureTable) glBindTexture(GL_TEXTURE_2D, opaquePieceTexture(piece));
    if (glow) beginWindowGlow();
    PieceGeometry& g = pieceGeometry(piece);
    if (g.list.allocated && g.listCurrent) {
        glCallList(g.list.list);
    } else {
        // No list is compiled while another one is (a frame being recorded):
        // then the quads go into that list as they are.
        GLint compiling = 0;
        glGetIntegerv(GL_LIST_INDEX, &compiling);
        if (compiling == 0 && g.list.beginList(GL_COMPILE)) {
            g.local.drawQuadByQuad();
            g.list.endList();
            g.listCurrent = true;
            glCallList(g.list.list);
        } else {
            g.local.drawQuadByQuad();
        }
    }
    if (glow) endWindowGlow();
}

unsigned GroundTile::opaquePieceTexture(int /*piece*/) const {
    return textureTable ? textureTable[textureIndex] : 0;
}

void GroundTile::addFootprint(float x0, float z0, float x1, float z1) {
    const Hole hole{x0 + groundUnderWalls, z0 + groundUnderWalls, x1 - groundUnderWalls,
                    z1 - groundUnderWalls};
    if (hole.x0 < hole.x1 && hole.z0 < hole.z1) holes.push_back(hole);
    quadsBuilt = false;
}

void GroundTile::clearFootprints() {
    holes.clear();
    alignedCutsX.clear();
    alignedCutsZ.clear();
    quadsBuilt = false;
}

void GroundTile::holeEdges(std::vector<float>& xs, std::vector<float>& zs) const {
    for (const Hole& h : holes) {
        xs.insert(xs.end(), {h.x0, h.x1});
        zs.insert(zs.end(), {h.z0, h.z1});
    }
}

void GroundTile::alignCuts(const std::vector<float>& xs, const std::vector<float>& zs) {
    alignedCutsX = xs;
    alignedCutsZ = zs;
    quadsBuilt = false;
}

void GroundTile::buildQuads() {
    if (quadsBuilt && quadsPosition == position && quadsSize == size) return;
    localQuads.clear();
    addFloor(localQuads, 0, 0, size.x, size.z, 1, 0, +1, 1);
    quadsPosition = position;
    quadsSize = size;
    quadsBuilt = true;
    openQuads.clear();
    // Cut the tile along every line of its row and column and every hole
    // edge that crosses it, and keep the cells no hole covers. Cells are not
    // joined: a joined edge would pass corners of the cells beside it.
    std::vector<float> xs = {0, size.x}, zs = {0, size.z};
    const auto addCuts = [](std::vector<float>& cuts, const std::vector<float>& world, float origin,
                            float extent) {
        for (const float w : world) {
            const float local = w - origin;
            if (local > 0 && local < extent) cuts.push_back(local);
        }
    };
    std::vector<float> ownX, ownZ;
    holeEdges(ownX, ownZ);
    for (const std::vector<float>* world : {&alignedCutsX, &ownX}) addCuts(xs, *world, position.x, size.x);
    for (const std::vector<float>* world : {&alignedCutsZ, &ownZ}) addCuts(zs, *world, position.z, size.z);
    for (std::vector<float>* cuts : {&xs, &zs}) {
        std::sort(cuts->begin(), cuts->end());
        cuts->erase(std::unique(cuts->begin(), cuts->end()), cuts->end());
    }
    const auto covered = [&](float x, float z) {
        for (const Hole& h : holes) {
            if (h.x0 - position.x < x && x < h.x1 - position.x && h.z0 - position.z < z &&
                z < h.z1 - position.z)
                return true;
        }
        return false;
    };
    // The whole tile's texture mapping: s runs 1..0 along z, t 0..1 along x.
    const auto corner = [&](float x, float z) {
        return Corner{1 - z / size.z, x / size.x, position.x + x, position.y, position.z + z};
    };
    const Vector3 up(0, 1, 0);
    for (size_t j = 0; j + 1 < zs.size(); ++j) {
        const float z0 = zs[j], z1 = zs[j + 1];
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            const float x0 = xs[i], x1 = xs[i + 1];
            if (covered((x0 + x1) / 2, (z0 + z1) / 2)) continue;
            addQuad(openQuads, up, {corner(x0, z1), corner(x1, z1), corner(x1, z0), corner(x0, z0)});
        }
    }
}

const QuadBatch* GroundTile::opaquePieceQuads(int /*piece*/) {
    buildQuads();
    return &openQuads;
}

void GroundTile::draw(bool textured) {
    buildQuads();
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glColor4f(1, 1, 1, 1);
    setCityMaterial();
    if (textured && textureTable) glBindTexture(GL_TEXTURE_2D, opaquePieceTexture(0));
    localQuads.drawQuadByQuad();
    glPopMatrix();
}

void drawCityQuads(const QuadBatch& quads, unsigned texture, bool textured) {
    glColor4f(1, 1, 1, 1);
    setCityMaterial();
    if (textured) glBindTexture(GL_TEXTURE_2D, texture);
    const bool glow = textured && windowGlows(texture);
    if (glow) beginWindowGlow();
    quads.drawArrays();
    if (glow) endWindowGlow();
}
