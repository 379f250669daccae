// glut_platform.h -- the platform of the windowed game, backed by freeglut.
#pragma once

#include <string>

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

// Whether the X display that glutInit would open can be opened: the one
// named by a "-display NAME" argument, else $DISPLAY. displayName receives
// the name tried ("" when none is set). Asked before glutInit, which on its
// own ends the process with a message of its own when there is no display.
bool canOpenDisplay(int argc, char** argv, std::string& displayName);
