// glut_platform.h -- the platform of the windowed game, backed by freeglut.
#pragma once

#include <string>

#include "app/platform.h"

class DisplayCheck;

class GlutPlatform : public Platform {
public:
    void postRedisplay() override;
    void swapBuffers() override;
    int modifiers() override;
    void fullScreen() override;
    // Leaves GLUT's main loop after the running callback; main() then
    // closes down and returns the status.
    void quit(int status) override;
    std::int64_t clockMicroseconds() override;  // CLOCK_MONOTONIC
    void sleepUntil(std::int64_t microseconds) override;
    // Asks the GL to swap in step with the display's refresh (one refresh
    // per swap), where GLX offers swap control; the current context's
    // window. False when no swap control is offered.
    bool syncSwapsToRefresh();
    bool keyboardFocusLost() override;
    void showPointer(bool shown) override;
    // The game's request for full screen is then ignored (--windowed).
    void stayWindowed() { windowed = true; }
    // WM_CLASS of the current GL drawable, GLUT's window.
    void nameWindowClass(const char* name, const char* className);

    // freeglut reports no focus changes, so the platform watches the window
    // GLUT has just created (the current GL drawable) for them through a
    // connection of its own to the display: the one the display check
    // opened, which it takes over. Without it no loss is reported.
    void watchKeyboardFocus(DisplayCheck& check);
    void closeFocusWatch();

    // True once quit() was called: GLUT may still deliver the events it
    // already read, and idle runs once more before the loop returns.
    bool leaving() const { return leavingLoop; }
    int status() const { return exitStatus; }

private:
    void* focusConnection = nullptr;  // Xlib's Display
    bool leavingLoop = false;
    bool windowed = false;
    int exitStatus = 0;
};

// A connection to the X display that glutInit will open: the one named by
// a "-display NAME" argument, else $DISPLAY. Asked before glutInit, which on
// its own ends the process with a message of its own when there is no
// display. Keep it open until GLUT has its own connection: closing the only
// client of a server makes the server reset, and a connection made during
// the reset fails.
class DisplayCheck {
public:
    DisplayCheck() = default;
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;
    ~DisplayCheck() { close(); }

    // True when the display could be opened; name() then or otherwise tells
    // which one was tried ("" when none is set).
    bool open(int argc, char** argv);
    void close();
    // Hands the open connection (Xlib's Display, or null) to the caller,
    // who then closes it.
    void* release();
    const std::string& name() const { return displayName; }

private:
    std::string displayName;
    void* connection = nullptr;  // Xlib's Display, kept out of this header
};
