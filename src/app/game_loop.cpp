// game_loop.cpp -- start-up and the idle tick.
#include "app/game_loop.h"

#include <GL/gl.h>

#include <cmath>

#include "app/camera.h"
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
#include "sound/game_sound.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"
#include "view/view_controller.h"

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
    helicopter.attachCamera(camera);
    city.generate();
    loadWindowGlow(city);
    cityTree = new CityTreeNode(-50, 50, -50, 50);
    cityTree->build(city);
    city.insertVehiclesIntoTree();
    city.randomSpawnPoint(policeSpawnX, policeSpawnZ);
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
    const double e = frameTimer->elapsedSeconds();
    gameTime += e;
    const float dt = static_cast<float>(e);
    tickSeconds = dt;
    frameTimer->reset();
    frameTimer->start();

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
    if (!caughtBefore && fugitive && fugitive->frozen)
        gameEvents.record(GameEventKind::capture, fugitive->position);
    city.updateVehicleSmoke(dt);
    updateGameSound(dt);

    platform().postRedisplay();
}
