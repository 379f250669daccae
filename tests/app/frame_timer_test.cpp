// The frame timer over the platform's counter, driven by the virtual clock.
#include <gtest/gtest.h>

#include "app/frame_timer.h"
#include "app/platform.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { installPlatform(&clock); }
    void TearDown() override { installPlatform(nullptr); }
    void wait(double seconds) { clock.advanceClock(seconds); }
    OffscreenPlatform clock;
};

TEST_F(FrameTimerTest, NeverStartedReportsZero) {
    wait(3);
    FrameTimer t;
    wait(2);
    EXPECT_EQ(t.elapsedSeconds(), 0.0);
    EXPECT_FALSE(t.running);
}

TEST_F(FrameTimerTest, StopOnStoppedChangesNothingAndResetClears) {
    FrameTimer t;
    t.start();
    wait(0.5);
    t.stop();
    const double afterStop = t.elapsedSeconds();
    EXPECT_NEAR(afterStop, 0.5, 1e-9);
    wait(1);
    t.stop();
    EXPECT_EQ(t.elapsedSeconds(), afterStop);

    t.start();
    wait(0.25);
    t.reset();
    EXPECT_FALSE(t.running);
    EXPECT_EQ(t.elapsedSeconds(), 0.0);
}

TEST_F(FrameTimerTest, StopKeepsTheFirstWaitAndRestartAddsToIt) {
    FrameTimer t;
    t.start();
    wait(0.75);
    t.stop();
    wait(5);  // stopped: not counted
    EXPECT_NEAR(t.elapsedSeconds(), 0.75, 1e-9);
    t.start();  // after stop: keeps the sum
    wait(0.25);
    EXPECT_NEAR(t.elapsedSeconds(), 1.0, 1e-9);
    t.start();  // on a running timer: discards the sum
    wait(0.125);
    EXPECT_NEAR(t.elapsedSeconds(), 0.125, 1e-9);
}

// The idle pattern: read, reset, start. Each reading covers one turn.
TEST_F(FrameTimerTest, IdlePatternMeasuresEachTurn) {
    FrameTimer t;
    t.start();
    double total = 0;
    for (int i = 0; i < 60; ++i) {
        wait(1.0 / 60);
        const double e = t.elapsedSeconds();
        EXPECT_NEAR(e, 1.0 / 60, 1e-6);
        total += e;
        t.reset();
        t.start();
    }
    EXPECT_NEAR(total, 1.0, 1e-4);
}

}  // namespace
