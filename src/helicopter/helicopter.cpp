// helicopter.cpp -- the flight model: smoothed speeds, turning, bank and
// pitch from speed, and the chase camera's targets. No GL here.
#include "helicopter/helicopter.h"

#include <cmath>

#include "app/camera.h"

// Speed smoothing, per reference tick; a tick of another length closes and
// decays as much as that many reference ticks would.
constexpr float speedApproach = 0.1f;   // share of the gap to the target closed per reference tick
constexpr double inputWindow = 0.2;     // seconds after the last held key before decay starts
constexpr float fullSpeedTilt = 20.0f;  // degrees of bank or pitch at full speed

// Hover wobble: amplitudes (world units, degrees) and rates (radians per second).
constexpr float hoverLift = 0.4f, hoverLiftRate = 2.0f;
constexpr float hoverDrift = 0.05f, hoverDriftRateX = 3.0f, hoverDriftRateZ = 3.5f;
constexpr float hoverYawSwing = 3.0f, hoverYawRate = 2.0f;
constexpr float hoverPitchSwing = 5.0f, hoverPitchRate = 4.0f;
constexpr float hoverRollSwing = 5.0f, hoverRollRate = 3.0f;

static float degreesFromRadians(float radians) { return radians / (2 * pi) * 360.0f; }

void Helicopter::turn(float angle) {
    yaw += degreesFromRadians(angle);
    rotateLookPoint(angle, 0, 1, 0);
}

void Helicopter::rotateLookPoint(float angle, float x, float y, float z) {
    const Vector3 v = lookPoint - position;
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const Vector3 rotated((c + t * x * x) * v.x + (t * x * y - s * z) * v.y + (t * x * z + s * y) * v.z,
                          (t * x * y + s * z) * v.x + (c + t * y * y) * v.y + (t * y * z - s * x) * v.z,
                          (t * x * z - s * y) * v.x + (t * y * z + s * x) * v.y + (c + t * z * z) * v.z);
    lookPoint = position + rotated;
}

void Helicopter::strafe(float d) {
    position.x += d * right.x;
    position.z += d * right.z;
    lookPoint.x += d * right.x;
    lookPoint.z += d * right.z;
}

void Helicopter::moveForward(float d) {
    Vector3 f = lookPoint - position;
    f.normalize();
    position.x += d * f.x;
    position.z += d * f.z;
    lookPoint.x += d * f.x;
    lookPoint.z += d * f.z;
}

// Within the input window the speed closes 10 % of the gap to its target
// per reference tick; after it, the speed decays. Targets keep their last
// value on release.
static void easeSpeed(float& speed, float target, float decay, float inputTime, double now, float dt) {
    const float ticks = referenceTicksIn(dt);
    if (static_cast<double>(inputTime) + inputWindow >= now)
        speed += (target - speed) * shareOverTicks(speedApproach, ticks);
    else
        speed *= factorOverTicks(decay, ticks);
}

void Helicopter::updateLateralSpeed(double now, float dt) {
    easeSpeed(lateralSpeed, lateralTarget, lateralDecay, lateralInputTime, now, dt);
    roll = lateralSpeed / lateralMax * fullSpeedTilt;
}

void Helicopter::updateForwardSpeed(double now, float dt) {
    easeSpeed(forwardSpeed, forwardTarget, forwardDecay, forwardInputTime, now, dt);
    pitch = forwardSpeed / forwardMax * fullSpeedTilt;
}

void Helicopter::update(float dt) {
    strafe(dt * lateralSpeed / referenceTick);
    moveForward(dt * forwardSpeed / referenceTick);
    followCamera(dt);
}

void Helicopter::returnToStart() {
    const Helicopter start;  // the values a game starts with, in one place: the members' initializers
    position = start.position;
    lookPoint = start.lookPoint;
    up = start.up;
    right = start.right;
    pitch = start.pitch;
    yaw = start.yaw;
    roll = start.roll;
    hoverOffsetY = start.hoverOffsetY;
    hoverOffsetX = start.hoverOffsetX;
    hoverOffsetZ = start.hoverOffsetZ;
    hoverYaw = start.hoverYaw;
    hoverPitch = start.hoverPitch;
    hoverRoll = start.hoverRoll;
    lateralSpeed = start.lateralSpeed;
    forwardSpeed = start.forwardSpeed;
    lateralInputTime = start.lateralInputTime;
    forwardInputTime = start.forwardInputTime;
    lateralTarget = start.lateralTarget;
    forwardTarget = start.forwardTarget;
    chaseBehindX = start.chaseBehindX;
    chaseHeight = start.chaseHeight;
    chaseBehindZ = start.chaseBehindZ;
    hidden = start.hidden;
}

void Helicopter::chaseView(Vector3& eye, Vector3& centre) const {
    Vector3 f = lookPoint - position;
    f.normalize();
    eye = Vector3(position.x - f.x * chaseBehindX, position.y + chaseHeight, position.z - f.z * chaseBehindZ);
    centre = Vector3(lookPoint.x, 0, lookPoint.z);  // on the ground below the look point
}

void Helicopter::attachCamera(Camera& camera) {
    chaseCamera = &camera;
    Vector3 eye, centre;
    chaseView(eye, centre);
    chaseCamera->setView(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z);
}

void Helicopter::followCamera(float dt) {
    if (!chaseCamera) return;  // nothing to drag before attachCamera
    Vector3 eye, centre;
    chaseView(eye, centre);
    chaseCamera->setTargets(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z);
    chaseCamera->ease(referenceTicksIn(dt));
}

void Helicopter::computeRight() {
    right = (lookPoint - position).cross(up);
    right.normalize();
}

void Helicopter::setHoverWobble(double t) {
    lightsClock = t;
    hoverOffsetY = static_cast<float>(std::sin(hoverLiftRate * t) * hoverLift);
    hoverOffsetX = static_cast<float>(std::sin(hoverDriftRateX * t) * hoverDrift);
    hoverOffsetZ = static_cast<float>(std::sin(hoverDriftRateZ * t) * hoverDrift);
    hoverYaw = static_cast<float>(std::sin(hoverYawRate * t) * hoverYawSwing);
    hoverPitch = static_cast<float>(std::sin(hoverPitchRate * t) * hoverPitchSwing);
    hoverRoll = static_cast<float>(std::sin(hoverRollRate * t) * hoverRollSwing);
}

void Helicopter::updateVisibility() {
    const bool allSet = chaseBehindX != 0 && chaseHeight != 0 && chaseBehindZ != 0;
    const bool allZero = chaseBehindX == 0 && chaseHeight == 0 && chaseBehindZ == 0;
    if (allSet)
        hidden = false;
    else if (allZero && chaseCamera && chaseCamera->isNearTarget(1.0f))
        hidden = true;
    // Mixed offsets keep whatever visibility the helicopter had.
}
