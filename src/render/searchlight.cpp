// searchlight.cpp -- the helicopter's searchlight: its placement in the
// searchlight controller, light 0, and the texture state of the two passes.
#include "render/searchlight.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/globals.h"
#include "helicopter/helicopter.h"
#include "render/gl_resources.h"
#include "view/view_controller.h"

constexpr float lightHeight = 3.0f;        // light 0 sits this far above the helicopter
constexpr float projectorNear = 0.1f;      // near plane of the image projection
constexpr float projectorFar = 1.0f;       // only the unused r coordinate depends on it
constexpr float searchlightReach = 50.0f;  // the projective pass culls beyond this
constexpr float lookDistance = 5.0f;       // look-at centre along the beam
constexpr float degreesToRadians = shortPi / 180.0f;

void placeSearchlight() {
    // Forward order: pan (x, y), then dolly (z), then the rotation.
    searchlightController.dolly.translation.z = helicopter.position.z;
    searchlightController.pan.translation.x = helicopter.position.x;
    searchlightController.pan.translation.y = helicopter.position.y;

    const float yaw = helicopter.yaw * degreesToRadians - searchlightYawOffset;
    const float pitch = helicopter.pitch * degreesToRadians - searchlightPitchOffset;
    // Turns about x by the pitch first, then about y by the yaw.
    Quaternion rotation = Quaternion::fromAxisAngle(Vector3(0, 1, 0), yaw);
    rotation *= Quaternion::fromAxisAngle(Vector3(1, 0, 0), pitch);
    searchlightController.trackball.orientation = rotation;
}

Vector3 searchlightDirection() {
    Matrix4 rotation;
    searchlightController.trackball.orientation.toMatrix(rotation);
    return rotation.transformPoint(Vector3(0, 0, 1));
}

void lookFromSearchlight() {
    const Vector3& eye = helicopter.position;
    const Vector3 centre = eye - searchlightDirection() * lookDistance;
    const Vector3& up = helicopter.up;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void placeSearchlightLight() {
    const GLfloat origin[] = {0, 0, 0, 1};  // w = 1: a point light, not a GL spot
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(0, lightHeight, 0);
    glPushMatrix();
    searchlightController.apply();
    glLightfv(GL_LIGHT0, GL_POSITION, origin);
    glPopMatrix();
    glPopMatrix();
}

static const GLfloat identityRows[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
static const GLenum textureCoordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
static const GLenum textureGeneration[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
                                            GL_TEXTURE_GEN_Q};

void beginRegularPass() {
    glBindTexture(GL_TEXTURE_2D, 0);
    for (int i = 0; i < 4; ++i) glTexGenfv(textureCoordinates[i], GL_OBJECT_PLANE, identityRows[i]);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    for (GLenum generation : textureGeneration) glDisable(generation);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);  // objects bind their own textures

    cullMatrix = readGLMatrix(GL_PROJECTION_MATRIX) * readGLMatrix(GL_MODELVIEW_MATRIX);
}

void beginProjectivePass() {
    spotlightTexture.bind();
    spotlightTexture.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    spotlightTexture.setParameter(GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // GL carries eye planes through the inverse of the modelview in force
    // now (the camera's view), so the generated (s, t, r, q) is the vertex's
    // world position (x, y, z, 1).
    for (int i = 0; i < 4; ++i) {
        glTexGenfv(textureCoordinates[i], GL_EYE_PLANE, identityRows[i]);
        glTexGeni(textureCoordinates[i], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glEnable(textureGeneration[i]);
    }

    // World -> searchlight frame -> its clip space -> [0, 1] image space.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0);
    glScalef(0.5f, 0.5f, 1);
    gluPerspective(searchlightAngle, 1, projectorNear, projectorFar);
    searchlightController.applyInverse();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);

    glPushMatrix();
    glLoadIdentity();
    lookFromSearchlight();
    const Matrix4 view = readGLMatrix(GL_MODELVIEW_MATRIX);
    glPopMatrix();
    cullMatrix = perspectiveMatrix(searchlightAngle, 1, projectorNear, searchlightReach) * view;
}
