// helicopter_drawing.cpp -- loading the helicopter's mesh and drawing it
// with the hover wobble added.
#include <GL/gl.h>

#include "helicopter/helicopter.h"

constexpr float modelScale = 0.003f;  // model units to world units
constexpr const char* modelFile = "copter.3ds";

void Helicopter::loadModel() {
    glEnable(GL_TEXTURE_2D);
    model.load(modelFile);
}

void Helicopter::draw(bool textured) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat grey[] = {0.3f, 0.3f, 0.3f, 1};
    const GLfloat black[] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, grey);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT, GL_EMISSION, black);
    glMaterialf(GL_FRONT, GL_SHININESS, 0);

    updateVisibility();
    if (!hidden) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(position.x + hoverOffsetX, position.y + hoverOffsetY, position.z + hoverOffsetZ);
        glScalef(modelScale, modelScale, modelScale);
        glRotatef(yaw + hoverYaw, 0, 1, 0);
        glRotatef(roll + hoverRoll, 0, 0, 1);
        glRotatef(pitch + hoverPitch, 1, 0, 0);
        glRotatef(-90, 1, 0, 0);  // the file is z-up, the world y-up
        model.draw(textured);
        glPopMatrix();
    }
    glEnable(GL_LIGHTING);  // the model may change lighting; the caller draws on lit
}
