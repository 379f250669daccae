// overlays.cpp -- title card, police badge, mini-map and the map capture.
#include "app/overlays.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "app/camera.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/map_levels.h"
#include "app/screen_shape.h"
#include "assets/model.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "render/vector_math.h"
#include "traffic/vehicle.h"

namespace {

const GLfloat blue[] = {0, 0.2f, 1, 1};
const GLfloat red[] = {1, 0, 0, 1};

// The capture: camera height, and the map rectangle of a 1280 x 1024 view.
constexpr float captureHeight = 300;
constexpr float captureNear = 1.5f, captureFar = 400;
constexpr int referenceWidth = 1280, referenceHeight = 1024;
constexpr int referenceMapWidth = 346, referenceMapHeight = 279;
constexpr float cityHalfSize = 50;
constexpr double badgeDegreesPerSecond = 50;

// Forward f, viewer's left l and screen-up u of the camera, and the basis
// matrix that maps object x, y, z onto l, u, f.
struct CameraBasis {
    Vector3 f, l, u;
    Matrix4 b;
};

CameraBasis cameraBasis() {
    CameraBasis c;
    c.f = camera.centre - camera.eye;
    c.f.normalize();
    c.l = Vector3(0, 1, 0).cross(c.f);
    c.l.normalize();
    c.u = c.f.cross(c.l);
    c.u.normalize();
    c.b = Matrix4(c.l.x, c.l.y, c.l.z, 0, c.u.x, c.u.y, c.u.z, 0, c.f.x, c.f.y, c.f.z, 0, 0, 0, 0, 1);
    return c;
}

void translate(const Vector3& v) { glTranslatef(v.x, v.y, v.z); }

void overlayMaterials() {
    for (GLenum p : {GL_DIFFUSE, GL_SPECULAR, GL_AMBIENT, GL_EMISSION, GL_SHININESS})
        glMaterialfv(GL_FRONT_AND_BACK, p, blue);
}

void drawCarMarker(const Vehicle& car, float x0, float y0, float w, float h) {
    float mx = 0, my = 0;
    minimapMarkerPosition(x0, y0, w, h, car.position.x, car.position.z, mx, my);
    glPushMatrix();
    glTranslatef(mx, my, 0);
    glRotatef(90 - car.heading, 0, 0, 1);
    glScalef(0.3f, 0.3f, 0.3f);
    glBegin(GL_QUADS);
    glVertex3f(-0.02f, -0.01f, 0);
    glVertex3f(-0.02f, 0.01f, 0);
    glVertex3f(0.02f, 0.01f, 0);
    glVertex3f(0.02f, -0.01f, 0);
    glEnd();
    glPopMatrix();
}

// The projection's half extents at the near plane that make the centred
// read rectangle cover exactly the city's 100 x 100 at the capture height.
void captureFrustum(float& halfWidth, float& halfHeight) {
    const ReadRectangle r = mapReadRectangle(windowWidth, windowHeight);
    const float fractionX = static_cast<float>(r.width) / static_cast<float>(windowWidth);
    const float fractionY = static_cast<float>(r.height) / static_cast<float>(windowHeight);
    halfWidth = captureNear * cityHalfSize / captureHeight / fractionX;
    halfHeight = captureNear * cityHalfSize / captureHeight / fractionY;
}

}  // namespace

void minimapMarkerPosition(float x0, float y0, float w, float h, float worldX, float worldZ, float& mx, float& my) {
    mx = -x0 - w * (worldX - (-50)) / 100;
    my = -y0 - h * (worldZ - (-50)) / 100;
}

void drawTitleCard(bool regular) {
    if (!regular) return;
    overlayMaterials();
    glColor4f(1, 1, 1, 0.8f);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, city.textureTable[textureTitleCard]);

    const CameraBasis c = cameraBasis();
    translate(c.f * 1.2f);
    translate(camera.eye + c.f * 5);
    glMultMatrixf(c.b.data());
    glRotatef(90, 0, 0, 1);

    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-4.5f, -5, 0);
    glTexCoord2f(1, 0);
    glVertex3f(-4.5f, 5, 0);
    glTexCoord2f(1, 1);
    glVertex3f(4.5f, 5, 0);
    glTexCoord2f(0, 1);
    glVertex3f(4.5f, -5, 0);
    glEnd();
    glPopMatrix();
}

void drawMinimap(float x0, float y0, float w, float h, bool regular) {
    if (!regular) return;
    overlayMaterials();
    glColor4f(1, 1, 1, 0.8f);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mapTexture);

    const CameraBasis c = cameraBasis();
    const float a = std::atan2(c.f.z, c.f.x) * 180 / shortPi;
    // 1.8 units in front of the eye, kept as far from the left edge as on
    // the 1280 x 1024 screen whatever the window's shape.
    translate(c.l * (0.85f + overlaySideShift(windowWidth, windowHeight, 1.8f)));
    translate(c.u * -0.8f);
    translate(c.f * -3.2f);
    translate(camera.eye + c.f * 5);
    glRotatef(270, c.f.x, c.f.y, c.f.z);
    glMultMatrixf(c.b.data());
    glRotatef(-a, 0, 0, 1);

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y0, 0);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0 + h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(x0 + w, y0 + h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(x0 + w, y0, 0);
    glEnd();

    glColor3f(0, 0, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);

    float mx = 0, my = 0;
    minimapMarkerPosition(x0, y0, w, h, helicopter.position.x, helicopter.position.z, mx, my);
    glPushMatrix();
    glTranslatef(mx, my, 0);
    glRotatef(a + 90, 0, 0, 1);
    glScalef(0.3f, 0.3f, 0.3f);
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0.05f, 0);
    glVertex3f(0.03f, -0.03f, 0);
    glVertex3f(-0.03f, -0.03f, 0);
    glEnd();
    glPopMatrix();

    if (fugitive) {
        glColor4fv(red);
        drawCarMarker(*fugitive, x0, y0, w, h);
    }
    glColor4fv(blue);
    for (const PoliceCar* car : policeCars) drawCarMarker(*car, x0, y0, w, h);

    glPopMatrix();
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

float badgeSpinDegrees(double seconds) {
    // Reduced in double: after a day of play 50 degrees a second is millions
    // of degrees, where a float's steps are half a degree and the spin jerks.
    return static_cast<float>(std::fmod(seconds * badgeDegreesPerSecond, 360.0));
}

void drawBadge() {
    const CameraBasis c = cameraBasis();
    glPushMatrix();
    const bool caught = fugitiveCaught();
    if (!caught) {
        // In the upper right, as far from the right edge as on 1280 x 1024.
        translate(c.l * -(2.5f + overlaySideShift(windowWidth, windowHeight, 5)));
        translate(c.u * 2.5f);
    } else {
        badgeModel.fillLevel = 1.1f;
        translate(c.f * -2.5f);
    }
    translate(camera.eye + c.f * 5);
    glRotatef(-15, c.l.x, c.l.y, c.l.z);
    glRotatef(badgeSpinDegrees(gameTime), c.u.x, c.u.y, c.u.z);
    glMultMatrixf(c.b.data());
    if (caught) glScalef(1.5f, 1.5f, 1.5f);
    badgeModel.draw(true);
    glPopMatrix();
}

ReadRectangle mapReadRectangle(int viewportWidth, int viewportHeight) {
    ReadRectangle r;
    r.width = static_cast<int>(std::lround(static_cast<double>(referenceMapWidth) * viewportWidth / referenceWidth));
    r.height =
        static_cast<int>(std::lround(static_cast<double>(referenceMapHeight) * viewportHeight / referenceHeight));
    if (r.width < 1) r.width = 1;
    if (r.height < 1) r.height = 1;
    r.x = (viewportWidth - r.width) / 2;
    r.y = (viewportHeight - r.height) / 2;
    return r;
}

void beginCaptureView() {
    float halfWidth = 1, halfHeight = 1;
    captureFrustum(halfWidth, halfHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-halfWidth, halfWidth, -halfHeight, halfHeight, captureNear, captureFar);
    glMatrixMode(GL_MODELVIEW);
    // Straight down with screen-up along +z: world +x runs to the left of the
    // picture and +z to its top, as the mini-map's markers expect.
    gluLookAt(0, captureHeight, 0, 0, 0, 0, 0, 0, 1);
}

void endCaptureView() { applyViewProjection(windowWidth, windowHeight); }

void captureMap() {
    const ReadRectangle r = mapReadRectangle(windowWidth, windowHeight);
    std::vector<float> pixels(static_cast<size_t>(r.width) * r.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(r.x, r.y, r.width, r.height, GL_RGBA, GL_FLOAT, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 1.0f;
    stretchMapLevels(pixels);

    glGenTextures(1, &mapTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, r.width, r.height, GL_RGBA, GL_FLOAT, pixels.data());
    mapCapturePending = false;
}
