// game_loop.cpp -- start-up and the idle tick.
#include "app/game_loop.h"

#include <GL/gl.h>

#include <cmath>

#include "app/camera.h"
#include "app/capture_result.h"
#include "app/chase.h"
#include "app/frame_timer.h"
#include "app/game_events.h"
#include "app/globals.h"
#include "app/platform.h"
#include "assets/model.h"
#include "assets/ppm_image.h"
#include "city/city.h"
#include "city/window_glow.h"
#include "helicopter/helicopter.h"
#include "render/gl_resources.h"
#include "render/text.h"
#include "sound/game_sound.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"
#include "view/view_controller.h"

namespace {

// The city's tree of buildings, tiles and cars, and the police spawn point.
void listCityInTree() {
    cityTree = new CityTreeNode(-50, 50, -50, 50);
    cityTree->build(city);
    city.insertVehiclesIntoTree();
    city.randomSpawnPoint(policeSpawnX, policeSpawnZ);
}

// What every chase begins with: the map captured on the next frame, the
// camera high above the city coming down to the helicopter, and no pointer
// over the scene (the mouse steers the beam).
void beginChase() {
    mapCapturePending = true;
    camera.setView(0, 300, 0, 0, 0, 0);
    chase().begin(city.seed);
    gameEvents.record(GameEventKind::newChase, helicopter.position);
    platform().showPointer(false);
}

void restartFrameTimer() {
    frameTimer->reset();
    frameTimer->start();
}

}  // namespace

void setFixedGLState() {
    // Lighting itself is switched per pass by the frame.
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHT0);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32);
    const GLfloat white[] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glClearColor(0, 0, 0, 0);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
}

void initScene() {
    setFixedGLState();

    spotlightTexture.bind();
    searchlightDarkOutsideCone = readPpmTexture("spotlight_image.ppm").darkOutsideFrame();
    spotlightTexture.setParameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    spotlightTexture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    spotlightTexture.setParameter(GL_TEXTURE_WRAP_T, GL_CLAMP);
    spotlightTexture.unbind();
    helicopter.loadModel();
    badgeModel.load("policebadge.3ds");
    loadTextFont();  // without it the game plays on with no text
    helicopter.attachCamera(camera);
    city.generate();
    loadWindowGlow(city);  // after the city's facades; kept across chases
    listCityInTree();
}

void beginFirstChase() {
    titleActive = false;
    beginChase();
}

void beginNextChase() {
    city.regenerate(city.seed + 1);  // the old tree, buildings and cars go first
    listCityInTree();
    policeSpawned = 0;
    badgeModel.fillLevel = 0;
    pursuitActive = false;
    fugitiveLit = true;
    helicopter.returnToStart();
    // The captured map of the old city: the next capture makes a new one.
    if (mapTexture != 0) glDeleteTextures(1, &mapTexture);
    mapTexture = 0;
    beginChase();
}

void setGamePaused(bool paused) {
    if (paused == chase().paused() || (paused && !chase().running())) return;
    chase().setPaused(paused);
    setGameSoundPaused(paused);
    platform().showPointer(paused);
    if (!paused) restartFrameTimer();
    platform().postRedisplay();
}

void startGame() {
    platform().fullScreen();
    frameTimer = new FrameTimer();
    frameTimer->start();
    gameTime = 0;
    for (bool& k : keyDown) k = false;
    searchlightController.setButtonLayout(2);
    addInputHandler(&searchlightController);
}

void idle() {
    if (chase().paused()) {
        // A paused game has no time: the tick after it measures from here on.
        restartFrameTimer();
        return;
    }
    const double e = frameTimer->elapsedSeconds();
    gameTime += e;
    const float dt = static_cast<float>(e);
    tickSeconds = dt;
    restartFrameTimer();
    if (!titleActive) chase().advance(e);

    helicopter.setHoverWobble(gameTime);
    handleHeldKeys(dt);
    helicopter.updateLateralSpeed(gameTime, dt);
    helicopter.updateForwardSpeed(gameTime, dt);
    helicopter.update(dt);
    // Every car drives three sub-steps of a third of the tick; its smoke
    // moves once with the whole tick.
    const bool caughtBefore = fugitive && fugitive->frozen;
    city.updateVehicles(dt / 3);
    city.updateVehicles(dt / 3);
    city.updateVehicles(dt / 3);
    if (!caughtBefore && fugitive && fugitive->frozen) {
        gameEvents.record(GameEventKind::capture, fugitive->position);
        chase().capture();
        noteCaptureIfNew();            // the record, kept as the capture happens
        platform().showPointer(true);  // for the result's keys; Return starts the next chase
    }
    city.updateVehicleSmoke(dt);
    updateGameSound(dt);

    platform().postRedisplay();
}
