// The eased look-at camera: easing rate, the near-target test, turning the
// view, and the view it gives OpenGL.
#include "app/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "support/gl_context.h"

namespace {

// Each reference tick closes 4 % of the gap, eye and centre alike;
// ease(0) moves nothing. Ticks compound: one ease over 2.5 ticks lands where
// ticks of 1, 1 and 0.5 do, so the camera takes the same path at any frame
// rate.
TEST(CameraTest, EaseClosesFourPercentPerTickCompounded) {
    Camera c;
    c.setView(0, 0, 0, 10, 0, 0);
    c.setTargets(100, 0, -50, 10, 20, 0);
    c.ease(0);
    EXPECT_EQ(c.eye, Vector3(0, 0, 0));
    c.ease(1);
    EXPECT_NEAR(c.eye.x, 4, 1e-5);
    EXPECT_NEAR(c.eye.z, -2, 1e-5);
    EXPECT_NEAR(c.centre.y, 0.8f, 1e-5);

    Camera once = c, steps = c;
    once.ease(2.5f);
    for (float ticks : {1.0f, 1.0f, 0.5f}) steps.ease(ticks);
    EXPECT_NEAR(once.eye.x, steps.eye.x, 1e-4);
    EXPECT_NEAR(once.centre.y, steps.centre.y, 1e-5);
    EXPECT_GT(once.eye.x, 4 + 96 * 0.08f);  // more than two ticks, less than three
    EXPECT_LT(once.eye.x, 4 + 96 * 0.12f);
}

// A stall of a second is 70 reference ticks: the camera comes closer the
// longer the tick, but never passes its target.
TEST(CameraTest, LongTickNeverOvershoots) {
    float last = 0;
    for (float ticks : {25.0f, 70.0f, 200.0f, 1000.0f}) {
        Camera c;
        c.setView(0, 0, 0, 10, 0, 0);
        c.setTargets(100, 0, -50, 10, 20, 0);
        c.ease(ticks);
        EXPECT_GT(c.eye.x, last) << ticks;
        EXPECT_LE(c.eye.x, 100.0f) << ticks;
        EXPECT_GE(c.eye.z, -50.0f) << ticks;
        EXPECT_LE(c.centre.y, 20.0f) << ticks;
        last = c.eye.x;
    }
    EXPECT_NEAR(last, 100, 1e-3);
}

// Strictly below r on every axis; one axis at r is not near.
TEST(CameraTest, NearTargetIsStrictOnEveryAxis) {
    Camera c;
    c.setView(0, 0, 0, 0, 0, 0);
    c.setTargets(0.99f, -0.99f, 0.5f, 0, 0, 0);
    EXPECT_TRUE(c.isNearTarget(1.0f));
    c.setTargets(0.99f, -1.0f, 0.5f, 0, 0, 0);
    EXPECT_FALSE(c.isNearTarget(1.0f));
    c.setTargets(0, 0, 1.5f, 0, 0, 0);
    EXPECT_FALSE(c.isNearTarget(1.0f));
}

// A quarter turn about +y carries a view along +z to +x (right-handed);
// the eye and the view distance stay.
TEST(CameraTest, RotateViewTurnsAboutTheEye) {
    Camera c;
    c.setView(1, 2, 3, 1, 2, 8);
    c.rotateView(static_cast<float>(M_PI / 2), Vector3(0, 1, 0));
    EXPECT_EQ(c.eye, Vector3(1, 2, 3));
    EXPECT_NEAR(c.centre.x, 6, 1e-5);
    EXPECT_NEAR(c.centre.y, 2, 1e-5);
    EXPECT_NEAR(c.centre.z, 3, 1e-5);
    EXPECT_EQ(c.up, Vector3(0, 1, 0));
}

class CameraGLTest : public GLTest {};

// apply() puts the eye at the origin of eye space, looking down -z.
TEST_F(CameraGLTest, ApplyLooksFromEyeToCentre) {
    Camera c;
    c.setView(3, 9, -4, 7, 1, 2);
    c.apply();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    const Vector3 eye = view.transformPoint(c.eye);
    EXPECT_NEAR(eye.length(), 0, 1e-5);
    const Vector3 centre = view.transformPoint(c.centre);
    EXPECT_NEAR(centre.x, 0, 1e-5);
    EXPECT_NEAR(centre.y, 0, 1e-5);
    EXPECT_NEAR(centre.z, -(c.centre - c.eye).length(), 1e-4);
}

}  // namespace
