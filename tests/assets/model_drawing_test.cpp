// Tests of model drawing on the real offscreen context, read back through
// GL's feedback mode (what was sent per vertex) and the frame buffer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "assets/model.h"
#include "support/asset_writers.h"
#include "support/gl_context.h"

namespace {

struct FedVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};
using Polygons = std::vector<std::vector<FedVertex>>;

// The polygons one draw call sends, with colour and texture coordinates.
template <typename Draw>
Polygons feedback(Draw draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    Polygons polygons;
    for (GLint i = 0; i < count;) {
        const GLenum token = static_cast<GLenum>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int corners = static_cast<int>(buffer[i++]);
        std::vector<FedVertex> polygon;
        for (int c = 0; c < corners; ++c, i += 11) {
            const GLfloat* v = &buffer[i];
            polygon.push_back({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

// Reads a model file written from bytes into the model, without loading
// material textures (tests set texture names themselves).
void readInto(Model& model, const Bytes& file) {
    TempDir dir;
    writeFile(dir.path("m.3ds"), file);
    model.reader.log = nullptr;
    model.reader.readFile(model.data, dir.path("m.3ds").c_str());
}

Bytes triangle(const std::string& name, float z) {
    return namedObject(name, vertexList({{-1, -1, z}, {1, -1, z}, {0, 1, z}}) + faceList({{0, 1, 2}}));
}

class ModelDrawingTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-2, 2, -2, 2, -2, 2);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glShadeModel(GL_SMOOTH);
    }
};

}  // namespace

// An untextured object with a valid material is coloured with the
// material's colour at every vertex; one without a material stays white.
TEST_F(ModelDrawingTest, MaterialColourPerVertex) {
    Model model;
    readInto(model, modelFile(material("paint", 255, 0, 51) +
                              namedObject("painted", vertexList({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}) +
                                                         faceList({{0, 1, 2}}, materialGroup("paint"))) +
                              triangle("plain", 0)));
    const Polygons polygons = feedback([&] { model.draw(true); });
    ASSERT_EQ(polygons.size(), 2u);
    for (const FedVertex& v : polygons[0]) {
        EXPECT_FLOAT_EQ(v.r, 1.0f);
        EXPECT_FLOAT_EQ(v.g, 0.0f);
        EXPECT_NEAR(v.b, 0.2f, 1e-6);
    }
    // Material 0 exists, so the plain object takes its colour too: index 0
    // is every object's default.
    EXPECT_FLOAT_EQ(polygons[1][0].r, 1.0f);
    EXPECT_FLOAT_EQ(polygons[1][0].g, 0.0f);

    Model bare;
    readInto(bare, modelFile(triangle("plain", 0)));
    const Polygons white = feedback([&] { bare.draw(true); });
    ASSERT_EQ(white.size(), 1u);
    EXPECT_FLOAT_EQ(white[0][0].g, 1.0f);
}

// A textured object sends its texture coordinates in both passes but binds
// its texture only when drawing textured; without a coordinate list none
// are sent.
TEST_F(ModelDrawingTest, TexturedObjects) {
    Model model;
    readInto(model,
             modelFile(material("skin", 9, 9, 9, "skin.rgb") +
                       namedObject("mapped", vertexList({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}) +
                                                 texCoordList({{0.0f, 0.5f}, {1.0f, 0.25f}, {0.5f, 1.0f}}) +
                                                 faceList({{0, 1, 2}}, materialGroup("skin"))) +
                       namedObject("unmapped", vertexList({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}) +
                                                   faceList({{0, 1, 2}}, materialGroup("skin")))));
    ASSERT_TRUE(model.data.objects[0].hasTexture);
    ASSERT_TRUE(model.data.objects[1].hasTexture);
    GLuint names[2];
    glGenTextures(2, names);
    model.textures[0] = names[1];
    glBindTexture(GL_TEXTURE_2D, names[0]);
    glTexCoord2f(0.125f, 0.875f);

    const Polygons untextured = feedback([&] { model.draw(false); });
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), names[0]) << "no texture is bound when drawing untextured";
    ASSERT_EQ(untextured.size(), 2u);
    EXPECT_FLOAT_EQ(untextured[0][1].s, 1.0f);
    EXPECT_FLOAT_EQ(untextured[0][1].t, 0.25f);
    EXPECT_FLOAT_EQ(untextured[0][2].t, 1.0f);
    // Textured objects keep the white base colour, not the material's.
    EXPECT_FLOAT_EQ(untextured[0][0].r, 1.0f);
    // The second object sends no coordinates: the last ones sent remain.
    EXPECT_FLOAT_EQ(untextured[1][0].s, 0.5f);
    EXPECT_FLOAT_EQ(untextured[1][0].t, 1.0f);

    feedback([&] { model.draw(true); });
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), names[1]);
    glDeleteTextures(2, names);
}

// A model with no objects sends nothing.
TEST_F(ModelDrawingTest, EmptyModelDrawsNothing) {
    Model model;
    EXPECT_TRUE(feedback([&] { model.draw(true); }).empty());
    readInto(model, Bytes{1, 2, 3});
    EXPECT_TRUE(feedback([&] { model.draw(true); }).empty());
}

// The helicopter draws only its hull and two rotors, the rotors in grey
// (128) over what lies behind, and leaves depth writes on and blending off
// wherever the rotors stand in the file.
TEST_F(ModelDrawingTest, HelicopterDrawsOnlyItsNamedParts) {
    HelicopterModel copter;
    readInto(copter, modelFile(triangle("propback", 0) + triangle("gear", 0) + triangle("s76hull", 0) +
                               triangle("s76hull2", 0) + triangle("propmain", 0)));
    const Polygons polygons = feedback([&] { copter.draw(true); });
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_NEAR(polygons[0][0].r, 128 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(polygons[1][0].r, 1.0f);
    EXPECT_NEAR(polygons[2][0].r, 128 / 255.0f, 1e-6);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    HelicopterModel stranger;
    readInto(stranger, modelFile(triangle("hull", 0) + triangle("rotor", 0)));
    EXPECT_TRUE(feedback([&] { stranger.draw(true); }).empty());
}

// A rotor writes no depth: the hull drawn after it, farther away, still
// covers it; and the hull itself is not blended.
TEST_F(ModelDrawingTest, RotorLeavesNoDepth) {
    HelicopterModel copter;
    readInto(copter, modelFile(triangle("propmain", 1.0f) + triangle("s76hull", -1.0f)));
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    copter.draw(true);
    unsigned char pixel[4] = {};
    glReadPixels(640, 512, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[2], 255);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
}

// The badge glows at exactly the vertices whose y lies below fillLevel - 0.5
// (the glow comes through the emission and ambient of the lit colour).
TEST_F(ModelDrawingTest, BadgeGlowsBelowTheFillLevel) {
    BadgeModel badge;
    readInto(
        badge,
        modelFile(namedObject(
            "shield",
            vertexList({{-1, 0, 0}, {1, 0.99f, 0}, {0, 1.0f, 0}, {-1, 0.5f, 0}, {1, 1.2f, 0}, {0, 1.5f, 0}}) +
                faceList({{0, 1, 2}, {3, 4, 5}}))));
    glEnable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    const auto glowing = [&](float level) {
        badge.fillLevel = level;
        std::vector<bool> lit;
        for (const auto& polygon : feedback([&] { badge.draw(true); })) {
            for (const FedVertex& v : polygon) lit.push_back(v.r > 0.1f);
        }
        return lit;
    };
    EXPECT_EQ(glowing(0.4f), std::vector<bool>(6, false));
    EXPECT_EQ(glowing(0.0f), std::vector<bool>(6, false));
    // fillLevel 1.5: y 0, 0.99 and 0.5 glow; 1.0, 1.2 and 1.5 do not.
    EXPECT_EQ(glowing(1.5f), (std::vector<bool>{true, true, false, true, false, false}));
    EXPECT_EQ(glowing(2.0f), (std::vector<bool>{true, true, true, true, true, false}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_LIGHTING);
}
