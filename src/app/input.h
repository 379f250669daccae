// input.h -- the keyboard and passive-mouse callbacks, and the held keys
// the idle tick acts on.
#pragma once

void keyboard(unsigned char key, int x, int y);
void keyboardUp(unsigned char key, int x, int y);
void specialKey(int key, int x, int y);  // registered, ignores every key
void passiveMotion(int x, int y);
void handleHeldKeys(float dt);
