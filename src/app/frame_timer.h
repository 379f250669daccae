// frame_timer.h -- wall-clock seconds between simulation ticks.
//
// Reads the performance counter of the platform layer (microsecond ticks).
// The idle step reads elapsedSeconds(), then reset() and start() every tick.
#pragma once

#include <cstdint>

class FrameTimer {
public:
    FrameTimer();

    double nowSeconds();  // counter reading in seconds
    // Starting a running timer discards what was accumulated.
    void start();
    void stop();   // adds the running interval; nothing when stopped
    void reset();  // stops and clears the sum
    double elapsedSeconds();

    double startTime = 0;
    double accumulated = 0;
    bool running = false;
    std::int64_t counterValue = 0;
    std::int64_t counterFrequency = 0;
    double secondsPerTick = 0;  // 0 when the counter has no frequency
};
