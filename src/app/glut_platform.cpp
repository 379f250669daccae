// glut_platform.cpp -- freeglut behind the platform interface.
#include "app/glut_platform.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <ctime>

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
