// main.cpp -- the entry point: the window, the scene and GLUT's main loop.
#include <GL/freeglut.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/frame_limiter.h"
#include "app/game_loop.h"
#include "app/glut_platform.h"
#include "app/platform.h"
#include "app/random.h"
#include "assets/data_directory_hint.h"
#include "helicopter/helicopter.h"
#include "sound/game_sound.h"
#include "view/view_controller.h"

namespace {
GlutPlatform glutPlatform;

// No frame starts sooner than one reference tick after the previous one.
FrameLimiter frameLimiter(static_cast<std::int64_t>(referenceTick * 1e6f + 0.5f));

void idleAtMostOncePerTick() {
    if (glutPlatform.leaving()) return;
    frameLimiter.awaitFrameStart(platform());
    idle();
}

// After Escape GLUT still hands over what it had read and runs idle once:
// none of it may act on a game that is closing down.
void displayUnlessLeaving() {
    if (!glutPlatform.leaving()) display();
}
void reshapeUnlessLeaving(int width, int height) {
    if (!glutPlatform.leaving()) reshape(width, height);
}
void mouseUnlessLeaving(int button, int state, int x, int y) {
    if (!glutPlatform.leaving()) dispatchMouse(button, state, x, y);
}
void motionUnlessLeaving(int x, int y) {
    if (!glutPlatform.leaving()) passiveMotion(x, y);
}
void keyUnlessLeaving(unsigned char key, int x, int y) {
    if (!glutPlatform.leaving()) keyboard(key, x, y);
}
void keyUpUnlessLeaving(unsigned char key, int x, int y) {
    if (!glutPlatform.leaving()) keyboardUp(key, x, y);
}
}  // namespace

int main(int argc, char** argv) {
    GameOptions options;
    std::string error;
    if (parseGameOptions(argc, argv, options, error) == ParseResult::bad) {
        std::fprintf(stderr, "searchlight: %s\nTry 'searchlight --help'.\n", error.c_str());
        return 2;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? gameUsage().c_str() : gameVersion().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!options.dataDirectory.empty() && chdir(options.dataDirectory.c_str()) != 0) {
        std::fprintf(stderr, "searchlight: can't enter the data directory %s: %s\n",
                     options.dataDirectory.c_str(), std::strerror(errno));
        return 1;
    }
    char here[4096];
    const std::string searched = getcwd(here, sizeof here) ? here : ".";
    setDataDirectoryHint(
        "searchlight: the data files were looked for in " + searched +
        "; name their directory with --data DIR, or start the installed game as searchlight");
    if (options.seedGiven) setFixedSeed(options.seed);
    std::vector<char*> glutArgv;
    for (std::string& a : options.glutArguments) glutArgv.push_back(a.data());
    int glutArgc = static_cast<int>(glutArgv.size());
    glutArgv.push_back(nullptr);

    // Without a display freeglut would end the game with a message of its
    // own; say plainly what is missing instead.
    DisplayCheck displayCheck;
    if (!displayCheck.open(glutArgc, glutArgv.data())) {
        std::fprintf(stderr, "searchlight: can't open display \"%s\"; set DISPLAY to a running X server\n",
                     displayCheck.name().c_str());
        return 1;
    }

    // Before GLUT and the GL driver start their threads; silent without a device.
    if (!options.mute) startGameSound();

    installPlatform(&glutPlatform);

    glutInit(&glutArgc, glutArgv.data());
    // Escape and the window manager's close both return from the main loop,
    // so that the sound and the window close before the process ends, not
    // under exit() while the GL driver's threads still run.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    if (options.windowed) {
        glutPlatform.stayWindowed();
        glutInitWindowSize(options.windowWidth, options.windowHeight);
    } else {
        glutInitWindowSize(openingWindowWidth, openingWindowHeight);
        glutInitWindowPosition(0, 0);
    }
    glutCreateWindow(argv[0]);
    glutPlatform.nameWindowClass("searchlight", "Searchlight");  // docks match it to the desktop entry
    glutPlatform.watchKeyboardFocus(displayCheck);               // GLUT holds its own connection now
    // Held keys act from the key table; a repeat would only re-trigger the
    // one-shot keys ("x" would send a police car per repeat).
    glutIgnoreKeyRepeat(1);
    // Swaps wait for the display's refresh where the GL can, so frames do
    // not tear; the frame limiter caps the rate on any display.
    glutPlatform.syncSwapsToRefresh();

    initScene();

    glutDisplayFunc(displayUnlessLeaving);
    glutReshapeFunc(reshapeUnlessLeaving);
    glutMouseFunc(mouseUnlessLeaving);
    glutPassiveMotionFunc(motionUnlessLeaving);
    glutKeyboardFunc(keyUnlessLeaving);
    glutKeyboardUpFunc(keyUpUnlessLeaving);
    glutSpecialFunc(specialKey);
    glutIdleFunc(idleAtMostOncePerTick);

    startGame();
    // Returns after Escape (or a close by the window manager) with the
    // window and GLUT's connection already gone.
    glutMainLoop();
    stopGameSound();
    glutPlatform.closeFocusWatch();
    return glutPlatform.status();
}
