// offscreen_game.cpp -- the game loop without GLUT.
#include "app/offscreen_game.h"

#include "app/game_loop.h"
#include "view/view_controller.h"

bool OffscreenGame::createContext(int width, int height, std::string& error) {
    if (!context.create(width, height, error)) return false;
    installPlatform(&offscreenPlatform);
    return true;
}

void OffscreenGame::start() {
    initScene();
    reshape(context.width(), context.height());
    startGame();
}

void OffscreenGame::turn(double seconds) {
    offscreenPlatform.advanceClock(seconds);
    idle();
    display();
}

void OffscreenGame::keyDown(unsigned char key) { keyboard(key, 0, 0); }

void OffscreenGame::keyUp(unsigned char key) { keyboardUp(key, 0, 0); }

void OffscreenGame::mouseMotion(int x, int y) { passiveMotion(x, y); }

void OffscreenGame::mouseButton(int button, int state, int x, int y) { dispatchMouse(button, state, x, y); }
