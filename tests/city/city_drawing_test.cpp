// What one building or tile emits on the real GL context, read back through
// feedback mode: vertex order, texture coordinates, normals, winding and the
// texture bindings.
#include "city/city_drawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "city/city.h"
#include "render/quad_batch.h"
#include "support/gl_context.h"

namespace {

constexpr float sceneHalfSize = 8.0f;  // orthographic box -8..8 on every axis
constexpr int feedbackFloats = 1 << 16;
constexpr float tolerance = 1e-3f;

struct Corner {
    Vector3 position;
    float s, t;
};

// A quad as expected: its corners and the one normal they all share.
struct Quad {
    Corner corner[4];
    Vector3 normal;
};

// A quad as emitted, with the normal each corner was lit with.
struct CapturedQuad {
    Corner corner[4];
    Vector3 normal[4];
};

struct FedVertex {
    Vector3 position;
    float red, green, blue;
    float s, t;
    bool operator==(const FedVertex& o) const { return position == o.position && s == o.s && t == o.t; }
};

// Runs draw in feedback mode and returns its triangles. Window coordinates
// are turned back into object coordinates of the -8..8 orthographic box.
std::vector<std::vector<FedVertex>> feedbackTriangles(const std::function<void()>& draw) {
    static GLfloat buffer[feedbackFloats];
    glFeedbackBuffer(feedbackFloats, GL_3D_COLOR_TEXTURE, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FedVertex>> triangles;
    EXPECT_GT(used, 0) << "feedback buffer overflowed or nothing was drawn";
    for (int i = 0; i < used;) {
        EXPECT_EQ(buffer[i], static_cast<GLfloat>(GL_POLYGON_TOKEN));
        const int n = static_cast<int>(buffer[i + 1]);
        i += 2;
        std::vector<FedVertex> polygon;
        for (int k = 0; k < n; ++k, i += 11) {
            const float* v = buffer + i;
            FedVertex fed;
            fed.position = Vector3((v[0] / 640.0f - 1) * sceneHalfSize, (v[1] / 512.0f - 1) * sceneHalfSize,
                                   -(2 * v[2] - 1) * sceneHalfSize);
            fed.red = v[3], fed.green = v[4], fed.blue = v[5];
            fed.s = v[7], fed.t = v[8];
            polygon.push_back(fed);
        }
        triangles.push_back(polygon);
    }
    return triangles;
}

// Lights along +x, +y, +z (sign +1) or -x, -y, -z (sign -1) in red, green
// and blue, with nothing else lighting: a front face's colour under the city
// material is 0.3 times the positive parts of its normal along the lights.
void lightAlongAxes(float sign) {
    const GLfloat none[] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    const GLfloat colours[3][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    for (int axis = 0; axis < 3; ++axis) {
        const GLenum light = GL_LIGHT0 + static_cast<GLenum>(axis);
        GLfloat direction[4] = {0, 0, 0, 0};
        direction[axis] = sign;
        glLightfv(light, GL_POSITION, direction);
        glLightfv(light, GL_DIFFUSE, colours[axis]);
        glLightfv(light, GL_AMBIENT, none);
        glLightfv(light, GL_SPECULAR, none);
        glEnable(light);
    }
    glEnable(GL_LIGHTING);
}

// Joins the two triangles GL makes of each quad back into the quad, in the
// order the quad's vertices were emitted.
bool joinQuad(const std::vector<FedVertex>& a, const std::vector<FedVertex>& b, FedVertex out[4]) {
    if (a.size() != 3 || b.size() != 3) return false;
    if (b[0] == a[0] && b[1] == a[2]) {  // (0 1 2) (0 2 3)
        out[0] = a[0], out[1] = a[1], out[2] = a[2], out[3] = b[2];
        return true;
    }
    if (b[0] == a[1] && b[2] == a[2]) {  // (0 1 3) (1 2 3)
        out[0] = a[0], out[1] = a[1], out[2] = b[1], out[3] = a[2];
        return true;
    }
    return false;
}

// The quads draw emits, with the normals recovered from two lit passes.
std::vector<CapturedQuad> capturedQuads(const std::function<void()>& draw) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-sceneHalfSize, sceneHalfSize, -sceneHalfSize, sceneHalfSize, -sceneHalfSize, sceneHalfSize);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    lightAlongAxes(+1);
    const auto positive = feedbackTriangles(draw);
    lightAlongAxes(-1);
    const auto negative = feedbackTriangles(draw);
    glDisable(GL_LIGHTING);
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2}) glDisable(light);

    std::vector<CapturedQuad> quads;
    EXPECT_EQ(positive.size() % 2, 0u);
    EXPECT_EQ(positive.size(), negative.size());
    for (size_t i = 0; i + 1 < positive.size() && i + 1 < negative.size(); i += 2) {
        FedVertex up[4], down[4];
        if (!joinQuad(positive[i], positive[i + 1], up) || !joinQuad(negative[i], negative[i + 1], down)) {
            ADD_FAILURE() << "triangles " << i << " and " << i + 1 << " do not form a quad";
            return quads;
        }
        CapturedQuad q;
        const float diffuse = 0.3f;
        for (int k = 0; k < 4; ++k) {
            q.corner[k] = {up[k].position, up[k].s, up[k].t};
            q.normal[k] =
                Vector3((up[k].red - down[k].red) / diffuse, (up[k].green - down[k].green) / diffuse,
                        (up[k].blue - down[k].blue) / diffuse);
        }
        quads.push_back(q);
    }
    return quads;
}

void expectQuad(const CapturedQuad& actual, const Quad& expected, int index) {
    SCOPED_TRACE(testing::Message() << "quad " << index + 1);
    for (int k = 0; k < 4; ++k) {
        const Corner& a = actual.corner[k];
        const Corner& e = expected.corner[k];
        EXPECT_NEAR(a.position.x, e.position.x, tolerance) << "vertex " << k + 1;
        EXPECT_NEAR(a.position.y, e.position.y, tolerance) << "vertex " << k + 1;
        EXPECT_NEAR(a.position.z, e.position.z, tolerance) << "vertex " << k + 1;
        EXPECT_NEAR(a.s, e.s, 1e-5f) << "vertex " << k + 1;
        EXPECT_NEAR(a.t, e.t, 1e-5f) << "vertex " << k + 1;
        EXPECT_NEAR(actual.normal[k].x, expected.normal.x, 0.01f) << "vertex " << k + 1;
        EXPECT_NEAR(actual.normal[k].y, expected.normal.y, 0.01f) << "vertex " << k + 1;
        EXPECT_NEAR(actual.normal[k].z, expected.normal.z, 0.01f) << "vertex " << k + 1;
    }
    // Counter-clockwise seen from the side the normal points to.
    const Vector3 e1 = actual.corner[1].position - actual.corner[0].position;
    const Vector3 e2 = actual.corner[2].position - actual.corner[0].position;
    EXPECT_GT(e1.cross(e2).dot(expected.normal), 0.0f) << "wound clockwise";
}

class CityDrawingTest : public GLTest {};

// A building of 4 x 3.5 x 2 at (0.5, 0, -1): the nine roof quads, then the
// walls at z = 0, z = 2, x = 0, x = 4, as the table of the building says.
TEST_F(CityDrawingTest, BuildingEmitsItsThirteenQuads) {
    GLuint table[100] = {};
    Building b;
    b.setTextures(table, 5, 1);
    b.position = Vector3(0.5f, 0, -1);
    b.size = Vector3(4, 3.5f, 2);
    const std::vector<CapturedQuad> quads = capturedQuads([&] { b.draw(false); });
    ASSERT_EQ(quads.size(), 13u);

    const float px = 0.5f, pz = -1;
    // Roof: rim 0.1, floor 0.2 down; texture stretched s = x / 4, t = z / 2.
    auto r = [&](float x, float y, float z) { return Corner{{px + x, y, pz + z}, x / 4, z / 2}; };
    const float h = 3.5f, f = 3.3f;
    const Vector3 up(0, 1, 0);
    const Quad expected[13] = {
        {{r(0, h, 0), r(0.1f, h, 0.1f), r(3.9f, h, 0.1f), r(4, h, 0)}, up},
        {{r(0, h, 2), r(0.1f, h, 1.9f), r(0.1f, h, 0.1f), r(0, h, 0)}, up},
        {{r(4, h, 2), r(3.9f, h, 1.9f), r(0.1f, h, 1.9f), r(0, h, 2)}, up},
        {{r(4, h, 0), r(3.9f, h, 0.1f), r(3.9f, h, 1.9f), r(4, h, 2)}, up},
        {{r(0.1f, h, 0.1f), r(0.1f, f, 0.1f), r(3.9f, f, 0.1f), r(3.9f, h, 0.1f)}, {0, 0, 1}},
        {{r(0.1f, h, 1.9f), r(0.1f, f, 1.9f), r(0.1f, f, 0.1f), r(0.1f, h, 0.1f)}, {1, 0, 0}},
        {{r(3.9f, h, 1.9f), r(3.9f, f, 1.9f), r(0.1f, f, 1.9f), r(0.1f, h, 1.9f)}, {0, 0, -1}},
        {{r(3.9f, h, 0.1f), r(3.9f, f, 0.1f), r(3.9f, f, 1.9f), r(3.9f, h, 1.9f)}, {-1, 0, 0}},
        {{r(0.1f, f, 0.1f), r(0.1f, f, 1.9f), r(3.9f, f, 1.9f), r(3.9f, f, 0.1f)}, up},
        // Walls: t is 1 along the top edge, 0 along the bottom.
        {{{{px, h, pz}, 1, 1}, {{px + 4, h, pz}, 0, 1}, {{px + 4, 0, pz}, 0, 0}, {{px, 0, pz}, 1, 0}},
         {0, 0, -1}},
        {{{{px + 4, h, pz + 2}, 0, 1},
          {{px, h, pz + 2}, 1, 1},
          {{px, 0, pz + 2}, 1, 0},
          {{px + 4, 0, pz + 2}, 0, 0}},
         {0, 0, 1}},
        {{{{px, 0, pz + 2}, 0, 0}, {{px, h, pz + 2}, 0, 1}, {{px, h, pz}, 1, 1}, {{px, 0, pz}, 1, 0}},
         {-1, 0, 0}},
        {{{{px + 4, h, pz + 2}, 0, 1},
          {{px + 4, 0, pz + 2}, 0, 0},
          {{px + 4, 0, pz}, 1, 0},
          {{px + 4, h, pz}, 1, 1}},
         {1, 0, 0}},
    };
    for (int i = 0; i < 13; ++i) expectQuad(quads[i], expected[i], i);
    // The inner rim corner nearest the origin of a 4 x 2 roof.
    EXPECT_NEAR(quads[0].corner[1].s, 0.025f, 1e-6f);
    EXPECT_NEAR(quads[0].corner[1].t, 0.05f, 1e-6f);
}

// A building keeps its pieces compiled after the first draw; drawn again it
// gives the same quads, a new shape is compiled anew, and a building first
// drawn while a frame is being recorded goes into that recording whole.
TEST_F(CityDrawingTest, CompiledPiecesFollowTheBuildingsShape) {
    GLuint table[100] = {};
    Building b;
    b.setTextures(table, 5, 1);
    b.size = Vector3(4, 3.5f, 2);
    const std::vector<CapturedQuad> first = capturedQuads([&] { b.draw(false); });
    const std::vector<CapturedQuad> again = capturedQuads([&] { b.draw(false); });
    ASSERT_EQ(first.size(), 13u);
    ASSERT_EQ(again.size(), 13u);
    for (size_t i = 0; i < first.size(); ++i)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(again[i].corner[k].position, first[i].corner[k].position);

    b.size = Vector3(2, 5, 3);
    b.faceDivisions = 2;
    const std::vector<CapturedQuad> reshaped = capturedQuads([&] { b.draw(false); });
    ASSERT_EQ(reshaped.size(), 9u + 4 * 4);
    float top = 0;
    for (const CapturedQuad& q : reshaped)
        for (const Corner& c : q.corner) top = std::max(top, c.position.y);
    EXPECT_NEAR(top, 5, tolerance);

    Building fresh;
    fresh.setTextures(table, 5, 1);
    fresh.size = Vector3(4, 3.5f, 2);
    DisplayList frame;
    ASSERT_TRUE(frame.beginList(GL_COMPILE));
    fresh.draw(false);
    frame.endList();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<CapturedQuad> recorded = capturedQuads([&] { glCallList(frame.list); });
    EXPECT_EQ(recorded.size(), 13u);
}

// A tile is one upward quad with s running along -z and t along +x.
TEST_F(CityDrawingTest, TileEmitsOneUpwardQuad) {
    GLuint table[100] = {};
    GroundTile tile;
    tile.setTexture(table, textureCrossing);
    tile.position = Vector3(-2, 0, -2);
    const std::vector<CapturedQuad> quads = capturedQuads([&] { tile.draw(false); });
    ASSERT_EQ(quads.size(), 1u);
    const Quad expected = {{{{-2, 0, 2}, 0, 0}, {{2, 0, 2}, 0, 1}, {{2, 0, -2}, 1, 1}, {{-2, 0, -2}, 1, 0}},
                           {0, 1, 0}};
    expectQuad(quads[0], expected, 0);
}

// Subdivided faces: n = 2 gives four quads, each with the whole 0..g range.
TEST_F(CityDrawingTest, SubdividedWallRepeatsTheTexturePerQuad) {
    const std::vector<CapturedQuad> quads = capturedQuads([] {
        QuadBatch wall;
        addWallZ(wall, 0, 0, 4, 2, 2, 1, 1, 3);
        wall.drawQuadByQuad();
    });
    ASSERT_EQ(quads.size(), 4u);
    for (size_t i = 0; i < quads.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "quad " << i);
        float lowS = 99, highS = -99, lowT = 99, highT = -99;
        for (const Corner& c : quads[i].corner) {
            lowS = std::min(lowS, c.s), highS = std::max(highS, c.s);
            lowT = std::min(lowT, c.t), highT = std::max(highT, c.t);
            EXPECT_NEAR(c.position.z, 1, tolerance);
        }
        EXPECT_EQ(lowS, 0);
        EXPECT_EQ(highS, 3);
        EXPECT_EQ(lowT, 0);
        EXPECT_EQ(highT, 3);
        // Each covers a 2 x 1 cell of the 4 x 2 face.
        const Vector3 diagonal = quads[i].corner[2].position - quads[i].corner[0].position;
        EXPECT_NEAR(std::fabs(diagonal.x), 2, tolerance);
        EXPECT_NEAR(std::fabs(diagonal.y), 1, tolerance);
    }
}

// Untextured drawing (the searchlight pass) binds nothing; textured drawing
// leaves the wall texture bound after a building and the tile's after a tile.
TEST_F(CityDrawingTest, TextureBindingsFollowTheTexturedFlag) {
    GLuint names[3];
    glGenTextures(3, names);
    GLuint table[100] = {};
    table[1] = names[0];   // roof
    table[7] = names[1];   // wall
    table[14] = names[2];  // sidewalk
    Building b;
    b.setTextures(table, 7, 1);
    GroundTile tile;
    tile.setTexture(table, textureSidewalk);
    GLuint outsider;
    glGenTextures(1, &outsider);

    auto bound = [] {
        GLint name = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return static_cast<GLuint>(name);
    };
    glBindTexture(GL_TEXTURE_2D, outsider);
    b.draw(false);
    tile.draw(false);
    EXPECT_EQ(bound(), outsider);

    b.draw(true);
    EXPECT_EQ(bound(), names[1]);
    tile.draw(true);
    EXPECT_EQ(bound(), names[2]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.3f);
    GLfloat ambient[4];
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.15f);

    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(3, names);
    glDeleteTextures(1, &outsider);
}

}  // namespace

namespace {

// The pieces' quads as a batched pass sends them: all in one vertex-array draw.
std::vector<CapturedQuad> batchedQuads(Drawable& object) {
    QuadBatch all;
    for (int p = 0; p < object.opaquePieceCount(); ++p) {
        const QuadBatch* quads = object.opaquePieceQuads(p);
        EXPECT_NE(quads, nullptr) << "piece " << p;
        if (quads) all.append(*quads);
    }
    return capturedQuads([&] { all.drawArrays(); });
}

void expectSameQuads(const std::vector<CapturedQuad>& actual, const std::vector<CapturedQuad>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "quad " << i << " corner " << k);
            const Corner& a = actual[i].corner[k];
            const Corner& e = expected[i].corner[k];
            EXPECT_NEAR(distance(a.position, e.position), 0, tolerance);
            EXPECT_NEAR(a.s, e.s, 1e-5f);
            EXPECT_NEAR(a.t, e.t, 1e-5f);
            EXPECT_NEAR(distance(actual[i].normal[k], expected[i].normal[k]), 0, 0.01f);
        }
    }
}

}  // namespace

// A batched pass draws a building's pieces from world-space quads in one
// call: the very quads, corners, texture coordinates and normals the
// building draws in its own frame, and they follow it when it moves or
// changes shape.
TEST_F(CityDrawingTest, BatchedPiecesAreTheBuildingsOwnQuadsInTheWorld) {
    GLuint table[100] = {};
    Building b;
    b.setTextures(table, 5, 1);
    b.position = Vector3(-3, 0, 1);
    b.size = Vector3(4, 3.5f, 2);
    expectSameQuads(batchedQuads(b), capturedQuads([&] { b.draw(false); }));

    b.position = Vector3(1, 0, -4);
    b.size = Vector3(2, 5, 3);
    b.faceDivisions = 2;
    const std::vector<CapturedQuad> moved = batchedQuads(b);
    EXPECT_EQ(moved.size(), 9u + 4 * 4);
    expectSameQuads(moved, capturedQuads([&] { b.draw(false); }));
}

// A tile with buildings on it sends only the ground they leave open, but
// for a strip under their walls: no quad reaches further under a footprint,
// the open quads and the footprints' parts on the tile less that strip add
// up to the whole tile, and every corner keeps the whole tile's texture
// coordinates. Without footprints it is the tile's one quad.
TEST_F(CityDrawingTest, TileLeavesOutTheGroundUnderItsBuildings) {
    GLuint table[100] = {};
    GroundTile tile;
    tile.setTexture(table, textureSidewalk);
    tile.position = Vector3(-2, 0, -2);
    expectSameQuads(batchedQuads(tile), capturedQuads([&] { tile.draw(false); }));

    struct Box {
        float x0, z0, x1, z1;
    };
    // One reaching past the tile's low x and z edges, one inside it.
    const Box footprints[] = {{-2.5f, -3, -0.4f, 0.2f}, {0.5f, -1.5f, 1.7f, 1.1f}};
    for (const Box& f : footprints) tile.addFootprint(f.x0, f.z0, f.x1, f.z1);
    const std::vector<CapturedQuad> open = batchedQuads(tile);
    ASSERT_FALSE(open.empty());
    float openArea = 0;
    for (const CapturedQuad& q : open) {
        const Vector3& low = q.corner[3].position;  // (x0, z0) of each cell
        const Vector3& high = q.corner[1].position;
        openArea += (high.x - low.x) * (high.z - low.z);
        const float cx = (low.x + high.x) / 2, cz = (low.z + high.z) / 2;
        for (const Box& f : footprints) {
            const float m = groundUnderWalls;
            EXPECT_FALSE(f.x0 + m < cx && cx < f.x1 - m && f.z0 + m < cz && cz < f.z1 - m)
                << "a quad under a building";
        }
        for (const Corner& c : q.corner) {
            EXPECT_NEAR(c.s, 1 - (c.position.z + 2) / 4, 1e-5f);
            EXPECT_NEAR(c.t, (c.position.x + 2) / 4, 1e-5f);
            EXPECT_NEAR(c.position.y, 0, tolerance);
        }
        EXPECT_NEAR(q.normal[0].y, 1, 0.01f);
    }
    const float m = groundUnderWalls;  // the first reaches past the tile, so it keeps the strip on two sides
    const float covered = (-0.4f - m + 2) * (0.2f - m + 2) + (1.7f - 0.5f - 2 * m) * (1.1f + 1.5f - 2 * m);
    EXPECT_NEAR(openArea, 16 - covered, 1e-3f);

    // The tile as a whole still draws all of itself.
    EXPECT_EQ(capturedQuads([&] { tile.draw(false); }).size(), 1u);
    tile.clearFootprints();
    EXPECT_EQ(batchedQuads(tile).size(), 1u);
}
