// The badge as the game draws it, seen face on from the front and from the
// back: the spin must show the emblem's relief on both sides.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/model.h"
#include "badge_mesh.h"
#include "support/gl_context.h"

namespace {

constexpr int side = 320;
constexpr float left = -0.35f, bottom = -0.05f, span = 0.7f;  // the model's x-y window

int pixelX(float x) { return static_cast<int>((x - left) / span * side); }
int pixelY(float y) { return static_cast<int>((y - bottom) / span * side); }

// Lowest and highest luminance over a model-space box of the last picture.
std::pair<float, float> luminanceRange(const std::vector<unsigned char>& rgb, float x0, float y0, float x1,
                                       float y1) {
    float lo = 255, hi = 0;
    for (int y = pixelY(y0); y < pixelY(y1); ++y) {
        for (int x = pixelX(x0); x < pixelX(x1); ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * side + x) * 3];
            const float l = 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
    }
    return {lo, hi};
}

// Lit from the upper left as the viewer sees it, the star's facets shade
// unevenly while the flat field around them does not: on the front (the
// badge turned half round to face +z) and on the back alike.
TEST_F(GLTest, BadgeShowsItsEmblemFromBothSides) {
    const ModelFile file = buildBadge();
    const std::vector<std::uint8_t> bytes = encode3ds(file.materials, file.meshes);
    BadgeModel badge;
    badge.reader.log = nullptr;
    ASSERT_EQ(badge.reader.readBytes(badge.data, bytes.data(), bytes.size(), "policebadge.3ds"),
              ModelReadStatus::ok);

    glViewport(0, 0, side, side);
    glMatrixMode(GL_PROJECTION);
    glOrtho(left, left + span, bottom, bottom + span, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    const GLfloat towardLight[] = {-0.6f, 0.5f, 1, 0}, white[] = {1, 1, 1, 1}, none[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, towardLight);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    for (const bool front : {true, false}) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        if (front) glRotatef(180, 0, 1, 0);  // the front faces -z
        badge.draw(true);
        std::vector<unsigned char> rgb(static_cast<size_t>(side) * side * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());

        const auto star = luminanceRange(rgb, -0.07f, 0.28f, 0.07f, 0.40f);
        const auto field = luminanceRange(rgb, 0.12f, 0.22f, 0.16f, 0.30f);
        EXPECT_GT(field.first, 30) << (front ? "front" : "back") << ": the badge is there";
        EXPECT_LT(field.second - field.first, 6) << (front ? "front" : "back") << ": a flat field";
        EXPECT_GT(star.second - star.first, 40) << (front ? "front" : "back") << ": the star's facets";
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
}

}  // namespace
