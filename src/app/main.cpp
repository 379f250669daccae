// main.cpp -- the entry point: the window, the scene and GLUT's main loop.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/frame_limiter.h"
#include "app/game_loop.h"
#include "app/glut_platform.h"
#include "app/platform.h"
#include "helicopter/helicopter.h"
#include "sound/game_sound.h"
#include "view/view_controller.h"

namespace {
// No frame starts sooner than one reference tick after the previous one.
FrameLimiter frameLimiter(static_cast<std::int64_t>(referenceTick * 1e6f + 0.5f));

void idleAtMostOncePerTick() {
    frameLimiter.awaitFrameStart(platform());
    idle();
}
}  // namespace

int main(int argc, char** argv) {
    // Without a display freeglut would end the game with a message of its
    // own; say plainly what is missing instead.
    DisplayCheck displayCheck;
    if (!displayCheck.open(argc, argv)) {
        std::fprintf(stderr, "searchlight: can't open display \"%s\"; set DISPLAY to a running X server\n",
                     displayCheck.name().c_str());
        return 1;
    }

    // Before GLUT and the GL driver start their threads; silent without a device.
    startGameSound();

    static GlutPlatform glutPlatform;
    installPlatform(&glutPlatform);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(openingWindowWidth, openingWindowHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);
    glutPlatform.watchKeyboardFocus(displayCheck.name());
    displayCheck.close();  // GLUT holds its own connection now
    // Held keys act from the key table; a repeat would only re-trigger the
    // one-shot keys ("x" would send a police car per repeat).
    glutIgnoreKeyRepeat(1);
    // Swaps wait for the display's refresh where the GL can, so frames do
    // not tear; the frame limiter caps the rate on any display.
    glutPlatform.syncSwapsToRefresh();

    initScene();

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutMouseFunc(dispatchMouse);
    glutPassiveMotionFunc(passiveMotion);
    glutKeyboardFunc(keyboard);
    glutKeyboardUpFunc(keyboardUp);
    glutSpecialFunc(specialKey);
    glutIdleFunc(idleAtMostOncePerTick);

    startGame();
    glutMainLoop();
    return 0;
}
