// Smoke drawn a car's worth at a time: the same pixels and the same GL state
// afterwards as drawing each particle on its own.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "app/camera.h"
#include "app/globals.h"
#include "support/gl_context.h"
#include "traffic/smoke.h"

namespace {

constexpr int side = 96;

class SmokeDrawingTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        // Two textures with an alpha ramp, so blending shows every particle.
        glGenTextures(2, textures);
        for (int t = 0; t < 2; ++t) {
            std::vector<unsigned char> texels(8 * 8 * 4);
            for (size_t i = 0; i < texels.size(); i += 4) {
                texels[i] = static_cast<unsigned char>(t ? 40 : 220);
                texels[i + 1] = static_cast<unsigned char>(i % 251);
                texels[i + 2] = 128;
                texels[i + 3] = static_cast<unsigned char>((i * 7) % 256);
            }
            glBindTexture(GL_TEXTURE_2D, textures[t]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        }
        // Overlapping particles, nearer and farther, of both textures, some
        // writing depth (hiding what comes after them) and some not.
        for (int i = 0; i < 12; ++i) {
            SmokeParticle p;
            // Each one a little farther from the camera than the one before.
            p.position = Vector3(0.15f * static_cast<float>(i % 4) - 0.2f, 0.1f * static_cast<float>(i % 3),
                                 0.12f * static_cast<float>(i) - 0.6f);
            p.size = 0.4f + 0.05f * static_cast<float>(i % 3);
            p.alpha = 0.2f + 0.06f * static_cast<float>(i);
            p.texture = textures[(i / 2) % 2];  // pairs: runs that share a texture, and runs split by depth
            p.depthWriteOff = i % 3 != 0;
            particles.push_back(p);
        }
        savedEye = camera.eye;
        savedCentre = camera.centre;
        camera.eye = Vector3(0.5f, 3, -4);
        camera.centre = Vector3(0, 0, 0);
    }
    void TearDown() override {
        glDeleteTextures(2, textures);
        camera.eye = savedEye;
        camera.centre = savedCentre;
    }

    struct Result {
        std::vector<unsigned char> pixels;
        GLboolean blend, texture, depthMask;
    };
    // The test's frame with draw in it: the camera's view, lit, depth-tested.
    Result render(const std::function<void()>& draw) {
        glViewport(0, 0, side, side);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 1, 0.5, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera.apply();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glClearColor(0.1f, 0.1f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        Result r;
        r.blend = glIsEnabled(GL_BLEND);
        r.texture = glIsEnabled(GL_TEXTURE_2D);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &r.depthMask);
        r.pixels.resize(side * side * 4);
        glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, r.pixels.data());
        glDisable(GL_LIGHTING);
        return r;
    }
    Result render(bool batched, bool textured) {
        return render([&] {
            if (batched) {
                SmokeParticle::drawAll(particles.data(), static_cast<int>(particles.size()), textured);
            } else {
                for (SmokeParticle& p : particles) p.draw(textured);
            }
        });
    }

    GLuint textures[2] = {0, 0};
    std::vector<SmokeParticle> particles;
    Vector3 savedEye, savedCentre;
};

TEST_F(SmokeDrawingTest, AllAtOnceDrawsWhatEachAloneDraws) {
    for (const bool textured : {true, false}) {
        const Result alone = render(false, textured);
        const Result together = render(true, textured);
        EXPECT_TRUE(alone.pixels == together.pixels) << (textured ? "textured" : "searchlight pass");
        EXPECT_EQ(alone.blend, together.blend);
        EXPECT_EQ(alone.texture, together.texture);
        EXPECT_EQ(alone.depthMask, together.depthMask);
        int lit = 0;
        for (int i = 0; i < side * side; ++i) lit += alone.pixels[4 * i] != alone.pixels[0];
        EXPECT_GT(lit, side * side / 10) << "the particles cover part of the view";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Each particle drawn the plain way, as a unit square under its own matrix
// (translated to the particle, turned to face the camera, scaled by its
// size) with the state drawAll sets: the batched corners must land on the
// same pixels.
TEST_F(SmokeDrawingTest, BatchedSquaresStandWhereEachParticlesOwnMatrixPutsThem) {
    const Result batched = render(true, false);
    const auto plain = [this] {
        Vector3 view = camera.centre - camera.eye;
        Vector3 right = Vector3(0, 1, 0).cross(view);
        right.normalize();
        view.normalize();
        Vector3 up = view.cross(right);
        up.normalize();
        const GLfloat turn[16] = {right.x, right.y, right.z, 0, up.x, up.y, up.z, 0,
                                  view.x,  view.y,  view.z,  0, 0,    0,    0,    1};
        for (const SmokeParticle& p : particles) {
            glPushMatrix();
            glTranslatef(p.position.x, p.position.y, p.position.z);
            glMultMatrixf(turn);
            glColor3f(1, 0.2f, 0.2f);
            glBegin(GL_QUADS);
            glNormal3f(0, 0, 1);
            glVertex3f(-p.size, -p.size, 0);
            glVertex3f(-p.size, p.size, 0);
            glVertex3f(p.size, p.size, 0);
            glVertex3f(p.size, -p.size, 0);
            glEnd();
            glPopMatrix();
        }
    };
    const std::vector<unsigned char> expected = render(plain).pixels;
    int differing = 0;
    for (size_t i = 0; i < expected.size(); i += 4)
        for (size_t c = i; c < i + 3; ++c)
            if (std::abs(expected[c] - batched.pixels[c]) > 4) {
                ++differing;
                break;
            }
    // Rounding may move an edge pixel or two, never a square.
    EXPECT_LE(differing, side * side / 200);
}

TEST_F(SmokeDrawingTest, NoParticlesTouchNoState) {
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    SmokeParticle::drawAll(particles.data(), 0, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
