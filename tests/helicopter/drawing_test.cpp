// Drawing the helicopter on a real context: where GL puts the model's
// vertices (scale, wobble, rotation order, z-up to y-up), when nothing is
// drawn at all, and its lights on the generated model.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/camera.h"
#include "helicopter/helicopter.h"
#include "support/gl_context.h"

namespace {

class HelicopterDrawingTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
    }
    // Gives the model one hull triangle, in file units (z up).
    static void giveHull(Helicopter& h, const Vector3 (&corners)[3]) {
        MeshObject hull;
        std::strcpy(hull.name, "s76hull");
        hull.vertexCount = 3;
        hull.faceCount = 1;
        hull.vertices = new Vector3[3]{corners[0], corners[1], corners[2]};
        hull.normals = new Vector3[3]{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        hull.faces = new Face[1];
        hull.faces[0].a = 0;
        hull.faces[0].b = 1;
        hull.faces[0].c = 2;
        h.model.data.objects.push_back(hull);
        h.model.data.objectCount = 1;
    }
    // Draws in feedback mode; returns the number of floats GL reported.
    static int drawForFeedback(Helicopter& h, GLfloat* buffer, int size) {
        glFeedbackBuffer(size, GL_3D, buffer);
        glRenderMode(GL_FEEDBACK);
        h.draw(true);
        return glRenderMode(GL_RENDER);
    }
};

// Rotations about the world axes by degrees, applied to a point.
Vector3 aboutX(const Vector3& p, float degrees) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Vector3(p.x, static_cast<float>(c * p.y - s * p.z), static_cast<float>(s * p.y + c * p.z));
}
Vector3 aboutY(const Vector3& p, float degrees) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Vector3(static_cast<float>(c * p.x + s * p.z), p.y, static_cast<float>(-s * p.x + c * p.z));
}
Vector3 aboutZ(const Vector3& p, float degrees) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Vector3(static_cast<float>(c * p.x - s * p.y), static_cast<float>(s * p.x + c * p.y), p.z);
}

// A model vertex goes: -90 about x (z-up to y-up), pitch about x, roll
// about z, yaw about y, scale 0.003, then to the wobbling position.
TEST_F(HelicopterDrawingTest, VerticesFollowTheAttitudeInOrder) {
    Helicopter h;
    const Vector3 corners[3] = {{100, 0, 0}, {0, 120, 0}, {0, 0, 90}};
    giveHull(h, corners);
    h.position = Vector3(0.1f, -0.2f, 0.05f);
    h.hoverOffsetX = 0.02f, h.hoverOffsetY = 0.1f, h.hoverOffsetZ = -0.03f;
    h.yaw = 30, h.hoverYaw = 2;
    h.roll = 12, h.hoverRoll = -3;
    h.pitch = 15, h.hoverPitch = 4;

    // The hull's triangle comes first; the lights follow.
    GLfloat feedback[4096];
    ASSERT_GE(drawForFeedback(h, feedback, 4096), 2 + 3 * 3);
    ASSERT_EQ(feedback[0], static_cast<GLfloat>(GL_POLYGON_TOKEN));
    ASSERT_EQ(feedback[1], 3.0f);
    for (int i = 0; i < 3; ++i) {
        Vector3 p = aboutX(corners[i], -90);
        p = aboutX(p, 19);
        p = aboutZ(p, 9);
        p = aboutY(p, 32);
        p = p * 0.003f + Vector3(0.12f, -0.1f, 0.02f);
        EXPECT_NEAR((p.x + 1) / 2 * 1280, feedback[2 + 3 * i], 0.02) << "corner " << i;
        EXPECT_NEAR((p.y + 1) / 2 * 1024, feedback[3 + 3 * i], 0.02) << "corner " << i;
        EXPECT_NEAR((p.z + 1) / 2, feedback[4 + 3 * i], 1e-5) << "corner " << i;
    }
}

// Hidden: no geometry; either way the matrix stack is left as found and
// lighting is on for whatever the caller draws next.
TEST_F(HelicopterDrawingTest, HiddenHelicopterEmitsNothing) {
    Helicopter h;
    Camera camera;
    const Vector3 corners[3] = {{100, 0, 0}, {0, 120, 0}, {0, 0, 90}};
    giveHull(h, corners);
    h.position = Vector3(0, 0, 0);
    h.attachCamera(camera);
    h.chaseBehindX = h.chaseHeight = h.chaseBehindZ = 0;
    camera.setView(0, 0, 0, 0, 0, 1);  // already in the cockpit
    h.followCamera(0);

    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    GLfloat feedback[4096];
    EXPECT_EQ(drawForFeedback(h, feedback, 4096), 0);
    EXPECT_TRUE(h.hidden);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    h.chaseBehindX = 2, h.chaseHeight = 5, h.chaseBehindZ = 2;  // "]": shown at once
    EXPECT_GE(drawForFeedback(h, feedback, 4096), 11);
}

// Without "copter.3ds" the model is empty: draw still runs, emits nothing.
TEST_F(HelicopterDrawingTest, EmptyModelDrawsNothing) {
    Helicopter h;
    h.position = Vector3(0, 0, 0);
    GLfloat feedback[16];
    EXPECT_EQ(drawForFeedback(h, feedback, 16), 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_LIGHTING);
}

// The generated helicopter at yaw 0 (nose toward +z) seen from behind and
// above: red to port (the left of the picture), green to starboard, white
// at the tail; the red beacon lit at the start of each second of game time
// and dark in the rest of it. The state the next drawing relies on is back.
TEST_F(HelicopterDrawingTest, LightsOnTheirSidesAndTheBeaconFlashes) {
    ASSERT_EQ(chdir(SEARCHLIGHT_DATA_DIR), 0);  // the skin's texture
    Helicopter h;
    h.loadModel();
    ASSERT_GT(h.model.data.objectCount, 0);
    h.position = Vector3(0, 0, 0);

    constexpr int w = 640, ht = 512;
    glViewport(0, 0, w, ht);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(40, 1.25, 0.1, 20);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(0, 2, -3, 0, 0, 0.3, 0, 1, 0);
    const GLfloat dim[] = {0.3f, 0.3f, 0.3f, 1}, above[] = {0, 1, 0, 0};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, dim);
    glLightfv(GL_LIGHT0, GL_POSITION, above);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);

    struct Lights {
        int red = 0, green = 0, white = 0, redCentre = 0;
        double redX = 0, greenX = 0;
    };
    auto look = [&](double t) {
        h.lightsClock = t;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        h.draw(true);
        std::vector<unsigned char> rgb(static_cast<size_t>(w) * ht * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, ht, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        Lights l;
        for (int y = 0; y < ht; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
                if (p[0] > 200 && p[1] < 120 && p[2] < 120) {
                    ++l.red, l.redX += x;
                    l.redCentre += std::abs(x - w / 2) < w / 16;
                }
                if (p[1] > 200 && p[0] < 150 && p[2] < 170) ++l.green, l.greenX += x;
                l.white += p[0] > 235 && p[1] > 235 && p[2] > 225;
            }
        }
        l.redX /= std::max(l.red, 1);
        l.greenX /= std::max(l.green, 1);
        return l;
    };

    const Lights dark = look(0.5);
    EXPECT_GT(dark.red, 3);
    EXPECT_GT(dark.green, 3);
    EXPECT_GT(dark.white, 3) << "the tail light";
    EXPECT_LT(dark.redX, w / 2 - 20) << "red to port";
    EXPECT_GT(dark.greenX, w / 2 + 20) << "green to starboard";
    EXPECT_EQ(dark.redCentre, 0) << "the beacon is dark half a second in";
    for (const double t : {0.05, 1.1}) EXPECT_GT(look(t).redCentre, 20) << "the beacon flashes at " << t;
    EXPECT_EQ(look(1.7).redCentre, 0);

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace
