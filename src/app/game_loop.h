// game_loop.h -- start-up, the per-tick update and the GLUT callbacks.
//
// The same functions run in the window (through GLUT) and offscreen (driven
// by the headless tool and the tests through the offscreen platform). The
// callbacks are declared with the files that define them, frame.h and
// input.h, included here for the code that registers them.
#pragma once

#include "app/frame.h"
#include "app/input.h"

// The GL state start-up fixes once for the whole run.
void setFixedGLState();
void initScene();
void idle();

// A chase begins: at the title's dismissal in the city made at start-up;
// with beginNextChase, after a capture, in a new city of the next seed with
// the helicopter, camera, badge, police and mini-map as at the start. The
// title card is not shown again. Either way the map is captured again on
// the next frame and the camera comes down to the helicopter from high
// above.
void beginFirstChase();
void beginNextChase();
// Pausing stops the simulation, game time, the chase's clock and the sound;
// the frames still draw the scene. Only a running chase pauses. The tick
// after the pause measures its time from the resumption, so it is an
// ordinary tick.
void setGamePaused(bool paused);

// What main() does after initScene() and the GLUT registrations: full
// screen, the frame timer, the key table, the searchlight controller.
// Shared with the offscreen driver so both start the game the same way.
void startGame();
