// view_controller.h -- mouse-driven view manipulators (trackball, pan,
// dolly) and the ordered list of input handlers that GLUT's callbacks feed.
//
// Buttons and states are GLUT's: 0 left, 1 middle, 2 right; 0 down, 1 up.
// Window y grows downward. Rotations are radians.
#pragma once

#include <array>
#include <vector>

#include "render/vector_math.h"

class InputHandler {
public:
    virtual void onKeyboard(unsigned char key, int x, int y);
    virtual void onMouse(int button, int state, int x, int y);
    virtual void onMotion(int x, int y);
    virtual void onReshape(int width, int height);
    virtual ~InputHandler() = default;
};

class Manipulator : public InputHandler {
public:
    void onMouse(int button, int state, int x, int y) override;
    void onMotion(int x, int y) override;
    virtual void apply() = 0;
    virtual void applyInverse() = 0;
    virtual Matrix4 matrix() const = 0;
    virtual Matrix4 inverseMatrix() const = 0;
    virtual void onDrag() {}

    int button = 0;
    bool checkModifiers = true;
    int modifiers = 0;
    bool active = false;
    int lastX = 0, lastY = 0;
    int dx = 0, dy = 0;
    bool invert = false;
};

class PanManipulator : public Manipulator {
public:
    void apply() override;
    void applyInverse() override;
    Matrix4 matrix() const override;
    Matrix4 inverseMatrix() const override;
    void onDrag() override;

    Vector3 translation{0, 0, 0};
    float sensitivity = 0.01f;  // world units per pixel
};

class DollyManipulator : public PanManipulator {
public:
    void onDrag() override;  // moves along z, opposite in sense to the pan
};

// What glRotatef is given to turn by the unit quaternion q: the angle in
// degrees and the axis. w is clamped to -1..1, so rounding just past 1
// cannot make the angle NaN; a turn by exactly 0 is about (0, 0, 1), so no
// zero-length axis is ever normalised.
struct AxisRotation {
    float degrees;
    Vector3 axis;
};
AxisRotation axisRotation(const Quaternion& q);

class TrackballManipulator : public Manipulator {
public:
    void apply() override;
    void applyInverse() override;
    Matrix4 matrix() const override;
    Matrix4 inverseMatrix() const override;
    void onDrag() override;

    Quaternion orientation = Quaternion::fromAxisAngle(Vector3(0, 1, 0), 0);
    Vector3 pivot{0, 0, 0};
    float sensitivity = -0.01f;  // radians per pixel
};

class ViewController : public InputHandler {
public:
    explicit ViewController(int layout);
    void onMouse(int button, int state, int x, int y) override;
    void onMotion(int x, int y) override;
    void setButtonLayout(int layout);
    void apply();
    void applyInverse();

    TrackballManipulator trackball;
    PanManipulator pan;
    DollyManipulator dolly;

private:
    // The three, in the order mouse events reach them.
    std::array<Manipulator*, 3> manipulators();
};

extern std::vector<InputHandler*> inputHandlers;  // not owning

void addInputHandler(InputHandler* h);
void removeInputHandler(InputHandler* h);
void dispatchKeyboard(unsigned char key, int x, int y);
void dispatchMouse(int button, int state, int x, int y);
void dispatchMotion(int x, int y);
void dispatchReshape(int width, int height);
void registerInputCallbacks();
