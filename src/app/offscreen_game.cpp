// offscreen_game.cpp -- the game loop without GLUT.
#include "app/offscreen_game.h"

#include "app/chase.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/vehicle.h"
#include "view/view_controller.h"

double turnSecondsAtRate(int framesPerSecond) {
    constexpr int referenceRate = 70;
    if (framesPerSecond == referenceRate) return static_cast<double>(referenceTick);
    return 1.0 / framesPerSecond;
}

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
    if (aimAtFugitive && !chase().paused()) holdFugitiveInBeam();  // a paused world stands still
    display();
}

void OffscreenGame::holdFugitiveInBeam() {
    if (!fugitive) return;
    placeSearchlight();
    const Vector3 d = searchlightDirection();  // the beam looks along -d
    constexpr float lowestDescent = 0.1f;
    if (d.y < lowestDescent) return;
    const float along = (helicopter.position.y - fugitive->position.y) / d.y;
    const Vector3 over = fugitive->position + d * along;
    const Vector3 shift(over.x - helicopter.position.x, 0, over.z - helicopter.position.z);
    helicopter.position += shift;
    helicopter.lookPoint += shift;
}

void OffscreenGame::keyDown(unsigned char key) { keyboard(key, 0, 0); }

void OffscreenGame::keyUp(unsigned char key) { keyboardUp(key, 0, 0); }

void OffscreenGame::mouseMotion(int x, int y) { passiveMotion(x, y); }

void OffscreenGame::mouseButton(int button, int state, int x, int y) { dispatchMouse(button, state, x, y); }
