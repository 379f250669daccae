// main.cpp -- the entry point: the window, the scene and GLUT's main loop.
#include <GL/freeglut.h>

#include "app/game_loop.h"
#include "app/glut_platform.h"
#include "app/platform.h"
#include "view/view_controller.h"

int main(int argc, char** argv) {
    static GlutPlatform glutPlatform;
    installPlatform(&glutPlatform);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1280, 1024);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);
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
