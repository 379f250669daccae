// The frame limiter on the offscreen platform's virtual clock: it waits out
// the rest of the interval between frame starts, and only that.
#include "app/frame_limiter.h"

#include <gtest/gtest.h>

#include "app/platform.h"

namespace {

constexpr std::int64_t tick = 14290;  // microseconds

TEST(FrameLimiterTest, FirstFrameStartsAtOnce) {
    OffscreenPlatform clock;
    clock.virtualMicroseconds = 5000000;
    FrameLimiter limiter(tick);
    limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, 5000000);
    EXPECT_EQ(clock.sleepCount, 0);
}

TEST(FrameLimiterTest, QuickFramesWaitForTheRestOfTheTick) {
    OffscreenPlatform clock;
    FrameLimiter limiter(tick);
    limiter.awaitFrameStart(clock);
    // A frame of 3 ms: the next start waits until one tick after the first.
    clock.advanceClock(0.003);
    limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, tick);
    EXPECT_EQ(clock.sleepCount, 1);
    // Frames that take no time at all still come one tick apart: a hundred
    // of them span a hundred ticks, about 70 a second.
    for (int i = 0; i < 100; ++i) limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, 101 * tick);
}

TEST(FrameLimiterTest, SlowFramesAreNotHeldBack) {
    OffscreenPlatform clock;
    FrameLimiter limiter(tick);
    limiter.awaitFrameStart(clock);
    clock.advanceClock(0.040);  // a 40 ms frame
    limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, 40000);
    EXPECT_EQ(clock.sleepCount, 0);
    // The next interval counts from that late start, not from the schedule.
    clock.advanceClock(0.005);
    limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, 40000 + tick);
    // Exactly one tick later is soon enough.
    clock.advanceClock(tick * 1e-6);
    limiter.awaitFrameStart(clock);
    EXPECT_EQ(clock.virtualMicroseconds, 40000 + 2 * tick);
    EXPECT_EQ(clock.sleepCount, 1);
}

}  // namespace
