// frame.h -- drawing one frame: the display and reshape callbacks, the two
// rendering passes and the searchlight rule that runs with them.
#pragma once

struct Vector3;

// The window opens at this size; reshape keeps the current one.
constexpr int openingWindowWidth = 1280, openingWindowHeight = 1024;
extern int windowWidth, windowHeight;

void display();
void reshape(int width, int height);
void drawWorld(bool regular);
// The blend state of the searchlight pass, and the state after both passes.
void beginAdditiveBlend();
void endPasses();
void checkSearchlightCatch();

// The searchlight rule's test on normalised device coordinates.
bool insideSearchlightFrustum(const Vector3& ndc);

// The chase is on while the fugitive drives; it is caught once it stops.
bool chaseOn();
bool fugitiveCaught();
