// camera.cpp -- the eased look-at camera.
#include "app/camera.h"

#include <GL/glu.h>

#include <cmath>

void Camera::setView(float ex, float ey, float ez, float cx, float cy, float cz) {
    eye = {ex, ey, ez};
    centre = {cx, cy, cz};
}

void Camera::setTargets(float ex, float ey, float ez, float cx, float cy, float cz) {
    eyeTarget = {ex, ey, ez};
    centreTarget = {cx, cy, cz};
}

void Camera::ease(float f) {
    eye += (eyeTarget - eye) * 0.04f * f;
    centre += (centreTarget - centre) * 0.04f * f;
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

void Camera::apply() const {
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}
