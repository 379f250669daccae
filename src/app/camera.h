// camera.h -- the viewer: gluLookAt from eye toward centre, eased toward
// targets that the helicopter sets every tick.
#pragma once

#include "render/vector_math.h"

class Camera {
public:
    virtual ~Camera() = default;

    void setView(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ);
    void setTargets(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ);
    // Moves 4 % of the remaining gap per reference tick, compounded over
    // ticks (1 - 0.96^ticks), never the whole gap.
    void ease(float ticks);
    // Every component of eyeTarget - eye is below r in absolute value.
    bool isNearTarget(float r) const;
    // Rotates the view direction about a unit axis by angle radians.
    void rotateView(float angle, const Vector3& axis);
    void apply() const;  // gluLookAt on the current matrix

    Vector3 eye{0, 10, -10};
    Vector3 centre{0, 0, 0};
    Vector3 up{0, 1, 0};
    Vector3 eyeTarget{0, 0, 0};
    Vector3 centreTarget{0, 0, 0};
};
