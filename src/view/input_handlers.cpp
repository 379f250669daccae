// input_handlers.cpp -- the ordered list of mouse and keyboard handlers and
// the GLUT callbacks that walk it.
#include <GL/freeglut.h>

#include <algorithm>

#include "view/view_controller.h"

std::vector<InputHandler*> inputHandlers;

void InputHandler::onKeyboard(unsigned char, int, int) {}
void InputHandler::onMouse(int, int, int, int) {}
void InputHandler::onMotion(int, int) {}
void InputHandler::onReshape(int, int) {}

void removeInputHandler(InputHandler* h) {
    auto it = std::find(inputHandlers.begin(), inputHandlers.end(), h);
    if (it != inputHandlers.end()) inputHandlers.erase(it);
}

void addInputHandler(InputHandler* h) {
    removeInputHandler(h);
    inputHandlers.push_back(h);
}

// Each walk reads the list's length again before every step, so a handler
// may add or remove handlers while it runs.
void dispatchKeyboard(unsigned char key, int x, int y) {
    for (size_t i = 0; i < inputHandlers.size(); ++i) inputHandlers[i]->onKeyboard(key, x, y);
}

void dispatchMouse(int button, int state, int x, int y) {
    for (size_t i = 0; i < inputHandlers.size(); ++i) inputHandlers[i]->onMouse(button, state, x, y);
}

void dispatchMotion(int x, int y) {
    for (size_t i = 0; i < inputHandlers.size(); ++i) inputHandlers[i]->onMotion(x, y);
}

void dispatchReshape(int width, int height) {
    for (size_t i = 0; i < inputHandlers.size(); ++i) inputHandlers[i]->onReshape(width, height);
}

void registerInputCallbacks() {
    glutMouseFunc(dispatchMouse);
    glutMotionFunc(dispatchMotion);
    glutKeyboardFunc(dispatchKeyboard);
    glutReshapeFunc(dispatchReshape);
}
