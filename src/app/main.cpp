// main.cpp -- the entry point: the window, the scene and GLUT's main loop.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/game_loop.h"
#include "app/glut_platform.h"
#include "app/platform.h"
#include "sound/game_sound.h"
#include "view/view_controller.h"

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
    glutInitWindowSize(1280, 1024);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);
    displayCheck.close();  // GLUT holds its own connection now
    // Held keys act from the key table; a repeat would only re-trigger the
    // one-shot keys ("x" would send a police car per repeat).
    glutIgnoreKeyRepeat(1);

    initScene();

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutMouseFunc(dispatchMouse);
    glutPassiveMotionFunc(passiveMotion);
    glutKeyboardFunc(keyboard);
    glutKeyboardUpFunc(keyboardUp);
    glutSpecialFunc(specialKey);
    glutIdleFunc(idle);

    startGame();
    glutMainLoop();
    return 0;
}
