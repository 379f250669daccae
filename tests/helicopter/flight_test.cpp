// The flight model: speed smoothing per tick and its 0.2 s input window,
// bank and pitch from speed, turning, strafing, the fixed altitude, and the
// chase camera it drags behind it.
#include <gtest/gtest.h>

#include <cmath>

#include "app/camera.h"
#include "helicopter/helicopter.h"

namespace {

constexpr float tolerance = 1e-5f;

// One idle tick of forward flight with "w" held at game time now.
void holdForward(Helicopter& h, double now) {
    h.forwardTarget = h.forwardMax;
    h.forwardInputTime = static_cast<float>(now);
    h.updateForwardSpeed(now, referenceTick);
}

TEST(FlightTest, WithoutInputItHoversInPlace) {
    Helicopter h;
    Camera camera;
    h.attachCamera(camera);
    h.computeRight();
    double now = 0;
    for (int i = 0; i < 100; ++i) {
        now += 0.016;
        h.updateLateralSpeed(now, 0.016f);
        h.updateForwardSpeed(now, 0.016f);
        h.update(0.016f);
    }
    EXPECT_EQ(h.position, Vector3(0, 9, -5));
    EXPECT_EQ(h.lookPoint, Vector3(0, 5, 0));
    EXPECT_EQ(h.forwardSpeed, 0.0f);
    EXPECT_EQ(h.lateralSpeed, 0.0f);
}

// After n ticks of "w" the speed is 0.1 (1 - 0.9^n), the pitch follows it
// up to 20 degrees at full speed.
TEST(FlightTest, HeldForwardApproachesMaximumGeometrically) {
    Helicopter h;
    double now = 0;
    for (int n = 1; n <= 40; ++n) {
        now += 0.02;
        holdForward(h, now);
        const double expected = 0.1 * (1 - std::pow(0.9, n));
        ASSERT_NEAR(h.forwardSpeed, expected, 1e-6) << "tick " << n;
        ASSERT_NEAR(h.pitch, expected / 0.1 * 20, 1e-4) << "tick " << n;
    }
    for (int n = 0; n < 200; ++n) holdForward(h, now += 0.02);
    EXPECT_NEAR(h.pitch, 20, 1e-3);
    EXPECT_EQ(h.roll, 0.0f);  // forward flight does not bank
}

// Inside the window (last input + 0.2 s, inclusive) the speed still closes
// on the last target; just after it, it decays by 5 % per tick.
TEST(FlightTest, DecayStartsJustAfterTheInputWindow) {
    Helicopter inside, after;
    for (Helicopter* h : {&inside, &after})
        for (int n = 0; n < 30; ++n) holdForward(*h, 0.5);
    const double windowEnd = static_cast<double>(inside.forwardInputTime) + 0.2;
    const float before = inside.forwardSpeed;

    inside.updateForwardSpeed(windowEnd, referenceTick);
    EXPECT_NEAR(inside.forwardSpeed, before + (0.1f - before) * 0.1f, 1e-7);

    after.updateForwardSpeed(std::nextafter(windowEnd, 10.0), referenceTick);
    EXPECT_NEAR(after.forwardSpeed, before * 0.95f, 1e-7);
    after.updateForwardSpeed(5.0, referenceTick);
    EXPECT_NEAR(after.forwardSpeed, before * 0.95f * 0.95f, 1e-7);
    EXPECT_NEAR(after.pitch, after.forwardSpeed / 0.1f * 20, 1e-4);
}

// "w" released and "s" pressed within 0.2 s: the speed runs smoothly through
// zero toward -0.1, every step an approach and none a decay.
TEST(FlightTest, ReversalWithinTheWindowDoesNotDecay) {
    Helicopter h;
    double now = 0;
    for (int n = 0; n < 20; ++n) holdForward(h, now += 0.016);
    now += 0.15;  // released for less than the window
    bool crossedZero = false;
    for (int n = 0; n < 60; ++n) {
        now += 0.016;
        const float before = h.forwardSpeed;
        h.forwardTarget = -h.forwardMax;
        h.forwardInputTime = static_cast<float>(now);
        h.updateForwardSpeed(now, referenceTick);
        ASSERT_NEAR(h.forwardSpeed, before + (-0.1f - before) * 0.1f, 1e-7) << "tick " << n;
        ASSERT_LT(h.forwardSpeed, before);
        crossedZero = crossedZero || (before > 0 && h.forwardSpeed <= 0);
    }
    EXPECT_TRUE(crossedZero);
    EXPECT_LT(h.pitch, -19);
}

// Lateral speed banks the helicopter: "d" (positive target) rolls positive.
TEST(FlightTest, LateralSpeedSetsTheBank) {
    Helicopter h;
    for (int n = 0; n < 200; ++n) {
        h.lateralTarget = h.lateralMax;
        h.lateralInputTime = 1;
        h.updateLateralSpeed(1, referenceTick);
    }
    EXPECT_NEAR(h.roll, 20, 1e-3);
    EXPECT_EQ(h.pitch, 0.0f);
}

// A positive turn swings the heading from +z toward +x; a full turn brings
// the look point back and adds 360 degrees of yaw.
TEST(FlightTest, TurnsAboutTheVertical) {
    Helicopter h;
    h.turn(static_cast<float>(M_PI / 2));
    EXPECT_NEAR(h.lookPoint.x, 5, tolerance);
    EXPECT_NEAR(h.lookPoint.z, -5, tolerance);
    EXPECT_NEAR(h.yaw, 90, 1e-4);
    EXPECT_EQ(h.position, Vector3(0, 9, -5));
    h.turn(static_cast<float>(3 * M_PI / 2));
    EXPECT_NEAR(h.lookPoint.x, 0, 1e-5);
    EXPECT_NEAR(h.lookPoint.y, 5, 1e-5);
    EXPECT_NEAR(h.lookPoint.z, 0, 1e-5);
    EXPECT_NEAR(h.yaw, 360, 1e-3);
}

// right is zero until computeRight, so strafing moves nothing before it.
TEST(FlightTest, StrafeNeedsComputeRightFirst) {
    Helicopter h;
    EXPECT_EQ(h.right, Vector3(0, 0, 0));
    h.strafe(3);
    EXPECT_EQ(h.position, Vector3(0, 9, -5));
    h.computeRight();
    // Facing +z with +y up, the right-hand side is -x.
    EXPECT_NEAR(h.right.x, -1, tolerance);
    EXPECT_NEAR(h.right.y, 0, tolerance);
    EXPECT_NEAR(h.right.z, 0, tolerance);
    h.strafe(3);
    EXPECT_NEAR(h.position.x, -3, tolerance);
    EXPECT_NEAR(h.lookPoint.x, -3, tolerance);
}

// update() moves dt / 0.01429 reference ticks of speed along the full 3D
// heading: with the initial points only 5/sqrt(41) of it is horizontal.
TEST(FlightTest, ForwardMotionPerReferenceTick) {
    Helicopter h;
    Camera camera;
    h.attachCamera(camera);
    h.forwardSpeed = 0.1f;
    h.update(2 * referenceTick);
    EXPECT_NEAR(h.position.z, -5 + 0.2 * 5 / std::sqrt(41.0), tolerance);
    EXPECT_NEAR(h.lookPoint.z, 0.2 * 5 / std::sqrt(41.0), tolerance);
    EXPECT_EQ(h.position.x, 0.0f);
}

// Whatever the manoeuvres, the altitude and the look point's height stay.
TEST(FlightTest, AltitudeNeverChanges) {
    Helicopter h;
    Camera camera;
    h.attachCamera(camera);
    double now = 0;
    for (int n = 0; n < 300; ++n) {
        now += 0.016;
        h.computeRight();
        h.lateralTarget = (n / 50) % 2 ? h.lateralMax : -h.lateralMax;
        h.lateralInputTime = static_cast<float>(now);
        holdForward(h, now);
        h.updateLateralSpeed(now, referenceTick);
        if (n % 3 == 0) h.turn(0.07f);
        h.update(0.016f);
        ASSERT_EQ(h.position.y, 9.0f) << "tick " << n;
        ASSERT_EQ(h.lookPoint.y, 5.0f) << "tick " << n;
    }
    EXPECT_GT(std::fabs(h.position.x) + std::fabs(h.position.z + 5), 1.0f);  // it did fly
}

// attachCamera jumps the camera behind and above, each "behind" offset on
// its own axis of the heading, looking at the ground below the look point;
// followCamera eases it 4 % of the gap per reference tick.
TEST(FlightTest, ChaseCameraSitsBehindAndAbove) {
    Helicopter h;
    Camera camera;
    h.turn(static_cast<float>(M_PI / 4));
    h.chaseBehindX = 1;
    h.chaseHeight = 2;
    h.chaseBehindZ = 3;
    h.attachCamera(camera);
    Vector3 f = h.lookPoint - h.position;
    f.normalize();
    EXPECT_NEAR(camera.eye.x, -f.x * 1, tolerance);
    EXPECT_NEAR(camera.eye.y, 11, tolerance);
    EXPECT_NEAR(camera.eye.z, -5 - f.z * 3, tolerance);
    EXPECT_NEAR(camera.centre.x, h.lookPoint.x, tolerance);
    EXPECT_NEAR(camera.centre.z, h.lookPoint.z, tolerance);
    EXPECT_EQ(camera.centre.y, 0.0f);

    camera.setView(0, 0, 0, 0, 0, 0);
    h.followCamera(referenceTick);
    EXPECT_NEAR(camera.eye.y, 11 * 0.04f, 1e-4);
    EXPECT_NEAR(camera.eyeTarget.z, -5 - f.z * 3, tolerance);
}

TEST(FlightTest, UpdateBeforeAttachingACameraIsHarmless) {
    Helicopter h;
    h.forwardSpeed = 0.1f;
    h.update(0.02f);
    EXPECT_GT(h.position.z, -5.0f);
}

// Visibility follows the chase offsets: all non-zero shows, all zero hides
// once the camera is within 1.0 of its target, mixed keeps the last state.
TEST(FlightTest, HiddenOnlyOnceTheCameraIsInTheCockpit) {
    Helicopter h;
    Camera camera;
    h.attachCamera(camera);
    h.updateVisibility();
    EXPECT_FALSE(h.hidden);

    h.chaseBehindX = h.chaseHeight = h.chaseBehindZ = 0;  // "["
    h.followCamera(0);                                    // targets only
    h.updateVisibility();
    EXPECT_FALSE(h.hidden) << "the camera is still on its way";
    for (int n = 0; n < 400; ++n) h.followCamera(0.016f);
    h.updateVisibility();
    EXPECT_TRUE(h.hidden);

    h.chaseHeight = 1.5f;  // "-" after "[": mixed offsets
    h.updateVisibility();
    EXPECT_TRUE(h.hidden);

    h.chaseBehindX = 2, h.chaseHeight = 5, h.chaseBehindZ = 2;  // "]"
    h.updateVisibility();
    EXPECT_FALSE(h.hidden);
}

}  // namespace
