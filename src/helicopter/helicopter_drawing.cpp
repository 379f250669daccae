// helicopter_drawing.cpp -- loading the helicopter's mesh and drawing it
// with the hover wobble added, its navigation lights and its beacon.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "helicopter/helicopter.h"

namespace {

constexpr float modelScale = 0.003f;  // model units to world units
constexpr const char* modelFile = "copter.3ds";
constexpr const char* hullName = "s76hull";

// The lights, in world units on screen: a bright core in a soft halo,
// billboards pulled this far toward the eye so the skin under them does
// not cut them.
constexpr float coreRadius = 0.022f, haloRadius = 0.09f, beaconHaloRadius = 0.16f;
constexpr float pullToEye = 0.03f;
constexpr float haloStrength = 0.55f, lampPaleness = 0.25f;
constexpr int discSides = 12;
// Vertices within this share of the hull's extent along an axis of its
// extreme there count as the extreme; lights stand this far out of the skin
// (model units).
constexpr float extremeShare = 0.01f, standOff = 3;
// The beacon flashes once a period of game time, lit for the first part.
constexpr double beaconPeriod = 1.0, beaconLitFor = 0.2;
// While lit it tints the hull around it: a red point light fading with the
// square of the distance (world units).
const GLfloat beaconGlowColour[] = {0.8f, 0.08f, 0.04f, 1};
constexpr GLfloat beaconGlowFalloff = 60;

struct LightColour {
    float r, g, b;
};
const LightColour portRed{1.0f, 0.12f, 0.08f}, starboardGreen{0.15f, 1.0f, 0.3f};
const LightColour tailWhite{1.0f, 1.0f, 0.92f}, beaconRed{1.0f, 0.1f, 0.05f};
const LightColour beaconDark{0.25f, 0.03f, 0.02f};  // the unlit lens

bool beaconLit(double t) {
    double phase = std::fmod(t, beaconPeriod);
    if (phase < 0) phase += beaconPeriod;
    return phase < beaconLitFor;
}

const MeshObject* findHull(const ModelData& data) {
    for (const MeshObject& object : data.objects) {
        if (std::strcmp(object.name, hullName) == 0 && object.vertexCount > 0) return &object;
    }
    return nullptr;
}

// The mean of the hull's vertices whose coordinate `axis`, times `sign`,
// lies within a share of `extent` of its largest value among the vertices
// `keep` accepts.
template <typename Keep>
Vector3 extremePoint(const MeshObject& hull, int axis, float sign, const Vector3& extent, Keep keep) {
    const float tolerance = extremeShare * extent[axis];
    float best = -1e30f;
    for (int i = 0; i < hull.vertexCount; ++i) {
        if (keep(hull.vertices[i])) best = std::fmax(best, sign * hull.vertices[i][axis]);
    }
    Vector3 sum;
    int count = 0;
    for (int i = 0; i < hull.vertexCount; ++i) {
        const Vector3& v = hull.vertices[i];
        if (keep(v) && sign * v[axis] >= best - tolerance) {
            sum += v;
            ++count;
        }
    }
    Vector3 p = sum * (1.0f / static_cast<float>(count));
    p[axis] += sign * standOff;
    return p;
}

// The hull is z up, nose toward -y, its left (port) side toward +x. Red on
// the outermost point to port, green to starboard, white at the rearmost
// point of the lower tail, the beacon on the highest point behind the middle
// (the halves include the middle, so a flat hull still has both).
HelicopterLights placeLights(const MeshObject& hull) {
    Vector3 lo = hull.vertices[0], hi = lo;
    for (int i = 1; i < hull.vertexCount; ++i) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], hull.vertices[i][k]);
            hi[k] = std::fmax(hi[k], hull.vertices[i][k]);
        }
    }
    const Vector3 middle = (lo + hi) * 0.5f;
    const Vector3 extent = hi - lo;
    const auto any = [](const Vector3&) { return true; };
    HelicopterLights lights;
    lights.port = extremePoint(hull, 0, 1, extent, any);
    lights.starboard = extremePoint(hull, 0, -1, extent, any);
    lights.tail = extremePoint(hull, 1, 1, extent, [&](const Vector3& v) { return v.z <= middle.z; });
    lights.beacon = extremePoint(hull, 2, 1, extent, [&](const Vector3& v) { return v.y >= middle.y; });
    lights.placed = true;
    return lights;
}

// A disc facing the eye at eye-space point p, `centre` coloured in the
// middle and `rim` at the edge.
void drawDisc(const Vector3& p, float radius, const GLfloat (&centre)[4], const GLfloat (&rim)[4]) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(p.x, p.y, p.z);
    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(centre);
    glVertex3f(0, 0, 0);
    glColor4fv(rim);
    for (int i = 0; i <= discSides; ++i) {
        const float a = 2 * static_cast<float>(M_PI) * static_cast<float>(i) / discSides;
        glVertex3f(radius * std::cos(a), radius * std::sin(a), 0);
    }
    glEnd();
    glPopMatrix();
}

// One light at model point p in the current modelview: a halo added over
// the picture (none when `halo` is 0), then the lamp itself in its own
// colour, paler in the middle, whatever lies behind it.
void drawLight(const GLfloat (&modelview)[16], const Vector3& p, const LightColour& c, float halo) {
    Vector3 eye(modelview[0] * p.x + modelview[4] * p.y + modelview[8] * p.z + modelview[12],
                modelview[1] * p.x + modelview[5] * p.y + modelview[9] * p.z + modelview[13],
                modelview[2] * p.x + modelview[6] * p.y + modelview[10] * p.z + modelview[14]);
    const float distance = eye.length();
    if (distance > pullToEye) eye *= 1 - pullToEye / distance;
    const GLfloat lamp[] = {c.r, c.g, c.b, 1};
    if (halo > 0) {
        const GLfloat glow[] = {c.r, c.g, c.b, haloStrength}, clear[] = {c.r, c.g, c.b, 0};
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        drawDisc(eye, halo, glow, clear);
    }
    const float pale = halo > 0 ? lampPaleness : 0;
    const GLfloat middle[] = {c.r + (1 - c.r) * pale, c.g + (1 - c.g) * pale, c.b + (1 - c.b) * pale, 1};
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawDisc(eye, coreRadius, middle, lamp);
}

// Lit while drawing the hull: the beacon's red on the skin around it.
void beginBeaconGlow(const Vector3& beacon) {
    const GLfloat position[] = {beacon.x, beacon.y, beacon.z, 1};
    const GLfloat none[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, position);  // in the model's frame
    glLightfv(GL_LIGHT1, GL_DIFFUSE, beaconGlowColour);
    glLightfv(GL_LIGHT1, GL_AMBIENT, none);
    glLightfv(GL_LIGHT1, GL_SPECULAR, none);
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 180);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 1);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 0);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, beaconGlowFalloff);
    glEnable(GL_LIGHT1);
}

// The lights are unlit and untextured, blended over the picture without
// writing depth; every state they touch is put back as it was.
void drawLights(const HelicopterLights& lights, bool beaconOn) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    drawLight(modelview, lights.port, portRed, haloRadius);
    drawLight(modelview, lights.starboard, starboardGreen, haloRadius);
    drawLight(modelview, lights.tail, tailWhite, haloRadius);
    if (beaconOn)
        drawLight(modelview, lights.beacon, beaconRed, beaconHaloRadius);
    else
        drawLight(modelview, lights.beacon, beaconDark, 0);
    glPopAttrib();
}

}  // namespace

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
        const MeshObject* hull = findHull(model.data);
        if (hull && !lights.placed) lights = placeLights(*hull);
        const bool beaconOn = beaconLit(lightsClock);
        if (hull && beaconOn) beginBeaconGlow(lights.beacon);
        model.draw(textured);
        glDisable(GL_LIGHT1);
        if (hull) drawLights(lights, beaconOn);
        glPopMatrix();
    }
    glEnable(GL_LIGHTING);  // the model may change lighting; the caller draws on lit
}
