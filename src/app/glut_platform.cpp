// glut_platform.cpp -- freeglut behind the platform interface.
#include "app/glut_platform.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

// Last: Xlib defines macros (None, Bool, Status) that other headers use as names.
#include <GL/glx.h>
#include <X11/Xlib.h>

void GlutPlatform::postRedisplay() { glutPostRedisplay(); }

void GlutPlatform::swapBuffers() { glutSwapBuffers(); }

int GlutPlatform::modifiers() { return glutGetModifiers(); }

void GlutPlatform::fullScreen() { glutFullScreen(); }

void GlutPlatform::quit(int status) { std::exit(status); }

std::int64_t GlutPlatform::clockMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void GlutPlatform::watchKeyboardFocus(const std::string& displayName) {
    const GLXDrawable window = glXGetCurrentDrawable();
    if (window == 0 || focusConnection) return;
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display) return;
    // Each client chooses its own events on a window: GLUT's are untouched.
    XSelectInput(display, window, FocusChangeMask);
    XFlush(display);
    focusConnection = display;
}

bool GlutPlatform::keyboardFocusLost() {
    Display* display = static_cast<Display*>(focusConnection);
    if (!display) return false;
    bool lost = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        // Focus moving into a child of the window stays with the game.
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior) lost = true;
    }
    return lost;
}

bool DisplayCheck::open(int argc, char** argv) {
    close();
    const char* requested = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) requested = argv[i + 1];
    }
    displayName = XDisplayName(requested);
    connection = XOpenDisplay(requested);
    return connection != nullptr;
}

void DisplayCheck::close() {
    if (connection) XCloseDisplay(static_cast<Display*>(connection));
    connection = nullptr;
}
