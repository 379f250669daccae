// offscreen_game.h -- the game driven without a window: a real offscreen GL
// context, the offscreen platform with its virtual clock, and the very same
// initScene / idle / display the window runs. One turn of the loop is one
// idle and one display, the clock advanced by a fixed step before it.
#pragma once

#include <string>

#include "app/offscreen_context.h"
#include "app/platform.h"

// The turn of a driver playing at framesPerSecond: 1 / framesPerSecond
// seconds, except that 70 gives exactly the reference tick of 0.01429 s
// (1/70 s is 0.03 % shorter), the pace the game's rules were written for.
double turnSecondsAtRate(int framesPerSecond);

class OffscreenGame {
public:
    // Creates the context (width x height), makes it current and installs the
    // offscreen platform. Does not start the game.
    bool createContext(int width, int height, std::string& error);
    // initScene, reshape to the surface, then what main() does before the
    // main loop. Data files are read from the working directory.
    void start();
    // Advances the virtual clock by seconds, then runs idle() and display().
    // With aimAtFugitive, the helicopter is first moved over the fugitive.
    void turn(double seconds);
    // For tests and pictures only, a player with a perfect aim: moves the
    // helicopter (at its height, keeping its heading) to where its beam,
    // as the mouse has set it, meets the fugitive. Does nothing while the
    // beam points above the horizon (before any mouse motion it is level).
    void holdFugitiveInBeam();

    // Input as GLUT would deliver it.
    void keyDown(unsigned char key);
    void keyUp(unsigned char key);
    void mouseMotion(int x, int y);
    void mouseButton(int button, int state, int x, int y);

    OffscreenContext context;
    OffscreenPlatform offscreenPlatform;
    bool aimAtFugitive = false;
};
