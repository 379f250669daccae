// The searchlight on a real context: its placement from the helicopter and
// the mouse, light 0's position, the projective texture coordinates GL
// generates, and the cull matrix of each pass.
#include "render/searchlight.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "helicopter/helicopter.h"
#include "render/gl_resources.h"
#include "support/gl_context.h"
#include "view/view_controller.h"

namespace {

class SearchlightTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        // The globals are shared by every test: back to their start.
        helicopter.position = Vector3(0, 9, -5);
        helicopter.lookPoint = Vector3(0, 5, 0);
        helicopter.yaw = helicopter.pitch = helicopter.roll = 0;
        searchlightYawOffset = 0;
        searchlightPitchOffset = 0;
        searchlightController.pan.translation = Vector3(0, 0, 0);
        searchlightController.dolly.translation = Vector3(0, 0, 0);
    }
    void TearDown() override {
        for (GLenum g : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glDisable(g);
        glDisable(GL_TEXTURE_2D);
    }
    // A helicopter somewhere over the city, banked and pitched, with the
    // beam steered by the mouse.
    void flyAndSteer() {
        helicopter.position = Vector3(12, 9, -20);
        helicopter.turn(0.6f);
        helicopter.pitch = 7;
        searchlightYawOffset = 0.25f;
        searchlightPitchOffset = 2.4f;
        placeSearchlight();
    }
    // The camera somewhere else, as the display callback leaves it.
    void applyCamera() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1.5, 400);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(15, 14, -25, 10, 0, -10, 0, 1, 0);
    }
    // What GL's eye-linear generation and texture matrix make of a world
    // point, from GL's own state read back: texture x planes x view.
    static Matrix4 worldToTexture() {
        Matrix4 planes;
        const GLenum coords[4] = {GL_S, GL_T, GL_R, GL_Q};
        for (int i = 0; i < 4; ++i) glGetTexGenfv(coords[i], GL_EYE_PLANE, planes.row(i));
        return readGLMatrix(GL_TEXTURE_MATRIX) * planes * readGLMatrix(GL_MODELVIEW_MATRIX);
    }
    // A world point at distance k along the beam, turned off its axis by
    // angle radians about the searchlight's own y axis.
    static Vector3 alongBeam(float k, float offAxis) {
        Matrix4 rotation;
        searchlightController.trackball.orientation.toMatrix(rotation);
        const Vector3 d = rotation.transformPoint(Vector3(0, 0, 1));
        const Vector3 side = rotation.transformPoint(Vector3(1, 0, 0));
        const Vector3 beam = d * -std::cos(offAxis) + side * std::sin(offAxis);
        return helicopter.position + beam * k;
    }
};

// The controller carries the helicopter's position split over pan (x, y)
// and dolly (z); the other components are left alone.
TEST_F(SearchlightTest, PlacementFollowsTheHelicopter) {
    searchlightController.pan.translation.z = 0.5f;
    flyAndSteer();
    EXPECT_EQ(searchlightController.pan.translation, Vector3(12, 9, 0.5f));
    EXPECT_EQ(searchlightController.dolly.translation, Vector3(0, 0, -20));
}

// No mouse yet: zero offsets, the beam looks along -z turned by the yaw.
// After the first mouse event (pitch offset 2.1) it points down and ahead.
TEST_F(SearchlightTest, DirectionFromAttitudeAndMouse) {
    placeSearchlight();
    Vector3 d = searchlightDirection();
    EXPECT_NEAR(d.x, 0, 1e-6);
    EXPECT_NEAR(d.y, 0, 1e-6);
    EXPECT_NEAR(d.z, 1, 1e-6);

    searchlightPitchOffset = 2.1f;
    placeSearchlight();
    d = searchlightDirection();
    EXPECT_NEAR(d.length(), 1, 1e-5);
    EXPECT_NEAR(d.y, std::sin(2.1), 1e-5);  // the beam (-d) goes down
    EXPECT_NEAR(d.z, std::cos(2.1), 1e-5);  // and ahead, toward +z

    helicopter.yaw = 90;  // heading +x: the beam turns with it
    placeSearchlight();
    d = searchlightDirection();
    EXPECT_NEAR(d.x, std::cos(2.1), 1e-4);
    EXPECT_NEAR(d.z, 0, 1e-4);
}

// Light 0 sits 3 units above the helicopter, as a point light, and the
// matrix stack is left as it was.
TEST_F(SearchlightTest, LightSitsAboveTheHelicopter) {
    flyAndSteer();
    applyCamera();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    placeSearchlightLight();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);

    float light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);  // eye coordinates
    const Vector3 expected = view.transformPoint(Vector3(12, 12, -20));
    EXPECT_NEAR(light[0], expected.x, 1e-4);
    EXPECT_NEAR(light[1], expected.y, 1e-4);
    EXPECT_NEAR(light[2], expected.z, 1e-4);
    EXPECT_EQ(light[3], 1.0f);
}

// The heart of the projector: a point on the beam's axis maps to the
// image centre (0.5, 0.5) at any distance in front.
TEST_F(SearchlightTest, PointOnTheAxisProjectsToTheImageCentre) {
    flyAndSteer();
    applyCamera();
    beginProjectivePass();
    const Matrix4 toTexture = worldToTexture();
    for (float k : {2.0f, 10.0f, 35.0f}) {
        const Vector3 st = toTexture.transformPoint(alongBeam(k, 0));  // divided by q
        EXPECT_NEAR(st.x, 0.5f, 1e-4) << "distance " << k;
        EXPECT_NEAR(st.y, 0.5f, 1e-4) << "distance " << k;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The image spans the 18-degree frustum: 8 degrees off the axis is inside
// [0, 1], 10 degrees is outside (the half-angle is 9).
TEST_F(SearchlightTest, ImageCoversTheEighteenDegreeCone) {
    flyAndSteer();
    applyCamera();
    beginProjectivePass();
    const Matrix4 toTexture = worldToTexture();
    const float degree = static_cast<float>(M_PI / 180);
    for (float sign : {1.0f, -1.0f}) {
        const Vector3 inside = toTexture.transformPoint(alongBeam(12, sign * 8 * degree));
        EXPECT_GT(inside.x, 0.0f);
        EXPECT_LT(inside.x, 1.0f);
        EXPECT_NEAR(inside.y, 0.5f, 1e-3);
        const Vector3 outside = toTexture.transformPoint(alongBeam(12, sign * 10 * degree));
        EXPECT_TRUE(outside.x < 0.0f || outside.x > 1.0f) << "s = " << outside.x;
    }
}

// Projective state on, regular state off again; the spotlight image bound.
TEST_F(SearchlightTest, PassesSwitchGenerationAndTexture) {
    flyAndSteer();
    applyCamera();
    beginProjectivePass();
    for (GLenum g : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q})
        EXPECT_TRUE(glIsEnabled(g));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), spotlightTexture.name);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    beginRegularPass();
    for (GLenum g : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q})
        EXPECT_FALSE(glIsEnabled(g));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    const Matrix4 texture = readGLMatrix(GL_TEXTURE_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(texture.m[i], Matrix4().m[i]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The regular pass's cull matrix takes points where GL itself puts them:
// compared with the window coordinates GL's feedback mode reports.
TEST_F(SearchlightTest, RegularCullMatrixMatchesGLTransform) {
    applyCamera();
    beginRegularPass();
    const Vector3 points[] = {{10, 0, -10}, {3, 2, -4}, {14, 2, -12}};
    GLfloat feedback[64];
    glFeedbackBuffer(64, GL_3D, feedback);
    glRenderMode(GL_FEEDBACK);
    glBegin(GL_POINTS);
    for (const Vector3& p : points) glVertex3f(p.x, p.y, p.z);
    glEnd();
    const GLint written = glRenderMode(GL_RENDER);
    ASSERT_EQ(written, 12);  // three point tokens of x, y, z
    for (int i = 0; i < 3; ++i) {
        const Vector3 ndc = cullMatrix.transformPoint(points[i]);
        EXPECT_NEAR((ndc.x + 1) / 2 * 1280, feedback[4 * i + 1], 0.05) << "point " << i;
        EXPECT_NEAR((ndc.y + 1) / 2 * 1024, feedback[4 * i + 2], 0.05) << "point " << i;
        EXPECT_NEAR((ndc.z + 1) / 2, feedback[4 * i + 3], 1e-4) << "point " << i;
    }
}

// The projective pass culls against the searchlight's frustum out to 50
// units, whatever the camera; and it leaves the camera's view in place.
TEST_F(SearchlightTest, ProjectiveCullMatrixIsTheBeamsFrustum) {
    flyAndSteer();
    applyCamera();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    beginProjectivePass();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(readGLMatrix(GL_MODELVIEW_MATRIX).m[i], view.m[i]);

    auto inside = [](const Vector3& p) {
        const Vector3 c = cullMatrix.transformPoint(p);
        return std::fabs(c.x) < 1 && std::fabs(c.y) < 1 && std::fabs(c.z) < 1;
    };
    const float degree = static_cast<float>(M_PI / 180);
    EXPECT_TRUE(inside(alongBeam(10, 0)));
    EXPECT_TRUE(inside(alongBeam(49, 0)));
    EXPECT_FALSE(inside(alongBeam(51, 0)));
    EXPECT_TRUE(inside(alongBeam(20, 8 * degree)));
    EXPECT_FALSE(inside(alongBeam(20, 10 * degree)));
    EXPECT_FALSE(inside(alongBeam(-10, 0)));  // behind the helicopter
}

}  // namespace

// The screen box of the beam: a beam straight down from 10 units, seen by a
// camera that maps x and z (by 1/20) straight onto the screen, lights the
// square of half side 10.5 t at the lowest height; the box holds
// it with a pixel to spare and no more.
TEST(SearchlightScreenBoxTest, BoundsTheBeamsSliceAndGivesUpWhereItCannot) {
    const float t = 0.5f;
    const Vector3 apex(0, 10, 0), right(1, 0, 0), up(0, 0, 1), back(0, 1, 0);
    Matrix4 topView(1.0f / 20, 0, 0, 0, 0, 0, 1.0f / 20, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    const int viewport[4] = {0, 0, 200, 200};
    ScreenBox box;
    ASSERT_TRUE(coneScreenBox(apex, right, up, back, t, -0.5f, 5.5f, topView, viewport, box));
    // Half side 10.5 t = 5.25 units = 26.25 pixels about the centre 100.
    EXPECT_EQ(box.x, 72);
    EXPECT_EQ(box.y, 72);
    EXPECT_EQ(box.width, 56);
    EXPECT_EQ(box.height, 56);
    // Off to the side, the box is clamped to the viewport.
    Matrix4 shifted = topView;
    shifted.at(0, 3) = 0.9f;
    ASSERT_TRUE(coneScreenBox(apex, right, up, back, t, -0.5f, 5.5f, shifted, viewport, box));
    EXPECT_EQ(box.x + box.width, 200);
    EXPECT_EQ(box.x, 72 + 90);
    // No bound: a beam along the horizon, an apex among the buildings, and
    // a slice behind the camera (w below zero).
    EXPECT_FALSE(coneScreenBox(apex, right, Vector3(0, 1, 0), Vector3(0, 0, 1), t, -0.5f, 5.5f, topView,
                               viewport, box));
    EXPECT_FALSE(coneScreenBox(Vector3(0, 5, 0), right, up, back, t, -0.5f, 5.5f, topView, viewport, box));
    Matrix4 behind = topView;
    behind.at(3, 3) = -1;
    EXPECT_FALSE(coneScreenBox(apex, right, up, back, t, -0.5f, 5.5f, behind, viewport, box));
}
