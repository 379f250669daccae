// searchlight.cpp -- the helicopter's searchlight: its placement in the
// searchlight controller, light 0, and the texture state of the two passes.
#include "render/searchlight.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

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
// Everything the searchlight pass draws lies between these heights: the
// ground at 0, buildings up to 5, cars and their smoke well below that.
constexpr float litLowY = -0.5f;
constexpr float litHighY = 5.5f;

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

bool coneScreenBox(const Vector3& apex, const Vector3& right, const Vector3& up, const Vector3& back,
                   float tanHalfAngle, float lowY, float highY, const Matrix4& viewProjection,
                   const int viewport[4], ScreenBox& box) {
    if (!(apex.y > highY)) return false;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (int corner = 0; corner < 4; ++corner) {
        const float sx = corner & 1 ? tanHalfAngle : -tanHalfAngle;
        const float sy = corner & 2 ? tanHalfAngle : -tanHalfAngle;
        const Vector3 edge = right * sx + up * sy - back;
        if (!(edge.y < -1e-4f)) return false;
        // The slice is the hull of where the four edges cross both heights.
        for (const float height : {lowY, highY}) {
            const Vector3 p = apex + edge * ((height - apex.y) / edge.y);
            const float* r = viewProjection.m;
            const float cx = r[0] * p.x + r[1] * p.y + r[2] * p.z + r[3];
            const float cy = r[4] * p.x + r[5] * p.y + r[6] * p.z + r[7];
            const float cz = r[8] * p.x + r[9] * p.y + r[10] * p.z + r[11];
            const float cw = r[12] * p.x + r[13] * p.y + r[14] * p.z + r[15];
            if (!(cw > 1e-6f) || cz < -cw) return false;  // behind the camera or its near plane
            minX = std::min(minX, cx / cw);
            maxX = std::max(maxX, cx / cw);
            minY = std::min(minY, cy / cw);
            maxY = std::max(maxY, cy / cw);
        }
    }
    // Normalised device coordinates to pixels, widened to whole pixels and a margin.
    const auto toPixels = [](float ndc, int origin, int size) {
        return static_cast<float>(origin) + (ndc + 1) * 0.5f * static_cast<float>(size);
    };
    constexpr float margin = 1.0f;
    const float x0 = std::floor(toPixels(std::max(minX, -2.0f), viewport[0], viewport[2]) - margin);
    const float x1 = std::ceil(toPixels(std::min(maxX, 2.0f), viewport[0], viewport[2]) + margin);
    const float y0 = std::floor(toPixels(std::max(minY, -2.0f), viewport[1], viewport[3]) - margin);
    const float y1 = std::ceil(toPixels(std::min(maxY, 2.0f), viewport[1], viewport[3]) + margin);
    const int left = std::max(viewport[0], static_cast<int>(x0));
    const int bottom = std::max(viewport[1], static_cast<int>(y0));
    const int rightEdge = std::min(viewport[0] + viewport[2], static_cast<int>(x1));
    const int top = std::min(viewport[1] + viewport[3], static_cast<int>(y1));
    box.x = left;
    box.y = bottom;
    box.width = std::max(0, rightEdge - left);
    box.height = std::max(0, top - bottom);
    return true;
}

bool searchlightScreenBox(const Matrix4& viewProjection, const int viewport[4], ScreenBox& box) {
    // The projector's frame as the image is projected from it (the inverse
    // of the controller's transform carries the world into it).
    const Matrix4 placement = searchlightController.pan.matrix() * searchlightController.dolly.matrix() *
                              searchlightController.trackball.matrix();
    const Vector3 apex = placement.transformPoint(Vector3(0, 0, 0));
    const Vector3 right = placement.transformPoint(Vector3(1, 0, 0)) - apex;
    const Vector3 up = placement.transformPoint(Vector3(0, 1, 0)) - apex;
    const Vector3 back = placement.transformPoint(Vector3(0, 0, 1)) - apex;
    const float tanHalfAngle = std::tan(searchlightAngle * 0.5f * degreesToRadians);
    return coneScreenBox(apex, right, up, back, tanHalfAngle, litLowY, litHighY, viewProjection, viewport, box);
}
