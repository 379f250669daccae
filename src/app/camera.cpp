// camera.cpp -- the eased look-at camera.
#include "app/camera.h"

#include <GL/glu.h>

#include <cmath>

#include "app/reference_tick.h"

namespace {
constexpr float easePerReferenceTick = 0.04f;  // share of the gap to the targets
}

void Camera::setView(float ex, float ey, float ez, float cx, float cy, float cz) {
    eye = {ex, ey, ez};
    centre = {cx, cy, cz};
}

void Camera::setTargets(float ex, float ey, float ez, float cx, float cy, float cz) {
    eyeTarget = {ex, ey, ez};
    centreTarget = {cx, cy, cz};
}

void Camera::ease(float ticks) {
    // Compounded per reference tick, the same path at any frame rate. A long
    // tick (a stall, a window being dragged) thus closes less than the whole
    // gap, never overshooting the helicopter.
    const float fraction = shareOverTicks(easePerReferenceTick, ticks);
    eye += (eyeTarget - eye) * fraction;
    centre += (centreTarget - centre) * fraction;
}

bool Camera::isNearTarget(float r) const {
    const Vector3 gap = eyeTarget - eye;
    return std::fabs(gap.x) < r && std::fabs(gap.y) < r && std::fabs(gap.z) < r;
}

void Camera::rotateView(float angle, const Vector3& k) {
    // Rodrigues: v' = v cos a + (k x v) sin a + k (k . v)(1 - cos a)
    const Vector3 v = centre - eye;
    const float c = std::cos(angle), s = std::sin(angle);
    const Vector3 rotated = v * c + k.cross(v) * s + k * (k.dot(v) * (1 - c));
    centre = eye + rotated;
}

void Camera::apply() const { gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z); }
