// frame.cpp -- the display and reshape callbacks: the lit pass, the additive
// searchlight pass, the one-frame map capture and the console statistics.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/overlays.h"
#include "app/platform.h"
#include "app/screen_shape.h"
#include "assets/model.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"

namespace {

// The searchlight rule: how near the fugitive must be, how fast the badge
// fills per pass, and how many police cars the searchlight may dispatch.
constexpr float catchDistance = 18.0f;
constexpr float fillPerPass = 0.002f;
constexpr int searchlightPoliceLimit = 5;

const GLfloat materialGrey[] = {0.3f, 0.3f, 0.3f, 1};
const GLfloat black[] = {0, 0, 0, 1};
const GLfloat blue[] = {0, 0.2f, 1, 1};

}  // namespace

bool chaseOn() { return fugitive && fugitive->speed > 0.1f; }

bool fugitiveCaught() { return fugitive && fugitive->speed < 0.1f; }

bool insideSearchlightFrustum(const Vector3& c) {
    // Strict on both sides: a point on the frustum's boundary is not lit.
    return c.x > -1 && c.x < 1 && c.y > -1 && c.y < 1 && c.z > -1 && c.z < 1;
}

void reshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
    applyViewProjection(width, height);
}

void checkSearchlightCatch() {
    if (!fugitive) return;
    const Matrix4 projection = perspectiveMatrix(searchlightAngle, 1, 0.1f, 50);
    glPushMatrix();
    glLoadIdentity();
    lookFromSearchlight();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    glPopMatrix();

    const Vector3 c = (projection * view).transformPoint(fugitive->position);
    if (!insideSearchlightFrustum(c)) {
        pursuitActive = false;
        return;
    }
    if (distance(fugitive->position, helicopter.position) < catchDistance) {
        badgeModel.fillLevel += fillPerPass;
        if (badgeModel.fillLevel > 1 && policeSpawned < searchlightPoliceLimit) {
            spawnPoliceCar();
            badgeModel.fillLevel = 0;
        }
    }
}

void drawWorld(bool regular) {
    if (titleActive) {
        drawTitleCard(regular);
        return;
    }
    if (mapCapturePending) glDisable(GL_LIGHTING);

    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialGrey);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glColor4fv(blue);
    glColor3ub(255, 255, 255);

    checkSearchlightCatch();
    if (cityTree) cityTree->draw(regular);
    helicopter.computeRight();

    // The capture frame is a map of the city alone: no helicopter, no badge.
    if (regular && !mapCapturePending) {
        if (chaseOn()) helicopter.draw(true);
        drawBadge();
    }
    if (!mapCapturePending) drawMinimap(-0.25f, -0.25f, 0.5f, 0.5f, regular);
}

// The searchlight pass adds onto the lit pass: no depth writes, and a
// polygon offset so its fragments pass GL_LESS on the same surfaces.
void beginAdditiveBlend() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    glPolygonOffset(-1, -1);
    glEnable(GL_POLYGON_OFFSET_FILL);
}

void endPasses() {
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
}

void display() {
    if (mapCapturePending) helicopter.update(0);
    placeSearchlight();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (mapCapturePending)
        beginCaptureView();
    else
        camera.apply();

    placeSearchlightLight();
    glEnable(GL_LIGHTING);

    const bool printCounts = printStatistics && frameCount % 100 == 0;
    objectsDrawn = 0;
    beginRegularPass();
    drawWorld(true);
    regularObjectsDrawn = objectsDrawn;
    projectiveObjectsDrawn = 0;
    if (printCounts) fprintf(stderr, "num reg objects drawn = %d\n", objectsDrawn);

    beginAdditiveBlend();

    if (!mapCapturePending && chaseOn()) {
        objectsDrawn = 0;
        beginProjectivePass();
        drawWorld(false);
        projectiveObjectsDrawn = objectsDrawn;
        if (printCounts) fprintf(stderr, "num projective objects drawn = %d\n", objectsDrawn);
    }

    endPasses();

    if (mapCapturePending) {
        captureMap();
        endCaptureView();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // the capture frame is never shown
    }
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
