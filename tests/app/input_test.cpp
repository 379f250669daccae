// Keyboard and mouse input: the title comes first, Escape, the chase-camera
// keys with their floor, one action per press, the held-key table's order,
// and the searchlight steering with its clamps.
#include <gtest/gtest.h>

#include <cmath>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/platform.h"
#include "helicopter/helicopter.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        installPlatform(&platform);
        titleActive = false;
        mapCapturePending = false;
        pursuitActive = false;
        fugitiveLit = true;
        for (bool& k : keyDown) k = false;
        gameTime = 0;
        helicopter.chaseBehindX = 2, helicopter.chaseHeight = 5, helicopter.chaseBehindZ = 2;
        helicopter.lateralTarget = helicopter.forwardTarget = 0;
        helicopter.lateralInputTime = helicopter.forwardInputTime = 0;
        helicopter.position = Vector3(0, 9, -5);
        helicopter.lookPoint = Vector3(0, 5, 0);
        helicopter.yaw = helicopter.pitch = helicopter.roll = 0;
        mouseSeen = false;
        lastMouseX = lastMouseY = mouseDeltaX = mouseDeltaY = 0;
        searchlightYawOffset = searchlightPitchOffset = 0;
    }
    void TearDown() override { titleActive = true; }
    static void press(unsigned char key) {
        keyboard(key, 0, 0);
        keyboardUp(key, 0, 0);
    }
    static void expectChase(float behindX, float height, float behindZ) {
        EXPECT_EQ(helicopter.chaseBehindX, behindX);
        EXPECT_EQ(helicopter.chaseHeight, height);
        EXPECT_EQ(helicopter.chaseBehindZ, behindZ);
    }
    // One press, then the chase offsets it must leave.
    static void pressExpecting(unsigned char key, float behindX, float height, float behindZ) {
        SCOPED_TRACE(testing::Message() << "after \"" << key << "\"");
        press(key);
        expectChase(behindX, height, behindZ);
    }
    OffscreenPlatform platform;
};

// The first key, whatever it is, only ends the title and schedules the map
// capture from high above; it is not even recorded as held.
TEST_F(InputTest, FirstKeyOnlyDismissesTheTitle) {
    titleActive = true;
    keyboard('[', 0, 0);
    EXPECT_FALSE(titleActive);
    EXPECT_TRUE(mapCapturePending);
    EXPECT_EQ(camera.eye, Vector3(0, 300, 0));
    EXPECT_EQ(camera.centre, Vector3(0, 0, 0));
    EXPECT_FALSE(keyDown['[']);
    expectChase(2, 5, 2);
}

TEST_F(InputTest, FirstEscapeDismissesSecondQuits) {
    titleActive = true;
    keyboard(27, 0, 0);
    EXPECT_FALSE(platform.quitRequested);
    keyboard(27, 0, 0);
    EXPECT_TRUE(platform.quitRequested);
    EXPECT_EQ(platform.quitStatus, 0);
    EXPECT_EQ(platform.swapCount, 1);
}

// "-" lowers by 2 but never below 1.5; "=" raises without limit and puts
// the camera back behind.
TEST_F(InputTest, ChaseHeightKeys) {
    pressExpecting('-', 2, 3, 2);
    pressExpecting('-', 2, 1.5f, 2);
    pressExpecting('-', 2, 1.5f, 2);
    helicopter.chaseBehindX = helicopter.chaseBehindZ = 0;
    for (int i = 0; i < 10; ++i) press('=');
    expectChase(2, 21.5f, 2);
}

// "[" puts the camera in the cockpit; "-" then gives (0, 1.5, 0) (a mixed
// set: the helicopter keeps its visibility); "]" restores the chase view.
TEST_F(InputTest, CockpitThenLowerThenBack) {
    pressExpecting('[', 0, 0, 0);
    pressExpecting('-', 0, 1.5f, 0);
    pressExpecting(']', 2, 5, 2);
}

// A press arriving while the key is still down is a repeat: ignored, so a
// held key acts once; after the release the next press acts again.
TEST_F(InputTest, RepeatedPressWhileHeldActsOnce) {
    keyboard('=', 0, 0);
    keyboard('=', 0, 0);
    keyboard('=', 0, 0);
    EXPECT_EQ(helicopter.chaseHeight, 7.0f);
    keyboardUp('=', 0, 0);
    keyboard('=', 0, 0);
    EXPECT_EQ(helicopter.chaseHeight, 9.0f);
}

// Keys released while another window had the keyboard focus never come up
// here. Once the platform reports the focus lost, no key stays held: the
// next press of an action key acts (the repeat guard does not swallow it),
// and a flight or turn key held before acts no more.
TEST_F(InputTest, LostFocusReleasesEveryKey) {
    keyboard('=', 0, 0);
    keyboard('w', 0, 0);
    keyboard('q', 0, 0);
    EXPECT_EQ(helicopter.chaseHeight, 7.0f);
    platform.focusLost = true;  // their releases went to another window
    keyboard('=', 0, 0);        // back in the game, pressed again
    EXPECT_EQ(helicopter.chaseHeight, 9.0f);
    EXPECT_FALSE(keyDown['w']);
    EXPECT_FALSE(keyDown['q']);

    keyboard('w', 0, 0);
    keyboard('q', 0, 0);
    platform.focusLost = true;  // lost again, noticed by the next tick
    gameTime = 5;
    const float yaw = helicopter.yaw;
    handleHeldKeys(0.1f);
    EXPECT_EQ(helicopter.forwardInputTime, 0.0f);
    EXPECT_EQ(helicopter.yaw, yaw);
    EXPECT_FALSE(keyDown['=']);
    EXPECT_FALSE(platform.focusLost);  // each loss is reported once
    keyboard('w', 0, 0);
    handleHeldKeys(0.1f);
    EXPECT_EQ(helicopter.forwardInputTime, 5.0f);
}

// With both keys of a pair held the later one in the table wins: "d" over
// "a", "s" over "w". Input times take the game time.
TEST_F(InputTest, LaterKeyOfAPairWins) {
    gameTime = 3.25;
    keyboard('a', 0, 0);
    keyboard('d', 0, 0);
    keyboard('w', 0, 0);
    keyboard('s', 0, 0);
    handleHeldKeys(0.016f);
    EXPECT_EQ(helicopter.lateralTarget, helicopter.lateralMax);
    EXPECT_EQ(helicopter.forwardTarget, -helicopter.forwardMax);
    EXPECT_EQ(helicopter.lateralInputTime, 3.25f);
    EXPECT_EQ(helicopter.forwardInputTime, 3.25f);
}

// Bindings are case-sensitive: upper case flies nothing.
TEST_F(InputTest, UpperCaseKeysAreUnbound) {
    keyboard('W', 0, 0);
    keyboard('Q', 0, 0);
    gameTime = 1;
    handleHeldKeys(0.016f);
    EXPECT_EQ(helicopter.forwardTarget, 0.0f);
    EXPECT_EQ(helicopter.forwardInputTime, 0.0f);
    EXPECT_EQ(helicopter.yaw, 0.0f);
}

// "q" turns by dt x 0.03 / 0.01429 radians (about 2.1 rad/s), "e" back.
TEST_F(InputTest, TurnKeysScaleWithTheTick) {
    keyboard('q', 0, 0);
    handleHeldKeys(0.05f);
    EXPECT_NEAR(helicopter.yaw, 0.05 * 0.03 / 0.01429 * 180 / M_PI, 1e-3);
    keyboardUp('q', 0, 0);
    keyboard('e', 0, 0);
    handleHeldKeys(0.05f);
    EXPECT_NEAR(helicopter.yaw, 0, 1e-4);
}

// "z" and "c" turn the chase camera's view about the vertical.
TEST_F(InputTest, ViewKeysTurnTheChaseCamera) {
    helicopter.attachCamera(camera);
    const Vector3 before = camera.centre - camera.eye;
    keyboard('c', 0, 0);
    handleHeldKeys(referenceTick);  // 0.1 radians per reference tick
    const Vector3 after = camera.centre - camera.eye;
    EXPECT_NEAR(after.length(), before.length(), 1e-4);
    EXPECT_NEAR(after.y, before.y, 1e-5);
    const float turned = std::atan2(after.x, after.z) - std::atan2(before.x, before.z);
    EXPECT_NEAR(turned, 0.1f, 1e-4);
}

// The space bar held suspends the pursuit; every tick asks for a redisplay.
TEST_F(InputTest, SpaceBarSuspendsThePursuit) {
    handleHeldKeys(0.016f);
    EXPECT_TRUE(pursuitActive);
    EXPECT_TRUE(platform.redisplayPosted);
    keyboard(' ', 0, 0);
    handleHeldKeys(0.016f);
    EXPECT_FALSE(pursuitActive);
    keyboardUp(' ', 0, 0);
    handleHeldKeys(0.016f);
    EXPECT_TRUE(pursuitActive);
}

// Police hunt only a fugitive the last frame found in the beam: unlit, the
// pursuit stays off with the space bar free; lit again, it resumes.
TEST_F(InputTest, UnlitFugitiveKeepsThePursuitOff) {
    fugitiveLit = false;
    handleHeldKeys(0.016f);
    EXPECT_FALSE(pursuitActive);
    fugitiveLit = true;
    handleHeldKeys(0.016f);
    EXPECT_TRUE(pursuitActive);
    keyboard(' ', 0, 0);  // lit, but the space bar held
    handleHeldKeys(0.016f);
    EXPECT_FALSE(pursuitActive);
}

// The first mouse event has zero deltas: only the clamp moves the pitch
// offset, up to 2.1. Later moves steer by 0.01 rad per pixel, within
// -0.4 .. 0.4 of yaw and 2.1 .. 2.9 of pitch.
TEST_F(InputTest, MouseSteersTheSearchlightWithinLimits) {
    passiveMotion(640, 512);
    EXPECT_TRUE(mouseSeen);
    EXPECT_NEAR(searchlightPitchOffset, 2.1f, 1e-6);
    EXPECT_EQ(searchlightYawOffset, 0.0f);

    passiveMotion(630, 482);  // 10 px left, 30 px up
    EXPECT_NEAR(searchlightYawOffset, -0.1f, 1e-6);
    EXPECT_NEAR(searchlightPitchOffset, 2.4f, 1e-6);

    passiveMotion(0, 0);
    EXPECT_EQ(searchlightYawOffset, -0.4f);
    EXPECT_EQ(searchlightPitchOffset, 2.9f);
    passiveMotion(1000, 1000);
    EXPECT_EQ(searchlightYawOffset, 0.4f);
    EXPECT_EQ(searchlightPitchOffset, 2.1f);
}

}  // namespace
