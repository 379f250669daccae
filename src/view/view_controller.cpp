// view_controller.cpp -- the trackball, pan and dolly manipulators and the
// controller that bundles one of each.
#include "view/view_controller.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "app/platform.h"

constexpr int buttonLeft = 0, buttonMiddle = 1, buttonRight = 2;
constexpr int stateDown = 0, stateUp = 1;
constexpr int noModifier = 0, shiftModifier = 1, ctrlModifier = 2;

void Manipulator::onMouse(int pressed, int state, int x, int y) {
    if (pressed != button) return;
    if (state == stateDown && (!checkModifiers || platform().modifiers() == modifiers)) {
        active = true;
        lastX = x;
        lastY = y;
        dx = dy = 0;
    } else if (state == stateUp) {
        active = false;
        dx = dy = 0;
    }
}

void Manipulator::onMotion(int x, int y) {
    if (!active) return;
    dx = lastX - x;  // positive toward smaller x
    dy = lastY - y;  // positive up the window
    lastX = x;
    lastY = y;
    onDrag();
}

void PanManipulator::apply() { glTranslatef(translation.x, translation.y, translation.z); }

void PanManipulator::applyInverse() { glTranslatef(-translation.x, -translation.y, -translation.z); }

Matrix4 PanManipulator::matrix() const { return Matrix4::translation(translation); }

Matrix4 PanManipulator::inverseMatrix() const { return Matrix4::translation(-translation); }

void PanManipulator::onDrag() {
    const Vector3 v(static_cast<float>(dx), static_cast<float>(dy), 0);
    if (invert)
        translation -= v * sensitivity;
    else
        translation += v * sensitivity;
    platform().postRedisplay();
}

void DollyManipulator::onDrag() {
    const Vector3 v(0, 0, static_cast<float>(dy));
    if (invert)
        translation += v * sensitivity;
    else
        translation -= v * sensitivity;
    platform().postRedisplay();
}

AxisRotation axisRotation(const Quaternion& q) {
    const float w = std::fmax(-1.0f, std::fmin(1.0f, q.w));
    const float angle = 2 * std::acos(w);
    Vector3 axis(0, 0, 1);
    if (angle != 0) {
        axis = Vector3(q.x, q.y, q.z);
        axis.normalize();
    }
    return {angle * 180 / pi, axis};
}

static void rotateBy(const Quaternion& q) {
    const AxisRotation rotation = axisRotation(q);
    glRotatef(rotation.degrees, rotation.axis.x, rotation.axis.y, rotation.axis.z);
}

static void rotateAboutPivot(const Quaternion& q, const Vector3& pivot) {
    glTranslatef(pivot.x, pivot.y, pivot.z);
    rotateBy(q);
    glTranslatef(-pivot.x, -pivot.y, -pivot.z);
}

void TrackballManipulator::apply() { rotateAboutPivot(orientation, pivot); }

void TrackballManipulator::applyInverse() { rotateAboutPivot(orientation.conjugate(), pivot); }

static Matrix4 rotationAboutPivot(const Quaternion& q, const Vector3& pivot) {
    Matrix4 rotation;
    q.toMatrix(rotation);
    return Matrix4::translation(pivot) * rotation * Matrix4::translation(-pivot);
}

Matrix4 TrackballManipulator::matrix() const { return rotationAboutPivot(orientation, pivot); }

Matrix4 TrackballManipulator::inverseMatrix() const { return rotationAboutPivot(orientation.conjugate(), pivot); }

void TrackballManipulator::onDrag() {
    if (dx == 0 && dy == 0) return;
    Vector3 axis(static_cast<float>(dy), static_cast<float>(-dx), 0);
    const float length = axis.normalize();
    float angle = length * sensitivity;
    if (invert) angle = -angle;
    Quaternion turned = Quaternion::fromAxisAngle(axis, angle);
    turned *= orientation;  // the increment acts after the rotation so far
    orientation = turned;
    std::printf("rotation: %f, %f, %f, %f\n", orientation.x, orientation.y, orientation.z, orientation.w);
    platform().postRedisplay();
}

ViewController::ViewController(int layout) { setButtonLayout(layout); }

std::array<Manipulator*, 3> ViewController::manipulators() { return {&trackball, &pan, &dolly}; }

void ViewController::onMouse(int button, int state, int x, int y) {
    for (Manipulator* m : manipulators()) m->onMouse(button, state, x, y);
}

void ViewController::onMotion(int x, int y) {
    for (Manipulator* m : manipulators()) m->onMotion(x, y);
}

// The trackball is the plain left button in every layout; the others:
// 1 Shift-left pan, Ctrl-left dolly; 2 middle pan, Ctrl-left dolly;
// any other middle pan, right dolly.
static void bind(Manipulator& m, int button, int modifiers) {
    m.button = button;
    m.modifiers = modifiers;
}

void ViewController::setButtonLayout(int layout) {
    bind(trackball, buttonLeft, noModifier);
    switch (layout) {
    case 1:
        bind(pan, buttonLeft, shiftModifier);
        bind(dolly, buttonLeft, ctrlModifier);
        break;
    case 2:
        bind(pan, buttonMiddle, noModifier);
        bind(dolly, buttonLeft, ctrlModifier);
        break;
    default:
        bind(pan, buttonMiddle, noModifier);
        bind(dolly, buttonRight, noModifier);
        break;
    }
}

void ViewController::apply() {
    pan.apply();
    dolly.apply();
    trackball.apply();
}

void ViewController::applyInverse() {
    trackball.applyInverse();
    dolly.applyInverse();
    pan.applyInverse();
}
