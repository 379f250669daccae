// frame_rules_test.cpp -- rules of the tick and the frame, each watched on
// the real game driven offscreen: what one idle tick runs, the hover wobble,
// the catch distance, which way the mouse turns the beam, the projection a
// resize sets, the searchlight pass's blend state, and what the capture
// frame draws.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/game_loop.h"
#include "app/globals.h"
#include "app/offscreen_game.h"
#include "app/random.h"
#include "assets/model.h"
#include "city/city.h"
#include "frame/offscreen_game_test.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"

namespace {

constexpr double turnSeconds = OffscreenGameTest::turn;

// A small surface keeps software rendering quick.
class FrameRulesTest : public OffscreenGameTest {
protected:
    void SetUp() override { startGame(320, 256, 1234); }
    void tick(double seconds) {
        game.offscreenPlatform.advanceClock(seconds);
        idle();
    }
};

// A car that only notes the steps the tick gives it.
class StepRecorder : public Vehicle {
public:
    void update(float dt) override { steps.push_back({'d', dt}); }
    void updateSmoke(float dt) override { steps.push_back({'s', dt}); }
    struct Step {
        char kind;  // 'd' driving, 's' smoke
        float dt;
    };
    std::vector<Step> steps;
};

// What a drawn object finds of the GL state, pass by pass.
struct PassState {
    bool textured;
    bool lighting, blend, depthWrites, offsetFill, textureGeneration;
    GLint blendSource, blendDestination, depthFunction;
    GLfloat offsetFactor, offsetUnits;
};

class StateProbe : public Drawable {
public:
    void draw(bool textured) override {
        PassState s{};
        s.textured = textured;
        s.lighting = glIsEnabled(GL_LIGHTING);
        s.blend = glIsEnabled(GL_BLEND);
        GLboolean mask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
        s.depthWrites = mask == GL_TRUE;
        s.offsetFill = glIsEnabled(GL_POLYGON_OFFSET_FILL);
        s.textureGeneration = glIsEnabled(GL_TEXTURE_GEN_S);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSource);
        glGetIntegerv(GL_BLEND_DST, &s.blendDestination);
        glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunction);
        glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &s.offsetFactor);
        glGetFloatv(GL_POLYGON_OFFSET_UNITS, &s.offsetUnits);
        passes.push_back(s);
    }
    std::vector<PassState> passes;
};

}  // namespace

// One tick: every car drives three sub-steps of a third of the tick, then
// its smoke moves once by the whole tick.
TEST_F(FrameRulesTest, TickDrivesThreeThirdsThenSmokesOnce) {
    StepRecorder* recorder = new StepRecorder();
    city.vehicles.push_back(recorder);
    for (double seconds : {0.03, 0.1}) {
        SCOPED_TRACE(seconds);
        recorder->steps.clear();
        const double before = gameTime;
        tick(seconds);
        const float dt = static_cast<float>(gameTime - before);
        ASSERT_NEAR(dt, seconds, 1e-6);
        ASSERT_EQ(recorder->steps.size(), 4u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(recorder->steps[i].kind, 'd');
            EXPECT_FLOAT_EQ(recorder->steps[i].dt, dt / 3);
        }
        EXPECT_EQ(recorder->steps[3].kind, 's');
        EXPECT_FLOAT_EQ(recorder->steps[3].dt, dt);
    }
    city.vehicles.pop_back();
    delete recorder;
}

// The wobble is set each tick from the new game time t: heights and drifts
// of sin(2t) 0.4, sin(3t) 0.05, sin(3.5t) 0.05; yaw, pitch and roll of
// sin(2t) 3, sin(4t) 5, sin(3t) 5 degrees.
TEST_F(FrameRulesTest, HoverWobbleFollowsTheGameTime) {
    for (double seconds : {0.4, 0.35, 1.1, 2.5}) {
        tick(seconds);
        const double t = gameTime;
        SCOPED_TRACE(t);
        EXPECT_NEAR(helicopter.hoverOffsetY, std::sin(2 * t) * 0.4, 1e-6);
        EXPECT_NEAR(helicopter.hoverOffsetX, std::sin(3 * t) * 0.05, 1e-6);
        EXPECT_NEAR(helicopter.hoverOffsetZ, std::sin(3.5 * t) * 0.05, 1e-6);
        EXPECT_NEAR(helicopter.hoverYaw, std::sin(2 * t) * 3, 1e-5);
        EXPECT_NEAR(helicopter.hoverPitch, std::sin(4 * t) * 5, 1e-5);
        EXPECT_NEAR(helicopter.hoverRoll, std::sin(3 * t) * 5, 1e-5);
    }
}

// The badge fills only while the lit fugitive is nearer than 18 to the
// helicopter; just beyond, the beam still reaches it but nothing fills.
TEST_F(FrameRulesTest, CatchDistanceIsEighteen) {
    dismissTitle();
    const auto lightAt = [](float range) {
        placeSearchlight();
        fugitive->position = helicopter.position - searchlightDirection() * range;
    };
    tickSeconds = referenceTick;  // frames after a reference tick
    lightAt(17.95f);
    float before = badgeModel.fillLevel;
    ::display();
    EXPECT_NEAR(badgeModel.fillLevel - before, 0.004f, 1e-6f) << "two passes, 0.002 each";

    lightAt(18.05f);
    before = badgeModel.fillLevel;
    ::display();
    EXPECT_EQ(badgeModel.fillLevel, before);
}

// The mouse steers the beam the way it moves: to the right, the beam turns
// to the pilot's right. The searchlight's yaw is the helicopter's yaw minus
// the offset, so the offset the mouse raises turns the beam away from +x
// for a helicopter heading +z.
TEST_F(FrameRulesTest, MouseToTheRightTurnsTheBeamRight) {
    for (float yaw : {0.0f, 30.0f, -120.0f}) {
        SCOPED_TRACE(yaw);
        helicopter.yaw = yaw;
        helicopter.pitch = 0;
        game.mouseMotion(160, 128);
        searchlightYawOffset = 0;
        game.mouseMotion(180, 128);  // 20 pixels to the right
        ASSERT_NEAR(searchlightYawOffset, 0.2f, 1e-6f);
        placeSearchlight();
        const Vector3 d = searchlightDirection();
        const double a = yaw * 3.14159 / 180 - 0.2, b = -searchlightPitchOffset;
        EXPECT_NEAR(d.x, std::cos(b) * std::sin(a), 1e-4);
        EXPECT_NEAR(d.y, -std::sin(b), 1e-4);
        EXPECT_NEAR(d.z, std::cos(b) * std::cos(a), 1e-4);
        // The beam looks along -d; the pilot's right of heading (sin, cos) is (-cos, sin).
        const double h = yaw * 3.14159 / 180;
        EXPECT_GT(-d.x * -std::cos(h) + -d.z * std::sin(h), 0.05);
    }
}

// A resize sets the viewport over the whole window and a frustum from 1.5
// to 400 with the 5 : 4 screen's vertical field, widened or narrowed to the
// window's shape so that nothing is stretched.
TEST_F(FrameRulesTest, ResizeKeepsTheVerticalFieldAndFollowsTheWindowShape) {
    for (auto [w, h] : {std::pair{1280, 1024}, std::pair{800, 300}, std::pair{256, 512}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_TEXTURE);  // wherever the caller left the mode
        reshape(w, h);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], w);
        EXPECT_EQ(viewport[3], h);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLfloat p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);  // column-major
        const double n = 1.5, f = 400;
        // Square at 5 : 4 (glFrustum(-1, 1, -1, 1, n, f)); other shapes keep
        // the half height of 1 and scale the half width with the aspect.
        const double halfWidth = (double(w) / h) / (1280.0 / 1024.0);
        const double expected[16] = {
            n / halfWidth, 0, 0, 0, 0, n, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(p[i], expected[i], 1e-5) << "element " << i;
    }
}

// The searchlight pass adds onto the lit pass: blending one to one, no
// depth writes, GL_LESS and a polygon offset of -1, -1. The lit pass of the
// next frame finds depth writes, no blending and no offset again, and
// nothing of it is left on after the frame.
TEST_F(FrameRulesTest, SearchlightPassBlendsAdditively) {
    dismissTitle();
    StateProbe probe;
    cityTree->objects.push_back(&probe);
    game.turn(turnSeconds);
    game.turn(turnSeconds);
    cityTree->objects.pop_back();

    ASSERT_EQ(probe.passes.size(), 4u) << "both passes in both frames";
    for (const PassState& s : probe.passes) {
        if (s.textured) {
            EXPECT_TRUE(s.lighting);
            EXPECT_FALSE(s.blend);
            EXPECT_TRUE(s.depthWrites);
            EXPECT_FALSE(s.offsetFill);
            EXPECT_FALSE(s.textureGeneration);
            EXPECT_EQ(s.depthFunction, GL_LESS);
        } else {
            EXPECT_TRUE(s.lighting);
            EXPECT_TRUE(s.blend);
            EXPECT_EQ(s.blendSource, GL_ONE);
            EXPECT_EQ(s.blendDestination, GL_ONE);
            EXPECT_FALSE(s.depthWrites);
            EXPECT_EQ(s.depthFunction, GL_LESS);
            EXPECT_TRUE(s.offsetFill);
            EXPECT_EQ(s.offsetFactor, -1.0f);
            EXPECT_EQ(s.offsetUnits, -1.0f);
            EXPECT_TRUE(s.textureGeneration);
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
}

// The capture frame draws the city alone, unlit, once: no searchlight
// pass, and no helicopter, badge or mini-map. GL's feedback mode reports
// every primitive that reaches the view; with a city of one object that
// draws nothing, there must be none.
TEST_F(FrameRulesTest, CaptureFrameDrawsTheCityAloneUnlit) {
    game.keyDown('w');  // dismisses the title: the next frame is the capture
    ASSERT_TRUE(mapCapturePending);
    tick(turnSeconds);  // as in play, a tick comes first and eases the camera off the vertical

    StateProbe probe;
    CityTreeNode onlyTheProbe(-50, 50, -50, 50);
    onlyTheProbe.objects.push_back(&probe);
    CityTreeNode* const gameTree = cityTree;
    cityTree = &onlyTheProbe;
    std::vector<GLfloat> feedback(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    ::display();
    const GLint values = glRenderMode(GL_RENDER);
    cityTree = gameTree;

    EXPECT_FALSE(mapCapturePending);
    EXPECT_NE(mapTexture, 0u);
    ASSERT_EQ(probe.passes.size(), 1u) << "one pass only";
    EXPECT_TRUE(probe.passes[0].textured);
    EXPECT_FALSE(probe.passes[0].lighting);
    EXPECT_FALSE(probe.passes[0].textureGeneration);
    EXPECT_EQ(values, 0) << "something besides the city was drawn into the view";

    // The same frame in play, for contrast, draws the helicopter, badge and map.
    cityTree = &onlyTheProbe;
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    ::display();
    const GLint playValues = glRenderMode(GL_RENDER);
    cityTree = gameTree;
    EXPECT_GT(playValues, 0);
}
