// The helicopter inside the real game loop: keys arrive through keyboard(),
// ticks through idle() and display() on the offscreen platform's virtual
// clock, with the scene that initScene() builds from the data files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/platform.h"
#include "helicopter/helicopter.h"
#include "support/gl_context.h"

namespace {

constexpr double turnSeconds = 1.0 / 60;

class FlightLoopTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        static OffscreenPlatform platform;  // outlives every test: the frame timer reads its clock
        static bool started = false;
        if (!started) {
            ASSERT_EQ(chdir(SEARCHLIGHT_DATA_DIR), 0);
            installPlatform(&platform);
            initScene();
            startGame();
            keyboard(' ', 0, 0);  // past the title
            keyboardUp(' ', 0, 0);
            started = true;
        }
        clock = &platform;
        reshape(320, 256);  // a small view keeps software rendering quick
    }
    void turns(int n) {
        for (int i = 0; i < n; ++i) {
            clock->advanceClock(turnSeconds);
            idle();
            display();
        }
    }
    OffscreenPlatform* clock = nullptr;
};

// A second of "w": the speed builds as over 70 reference ticks, whatever the
// length of the game's turns, the helicopter flies along its
// heading at its altitude, pitches nose-down, and the camera comes along.
// Released, it keeps closing on the target for 0.2 s, then slows.
TEST_F(FlightLoopTest, HoldingForwardFliesAndTheCameraFollows) {
    turns(30);  // settle: the capture frame and the camera's ease back
    ASSERT_EQ(helicopter.forwardSpeed, 0.0f);
    const Vector3 start = helicopter.position;
    const Vector3 heading = helicopter.lookPoint - helicopter.position;
    const Vector3 eyeBefore = camera.eye;

    keyboard('w', 0, 0);
    turns(60);
    keyboardUp('w', 0, 0);
    EXPECT_NEAR(helicopter.forwardSpeed, 0.1 * (1 - std::pow(0.9, 60 * turnSeconds / referenceTick)), 1e-5);
    EXPECT_NEAR(helicopter.pitch, helicopter.forwardSpeed / 0.1f * 20, 1e-3);

    const Vector3 moved = helicopter.position - start;
    EXPECT_EQ(helicopter.position.y, start.y);
    const float along = moved.x * heading.x + moved.z * heading.z;
    const float across = moved.x * heading.z - moved.z * heading.x;
    EXPECT_GT(along, 0.0f);
    EXPECT_NEAR(across, 0.0f, 1e-3f * std::fabs(along));
    // 70 reference ticks at a mean speed near 0.09, 78 % horizontal.
    EXPECT_GT(moved.length(), 2.5f);
    EXPECT_LT(moved.length(), 5.0f);
    EXPECT_GT((camera.eye - eyeBefore).dot(moved), 0.0f);

    const float released = helicopter.forwardSpeed;
    turns(6);  // within the 0.2 s window: still approaching
    EXPECT_GT(helicopter.forwardSpeed, released);
    const float peak = helicopter.forwardSpeed;
    turns(30);
    EXPECT_LT(helicopter.forwardSpeed, peak * 0.95f * 0.95f);
}

// Holding "x" sends one police car however many presses repeat; each new
// press sends one more. None counts against the searchlight's five.
TEST_F(FlightLoopTest, EachPressOfXSendsOnePoliceCar) {
    const size_t before = policeCars.size();
    const int spawnedBefore = policeSpawned;
    keyboard('x', 0, 0);
    keyboard('x', 0, 0);
    keyboard('x', 0, 0);
    turns(2);
    EXPECT_EQ(policeCars.size(), before + 1);
    keyboardUp('x', 0, 0);
    keyboard('x', 0, 0);
    keyboardUp('x', 0, 0);
    turns(2);
    EXPECT_EQ(policeCars.size(), before + 2);
    EXPECT_EQ(policeSpawned, spawnedBefore);
}

}  // namespace
