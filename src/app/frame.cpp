// frame.cpp -- the display and reshape callbacks: the lit pass, the additive
// searchlight pass, the one-frame map capture and the console statistics.
#include "app/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>

#include "app/camera.h"
#include "app/chase.h"
#include "app/game_events.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/overlays.h"
#include "app/platform.h"
#include "app/screen_shape.h"
#include "assets/model.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/city_tree.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"

namespace {

// The searchlight rule: how near the fugitive must be, how fast the badge
// fills per pass in a frame after a reference tick (a longer tick fills it
// in proportion), and how many police cars the searchlight may dispatch.
constexpr float catchDistance = 18.0f;
constexpr float fillPerPass = 0.002f;
constexpr int searchlightPoliceLimit = 5;

const GLfloat materialGrey[] = {0.3f, 0.3f, 0.3f, 1};
const GLfloat black[] = {0, 0, 0, 1};
const GLfloat blue[] = {0, 0.2f, 1, 1};

// A frame drawn only to have the GL driver prepare its drawing states: the
// searchlight rule does not run in it.
bool rehearsing = false;
bool drawingStatesWarmed = false;

struct ScissorState {
    bool enabled = false;
    GLint box[4] = {0, 0, 0, 0};
};

ScissorState currentScissor() {
    ScissorState s;
    s.enabled = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glGetIntegerv(GL_SCISSOR_BOX, s.box);
    return s;
}

// Draws only inside box from now on (and inside whatever scissor box is
// already in force). Returns the scissor state to restore afterwards.
ScissorState scissorTo(ScreenBox box) {
    const ScissorState saved = currentScissor();
    if (saved.enabled) {
        const int x1 = std::min(box.x + box.width, saved.box[0] + saved.box[2]);
        const int y1 = std::min(box.y + box.height, saved.box[1] + saved.box[3]);
        box.x = std::max(box.x, saved.box[0]);
        box.y = std::max(box.y, saved.box[1]);
        box.width = std::max(0, x1 - box.x);
        box.height = std::max(0, y1 - box.y);
    }
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    return saved;
}

// Keeps the searchlight pass to the screen area its cone can light, when
// outside it the pass would only add black.
ScissorState scissorToSearchlight(const Matrix4& viewProjection) {
    if (designDrawOrder || !searchlightDarkOutsideCone) return currentScissor();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    ScreenBox box;
    if (!searchlightScreenBox(viewProjection, viewport, box)) return currentScissor();
    return scissorTo(box);
}

// The capture frame is read back from the map's rectangle alone and then
// cleared: nothing outside it needs drawing.
ScissorState scissorToMapRectangle() {
    if (designDrawOrder) return currentScissor();
    const ReadRectangle r = mapReadRectangle(windowWidth, windowHeight);
    ScreenBox box;
    box.x = r.x;
    box.y = r.y;
    box.width = r.width;
    box.height = r.height;
    return scissorTo(box);
}

void restoreScissor(const ScissorState& saved) {
    glScissor(saved.box[0], saved.box[1], saved.box[2], saved.box[3]);
    if (saved.enabled)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
}

}  // namespace

int windowWidth = openingWindowWidth, windowHeight = openingWindowHeight;

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
    // Once the fugitive is caught the rule is over: the badge then glows at
    // 1.1 and would otherwise keep sending police to the scene.
    if (!fugitive || fugitiveCaught()) return;
    const Matrix4 projection = perspectiveMatrix(searchlightAngle, 1, 0.1f, 50);
    glPushMatrix();
    glLoadIdentity();
    lookFromSearchlight();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    glPopMatrix();

    const Vector3 c = (projection * view).transformPoint(fugitive->position);
    fugitiveLit = insideSearchlightFrustum(c);
    if (!fugitiveLit) {
        pursuitActive = false;
        return;
    }
    if (distance(fugitive->position, helicopter.position) < catchDistance) {
        badgeModel.fillLevel += fillPerPass * referenceTicksIn(tickSeconds);
        if (badgeModel.fillLevel > 1 && policeSpawned < searchlightPoliceLimit) {
            spawnPoliceCar();
            gameEvents.record(GameEventKind::policeByBadge, Vector3(policeSpawnX, 0, policeSpawnZ));
            chase().countBadgeDispatch();
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

    // A paused frame only shows the scene: the badge neither fills nor sends.
    if (!rehearsing && !chase().paused()) checkSearchlightCatch();
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

// The passes of one frame, between the clear and the statistics.
static void drawPasses(bool printCounts) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    ScissorState captureScissor;
    if (mapCapturePending) {
        captureScissor = scissorToMapRectangle();
        beginCaptureView();
    } else {
        camera.apply();
    }

    placeSearchlightLight();
    glEnable(GL_LIGHTING);

    objectsDrawn = 0;
    beginRegularPass();
    drawWorld(true);
    regularObjectsDrawn = objectsDrawn;
    projectiveObjectsDrawn = 0;
    if (printCounts) fprintf(stderr, "num reg objects drawn = %d\n", objectsDrawn);

    beginAdditiveBlend();

    if (!mapCapturePending && chaseOn()) {
        objectsDrawn = 0;
        const ScissorState scissor = scissorToSearchlight(cullMatrix);  // still the camera's
        beginProjectivePass();
        drawWorld(false);
        restoreScissor(scissor);
        projectiveObjectsDrawn = objectsDrawn;
        if (printCounts) fprintf(stderr, "num projective objects drawn = %d\n", objectsDrawn);
    }

    endPasses();
    // Over the finished picture: the searchlight pass would add its beam
    // onto text drawn before it, and the pause dims the whole frame.
    if (!mapCapturePending && !rehearsing) drawTextOverlays();

    if (mapCapturePending) {
        if (!rehearsing) captureMap();
        restoreScissor(captureScissor);
        endCaptureView();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // the capture frame is never shown
    }
    glPopMatrix();
}

// The GL driver (llvmpipe) prepares code for each combination of drawing
// states the first time it is drawn with, 20 to 100 ms each. While the title
// card is up a capture frame and a play frame are drawn into one pixel and
// cleared again, so that the first frames of play find everything prepared.
// Nothing of the game changes: no searchlight rule, no capture, the counts
// and flags as they were.
static void warmDrawingStates() {
    const bool savedTitle = titleActive;
    const bool savedCapture = mapCapturePending;
    const unsigned int savedMap = mapTexture;
    const int savedObjects = objectsDrawn, savedRegular = regularObjectsDrawn;
    const int savedProjective = projectiveObjectsDrawn;
    const float savedFill = badgeModel.fillLevel;

    ScreenBox onePixel;
    onePixel.width = onePixel.height = 1;
    const ScissorState scissor = scissorTo(onePixel);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    rehearsing = true;
    titleActive = false;
    mapCapturePending = true;
    drawPasses(false);
    // The mini-map's texture as the capture will make it: mipmapped RGBA.
    mapCapturePending = false;
    GLuint stand = 0;
    glGenTextures(1, &stand);
    glBindTexture(GL_TEXTURE_2D, stand);
    const GLfloat grey[4 * 4] = {0.5f, 0.5f, 0.5f, 1, 0.5f, 0.5f, 0.5f, 1,
                                 0.5f, 0.5f, 0.5f, 1, 0.5f, 0.5f, 0.5f, 1};
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, 2, 2, GL_RGBA, GL_FLOAT, grey);
    mapTexture = stand;
    drawPasses(false);
    rehearsing = false;
    glDeleteTextures(1, &stand);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    restoreScissor(scissor);

    titleActive = savedTitle;
    mapCapturePending = savedCapture;
    mapTexture = savedMap;
    objectsDrawn = savedObjects;
    regularObjectsDrawn = savedRegular;
    projectiveObjectsDrawn = savedProjective;
    badgeModel.fillLevel = savedFill;
}

void display() {
    if (mapCapturePending) helicopter.update(0);
    placeSearchlight();
    if (titleActive && !drawingStatesWarmed) {
        warmDrawingStates();
        drawingStatesWarmed = true;
    }

    // Frames drawn in a pause are not play: counted, they would print a rate
    // over no game time, and the counts of one still scene again and again.
    const bool counting = printStatistics && !chase().paused();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPasses(counting && frameCount % 100 == 0);

    if (counting) {
        frameCount += 1;
        if (frameCount % 100 == 0) {
            fprintf(stderr, "fps: %f\n", 100.0 / (gameTime - static_cast<double>(lastRateTime)));
            lastRateTime = static_cast<float>(gameTime);
        }
    }
    glFlush();
    platform().swapBuffers();
}
