// platform.h -- the thin layer between the game and its window system.
//
// The game never calls GLUT directly outside main(): it asks the installed
// Platform to post a redisplay, swap buffers, read the modifier keys, go full
// screen, quit, and to read the monotonic clock. The window build installs
// the GLUT platform; tests and tools install the offscreen one, whose clock
// is virtual and advanced by the driver.
#pragma once

#include <cstdint>

class Platform {
public:
    virtual ~Platform() = default;
    virtual void postRedisplay() = 0;
    virtual void swapBuffers() = 0;
    virtual int modifiers() = 0;  // GLUT_ACTIVE_SHIFT 1, _CTRL 2, _ALT 4
    virtual void fullScreen() = 0;
    // Ends the game with this status. The window platform returns, leaves
    // its main loop once the running callback is done and lets main() close
    // down; nothing of the game acts after the call.
    virtual void quit(int status) = 0;
    // Monotonic clock in microseconds since an arbitrary origin.
    virtual std::int64_t clockMicroseconds() = 0;
    // Returns once clockMicroseconds() has reached the given reading; the
    // window's platform sleeps meanwhile.
    virtual void sleepUntil(std::int64_t microseconds) = 0;
    // True once for each loss of the keyboard focus since the last call. A
    // key released while another window has the focus never reports its
    // release to the game, which therefore forgets its held keys then.
    virtual bool keyboardFocusLost() = 0;
    // Shows or hides the mouse pointer over the game's window.
    virtual void showPointer(bool shown) = 0;
};

// The installed platform; the offscreen one until main() installs GLUT's.
Platform& platform();
void installPlatform(Platform* p);

// Offscreen platform: nothing is shown, the clock only moves when told.
class OffscreenPlatform : public Platform {
public:
    void postRedisplay() override { redisplayPosted = true; }
    void swapBuffers() override { ++swapCount; }
    int modifiers() override { return heldModifiers; }
    void fullScreen() override { fullScreenRequested = true; }
    void quit(int status) override {
        quitRequested = true;
        quitStatus = status;
    }
    std::int64_t clockMicroseconds() override { return virtualMicroseconds; }
    // Moves the virtual clock on to that reading at once.
    void sleepUntil(std::int64_t microseconds) override {
        ++sleepCount;
        if (microseconds > virtualMicroseconds) virtualMicroseconds = microseconds;
    }
    bool keyboardFocusLost() override {
        const bool lost = focusLost;
        focusLost = false;
        return lost;
    }

    void showPointer(bool shown) override { pointerShown = shown; }

    void advanceClock(double seconds) {
        virtualMicroseconds += static_cast<std::int64_t>(seconds * 1e6 + 0.5);
    }

    bool redisplayPosted = false;
    bool fullScreenRequested = false;
    bool quitRequested = false;
    int quitStatus = 0;
    int heldModifiers = 0;
    bool focusLost = false;  // set by a test: another window took the keyboard
    bool pointerShown = true;
    long swapCount = 0;
    long sleepCount = 0;
    std::int64_t virtualMicroseconds = 0;
};

// Stand-ins for the performance counter the frame timer was written against:
// ticks of one microsecond from the platform's monotonic clock.
std::int64_t queryPerformanceFrequency();
std::int64_t queryPerformanceCounter();
