// frame_timer.cpp -- the tick timer over the platform's performance counter.
#include "app/frame_timer.h"

#include "app/platform.h"

FrameTimer::FrameTimer() {
    counterFrequency = queryPerformanceFrequency();
    // A counter without a frequency cannot measure time: report none rather
    // than dividing by zero.
    secondsPerTick = counterFrequency > 0 ? 1.0 / static_cast<double>(counterFrequency) : 0.0;
    accumulated = 0;
    startTime = 0;
    running = false;
}

double FrameTimer::nowSeconds() {
    counterValue = queryPerformanceCounter();
    return static_cast<double>(counterValue) * secondsPerTick;
}

void FrameTimer::start() {
    if (running) accumulated = 0;
    running = true;
    startTime = nowSeconds();
}

void FrameTimer::stop() {
    if (!running) return;
    running = false;
    accumulated += nowSeconds() - startTime;
}

void FrameTimer::reset() {
    running = false;
    accumulated = 0;
}

double FrameTimer::elapsedSeconds() {
    if (running) return nowSeconds() + accumulated - startTime;
    return accumulated;
}
