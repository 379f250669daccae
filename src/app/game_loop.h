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

// What main() does after initScene() and the GLUT registrations: full
// screen, the frame timer, the key table, the searchlight controller.
// Shared with the offscreen driver so both start the game the same way.
void startGame();
