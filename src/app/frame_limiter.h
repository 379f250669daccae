// frame_limiter.h -- keeps the window's frames at least one reference tick
// apart.
//
// Rules counted per frame or per reference tick (the badge's fill per pass,
// the view turn, the easing of speeds) would run too fast on a machine that
// draws hundreds of frames a second. The window waits out the rest of the
// tick before each frame starts; the wait sleeps on the platform's clock, so
// the processor idles meanwhile. Offscreen drivers set their own pace and do
// not use it.
#pragma once

#include <cstdint>

class Platform;

class FrameLimiter {
public:
    explicit FrameLimiter(std::int64_t intervalMicroseconds) : interval(intervalMicroseconds) {}

    // Called as a frame starts: sleeps until interval after the previous
    // frame's start (not at all on the first frame or when the previous
    // frame took longer), then notes this start.
    void awaitFrameStart(Platform& platform);

    std::int64_t intervalMicroseconds() const { return interval; }

private:
    std::int64_t interval;
    std::int64_t previousStart = 0;
    bool started = false;
};
