// frame_limiter.cpp -- the wait between frame starts.
#include "app/frame_limiter.h"

#include "app/platform.h"

void FrameLimiter::awaitFrameStart(Platform& platform) {
    std::int64_t now = platform.clockMicroseconds();
    if (started && now < previousStart + interval) {
        platform.sleepUntil(previousStart + interval);
        now = platform.clockMicroseconds();
    }
    previousStart = now;
    started = true;
}
