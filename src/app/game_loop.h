// game_loop.h -- start-up, the per-tick update and the GLUT callbacks.
//
// The same functions run in the window (through GLUT) and offscreen (driven
// by the headless tool and the tests through the offscreen platform).
#pragma once

// The GL state start-up fixes once for the whole run.
void setFixedGLState();
void initScene();
void idle();
void display();
void reshape(int width, int height);
void keyboard(unsigned char key, int x, int y);
void keyboardUp(unsigned char key, int x, int y);
void specialKey(int key, int x, int y);  // registered, ignores every key
void passiveMotion(int x, int y);
void handleHeldKeys(float dt);
// A police car from the searchlight rule (counted in policeSpawned) and one
// from the "x" key (not counted): both appear at the police spawn point.
void spawnPoliceCar();
void createPoliceCar();
void drawWorld(bool regular);
// The blend state of the searchlight pass, and the state after both passes.
void beginAdditiveBlend();
void endPasses();
void checkSearchlightCatch();

// What main() does after initScene() and the GLUT registrations: full
// screen, the frame timer, the key table, the searchlight controller.
// Shared with the offscreen driver so both start the game the same way.
void startGame();
