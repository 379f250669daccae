// screen_shape.cpp -- the view projection by window shape.
#include "app/screen_shape.h"

#include <GL/gl.h>

namespace {
constexpr float composedAspect = 1280.0f / 1024.0f;
}

float horizontalExtent(int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    return static_cast<float>(width) / static_cast<float>(height) / composedAspect;
}

void applyViewProjection(int width, int height) {
    const float x = horizontalExtent(width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-x, x, -1, 1, viewNear, viewFar);
    glMatrixMode(GL_MODELVIEW);
}

float overlaySideShift(int width, int height, float distance) {
    // At `distance` the view is distance / near units high from the centre
    // up, and horizontalExtent times that wide from the centre to the side.
    return distance / viewNear * (horizontalExtent(width, height) - 1);
}
