// glut_platform.cpp -- freeglut behind the platform interface.
#include "app/glut_platform.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

// Last: Xlib defines macros (None, Bool, Status) that other headers use as names.
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
