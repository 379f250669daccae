// input.cpp -- keyboard and mouse callbacks, the held-key handler and the
// police-car dispatch.
#include <GL/gl.h>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/platform.h"

void keyboard(unsigned char key, int, int) {
    if (titleActive) {
        // The first key of any kind only dismisses the title card.
        titleActive = false;
        mapCapturePending = true;
        camera.setView(0, 300, 0, 0, 0, 0);
        return;
    }
    if (key == 27) {
        platform().swapBuffers();
        platform().quit(0);
        return;
    }
    keyDown[key] = true;
}

void keyboardUp(unsigned char key, int, int) { keyDown[key] = false; }

void specialKey(int, int, int) {}

void passiveMotion(int, int) {}

void handleHeldKeys(float) { pursuitActive = !keyDown[static_cast<unsigned char>(' ')]; }
