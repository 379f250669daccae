// vehicle_drawing.cpp -- a car: its compiled mesh turned to its heading,
// then its exhaust smoke.
#include <GL/gl.h>

#include <algorithm>

#include "app/globals.h"
#include "traffic/vehicle.h"

namespace {
constexpr int particlesDrawn = 30;  // every kind draws the first 30 of its pool
}

void Vehicle::draw(bool textured) {
    drawOpaque(textured);
    drawBlended(textured);
}

void Vehicle::drawOpaque(bool textured) {
    if (mapCapturePending) return;  // the overhead map shows no cars
    if (textured) glDisable(GL_TEXTURE_2D);  // the meshes carry no textures
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    if (scale != 1.0f) glScalef(scale, scale, scale);
    glRotatef(heading, 0, 1, 0);
    glRotatef(-90, 1, 0, 0);  // the meshes are modelled z up
    glCallList(displayList);
    glPopMatrix();
    if (textured) glEnable(GL_TEXTURE_2D);
}

void Vehicle::drawBlended(bool textured) {
    if (mapCapturePending) return;
    const int n = std::min(particlesDrawn, smokeCount);
    SmokeParticle::drawAll(smoke, n, textured);
    if (textured) glEnable(GL_TEXTURE_2D);  // each particle leaves it off
}
