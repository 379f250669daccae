// helicopter.h -- the player's aircraft and its chase camera.
//
// Speeds are world units per reference tick of 0.01429 s; a tick of dt
// seconds moves dt / 0.01429 reference ticks. Angles are stored in degrees
// for drawing; rotation operations take radians. A positive yaw turns the
// heading from +z toward +x.
#pragma once

#include "app/reference_tick.h"
#include "assets/model.h"
#include "render/vector_math.h"

class Camera;

// Where the helicopter's lights sit, in model units (the file's z-up axes),
// found from the hull's extent the first time it is drawn.
struct HelicopterLights {
    Vector3 port, starboard, tail, beacon;
    bool placed = false;
};

class Helicopter {
public:
    void turn(float angle);  // radians
    void rotateLookPoint(float angle, float axisX, float axisY, float axisZ);
    void strafe(float distance);
    void moveForward(float distance);
    // A tick of dt seconds at game time now (see easeSpeed).
    void updateLateralSpeed(double now, float dt);
    void updateForwardSpeed(double now, float dt);
    void addPitch(float degrees) { pitch += degrees; }
    void addRoll(float degrees) { roll += degrees; }
    void update(float dt);
    void attachCamera(Camera& camera);
    void followCamera(float dt);
    void computeRight();
    // Where the chase camera belongs: behind and above, looking at the
    // ground below the look point.
    void chaseView(Vector3& eye, Vector3& centre) const;
    // The hover wobble at game time t seconds (offsets and degrees); the
    // lights' clock follows the same time.
    void setHoverWobble(double t);
    // Hidden once the camera has flown into the cockpit ("[": all chase
    // offsets zero); shown again as soon as every offset is non-zero.
    void updateVisibility();

    // Back where a game starts: place, heading, attitude, speeds and the
    // chase camera's offsets. The model, its lights and the camera stay.
    void returnToStart();

    void loadModel();  // "copter.3ds"; needs a GL context
    void draw(bool textured);

    Camera* chaseCamera = nullptr;
    Vector3 position{0, 9, -5};
    Vector3 lookPoint{0, 5, 0};
    Vector3 up{0, 1, 0};
    Vector3 right{0, 0, 0};
    float pitch = 0, yaw = 0, roll = 0;  // degrees
    float hoverOffsetY = 0, hoverOffsetX = 0, hoverOffsetZ = 0;
    float hoverYaw = 0, hoverPitch = 0, hoverRoll = 0;  // degrees
    // Sideways and forward motion, each eased the same way: the speed, its
    // full value, the decay per reference tick without input, when input last came
    // and the speed it asks for.
    float lateralSpeed = 0, forwardSpeed = 0;
    float lateralMax = 0.1f, forwardMax = 0.1f;
    float lateralDecay = 0.95f, forwardDecay = 0.95f;
    float lateralInputTime = 0, forwardInputTime = 0;
    float lateralTarget = 0, forwardTarget = 0;
    float chaseBehindX = 2, chaseHeight = 5, chaseBehindZ = 2;  // the chase camera's offsets
    bool hidden = false;
    double lightsClock = 0;  // game time, seconds: the beacon flashes on it
    HelicopterLights lights;
    HelicopterModel model;
};
