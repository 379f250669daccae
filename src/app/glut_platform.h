// glut_platform.h -- the platform of the windowed game, backed by freeglut.
#pragma once

#include "app/platform.h"

class GlutPlatform : public Platform {
public:
    void postRedisplay() override;
    void swapBuffers() override;
    int modifiers() override;
    void fullScreen() override;
    void quit(int status) override;
    std::int64_t clockMicroseconds() override;  // CLOCK_MONOTONIC
};
