// smoke_drawing.cpp -- a smoke particle as a square facing the camera.
#include <GL/gl.h>

#include "app/camera.h"
#include "app/globals.h"
#include "traffic/smoke.h"

namespace {

// The billboard rotation (columns right, up, view) for the camera as it is
// now; every particle of a frame shares it, so it is rebuilt only when the
// camera has moved.
const GLfloat* billboardMatrix() {
    static Vector3 lastEye(0), lastCentre(0);
    static bool valid = false;
    static GLfloat m[16];
    if (valid && camera.eye == lastEye && camera.centre == lastCentre) return m;
    lastEye = camera.eye;
    lastCentre = camera.centre;
    valid = true;
    Vector3 view = camera.centre - camera.eye;
    Vector3 right = Vector3(0, 1, 0).cross(view);
    right.normalize();
    view.normalize();
    Vector3 up = view.cross(right);
    up.normalize();
    const GLfloat values[16] = {right.x, right.y, right.z, 0, up.x, up.y, up.z, 0,
                                view.x,  view.y,  view.z,  0, 0,    0,    0,    1};
    for (int i = 0; i < 16; ++i) m[i] = values[i];
    return m;
}

}  // namespace

void SmokeParticle::draw(bool textured) { drawAll(this, 1, textured); }

void SmokeParticle::drawAll(const SmokeParticle* particles, int count, bool textured) {
    if (count <= 0) return;
    // The state every particle shares is set once: each change of it would
    // have the GL driver prepare its drawing state again, twice a particle.
    if (textured) {
        static const GLfloat grey[] = {0.2f, 0.2f, 0.2f, 1};
        static const GLfloat black[] = {0, 0, 0, 1};
        glEnable(GL_TEXTURE_2D);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, grey);
        glMaterialfv(GL_FRONT, GL_SPECULAR, black);
        glMaterialfv(GL_FRONT, GL_AMBIENT, grey);
        glMaterialfv(GL_FRONT, GL_EMISSION, grey);
        glAlphaFunc(GL_GREATER, 0.016f);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    // Each particle is a square in the plane of the billboard's right and up
    // axes, facing along its view axis: its corners are worked out here in
    // the world, and every run of particles that share a texture and a
    // depth mask goes to the driver as one batch of quads instead of one
    // per particle, each with its own matrix.
    const GLfloat* billboard = billboardMatrix();
    const Vector3 right(billboard[0], billboard[1], billboard[2]);
    const Vector3 up(billboard[4], billboard[5], billboard[6]);
    glNormal3f(billboard[8], billboard[9], billboard[10]);  // every square faces the same way
    int i = 0;
    while (i < count) {
        int end = i + 1;
        if (textured) {
            glBindTexture(GL_TEXTURE_2D, particles[i].texture);
            glDepthMask(particles[i].depthWriteOff ? GL_FALSE : GL_TRUE);
            while (end < count && particles[end].texture == particles[i].texture &&
                   particles[end].depthWriteOff == particles[i].depthWriteOff)
                ++end;
        } else {
            end = count;
        }
        glBegin(GL_QUADS);
        for (int k = i; k < end; ++k) {
            const SmokeParticle& p = particles[k];
            if (textured)
                glColor4f(0.5f, 0.5f, 0.5f, p.alpha);
            else
                glColor3f(1, 0.2f, 0.2f);
            const float size = p.size;
            const auto corner = [&](float s, float t, float x, float y) {
                const Vector3 c = p.position + right * x + up * y;
                glTexCoord2f(s, t);
                glVertex3f(c.x, c.y, c.z);
            };
            corner(0, 0, -size, -size);
            corner(0, 1, -size, size);
            corner(1, 1, size, size);
            corner(1, 0, size, -size);
        }
        glEnd();
        i = end;
    }
    if (textured) {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glDisable(GL_TEXTURE_2D);
    }
}
