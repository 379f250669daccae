// run.cpp -- `run`: start the game offscreen and run N turns of the real loop
// on the virtual clock (1/60 s a turn unless --fps N), then print the renderer.
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/offscreen_game.h"
#include "commands.h"
#include "headless_common.h"

int runTurns(int argc, char** argv) {
    long turns = 100;
    double turnSeconds = 1.0 / 60.0;
    const char* dataDir = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--turns") == 0 && i + 1 < argc) {
            turns = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--fps") == 0 && i + 1 < argc) {
            if (!parseFramesPerSecond("run", argv[++i], turnSeconds)) return 2;
        } else {
            std::fprintf(stderr, "run: unknown argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (dataDir && chdir(dataDir) != 0) {
        std::perror(dataDir);
        return 1;
    }
    OffscreenGame game;
    std::string error;
    if (!game.createContext(1280, 1024, error)) {
        std::fprintf(stderr, "run: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    game.start();
    for (long i = 0; i < turns; ++i) game.turn(turnSeconds);
    std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("version %s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::printf("turns %ld\n", turns);
    return 0;
}
