// The frame: statistics, the searchlight rule, the passes and the map capture,
// on the real game driven offscreen.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/game_loop.h"
#include "app/globals.h"
#include "app/offscreen_game.h"
#include "app/overlays.h"
#include "app/random.h"
#include "assets/model.h"
#include "frame/offscreen_game_test.h"
#include "helicopter/helicopter.h"
#include "render/searchlight.h"
#include "traffic/vehicle.h"

namespace {

class FrameTest : public OffscreenGameTest {
protected:
    void SetUp() override { startGame(1280, 1024, 1234); }
    // Puts the fugitive straight under the searchlight's beam, 10 units away.
    void holdFugitiveInBeam() {
        placeSearchlight();
        const Vector3 d = searchlightDirection();
        fugitive->position = helicopter.position - d * 10;
    }
    bool projectivePassRan() const { return glIsEnabled(GL_TEXTURE_GEN_S) == GL_TRUE; }
};

TEST_F(FrameTest, FirstFramePrintsBothCountsAndTheRateComesAtFrameHundred) {
    testing::internal::CaptureStderr();
    game.turn(turn);
    std::string first = testing::internal::GetCapturedStderr();
    EXPECT_NE(first.find("num reg objects drawn = 0\n"), std::string::npos) << first;
    EXPECT_NE(first.find("num projective objects drawn = 0\n"), std::string::npos) << first;
    EXPECT_EQ(first.find("fps: "), std::string::npos);

    testing::internal::CaptureStderr();
    for (int i = 1; i < 99; ++i) game.turn(turn);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("fps: "), std::string::npos);
    testing::internal::CaptureStderr();
    game.turn(turn);  // the hundredth frame
    const std::string hundredth = testing::internal::GetCapturedStderr();
    const size_t at = hundredth.find("fps: ");
    ASSERT_NE(at, std::string::npos) << hundredth;
    EXPECT_NEAR(std::stod(hundredth.substr(at + 5)), 60.0, 0.01);  // 100 frames of 1/60 s
    EXPECT_EQ(frameCount, 100u);
}

TEST_F(FrameTest, TitleCardHoldsBackTheSearchlightRule) {
    ASSERT_NE(fugitive, nullptr);
    for (int i = 0; i < 30; ++i) {
        holdFugitiveInBeam();
        game.turn(turn);
    }
    EXPECT_EQ(badgeModel.fillLevel, 0.0f);
    EXPECT_EQ(policeSpawned, 0);
}

TEST_F(FrameTest, HeldFugitiveFillsTheBadgeTwicePerFrameAndDispatchesPolice) {
    dismissTitle();
    ASSERT_NE(fugitive, nullptr);
    const size_t carsBefore = policeCars.size();
    tickSeconds = referenceTick;  // frames after a reference tick: 0.002 a pass
    holdFugitiveInBeam();
    const float before = badgeModel.fillLevel;
    ::display();
    EXPECT_NEAR(badgeModel.fillLevel - before, 0.004f, 1e-6f);

    // From 0.9 the badge needs 50 more passes; keep the fugitive lit without
    // letting it drive away (display only).
    badgeModel.fillLevel = 0.9f;
    int frames = 0;
    while (policeSpawned == 0 && frames < 100) {
        holdFugitiveInBeam();
        ::display();
        ++frames;
    }
    EXPECT_EQ(policeSpawned, 1);
    EXPECT_EQ(policeCars.size(), carsBefore + 1);
    EXPECT_LT(badgeModel.fillLevel, 0.01f);  // reset when the car went out
    EXPECT_GE(frames, 24);                   // 0.1 / 0.004 frames, give or take a pass
    EXPECT_LE(frames, 26);
}

TEST_F(FrameTest, SearchlightDispatchesAtMostFivePoliceCars) {
    dismissTitle();
    for (int i = 0; i < 8; ++i) {
        badgeModel.fillLevel = 0.999f;  // one pass short of full
        holdFugitiveInBeam();
        ::display();
    }
    EXPECT_EQ(policeSpawned, 5);
    EXPECT_GT(badgeModel.fillLevel, 1.0f);  // keeps filling once the five are out
}

TEST_F(FrameTest, UnlitFugitiveSuspendsThePursuitForThisTick) {
    dismissTitle();
    fugitive->position = helicopter.position + Vector3(0, 0, 200);  // far behind the beam
    pursuitActive = true;
    ::display();
    EXPECT_FALSE(pursuitActive);
}

// The searchlight leads the police: a frame that finds the fugitive outside
// the beam keeps the pursuit off through the following idle ticks, until a
// frame finds it lit again; before any frame the fugitive counts as lit.
TEST_F(FrameTest, PoliceHuntOnlyAFugitiveTheLastFrameFoundInTheBeam) {
    EXPECT_TRUE(fugitiveLit);
    dismissTitle();
    const auto tick = [&] {
        game.offscreenPlatform.advanceClock(turn);
        ::idle();
    };
    fugitive->position = helicopter.position + Vector3(0, 0, 200);
    ::display();
    EXPECT_FALSE(fugitiveLit);
    for (int i = 0; i < 3; ++i) {
        tick();
        EXPECT_FALSE(pursuitActive) << "tick " << i;
    }
    holdFugitiveInBeam();
    ::display();
    EXPECT_TRUE(fugitiveLit);
    tick();
    EXPECT_TRUE(pursuitActive);
}

// A police car at its decision point, with the fugitive unlit, takes only
// ways that exist (it chooses like traffic) instead of turning toward the
// fugitive whatever the options hold.
TEST_F(FrameTest, PoliceChooseLikeTrafficWhileTheFugitiveIsUnlit) {
    dismissTitle();
    game.keyDown('x');
    game.keyUp('x');
    ASSERT_EQ(policeCars.size(), 1u);
    PoliceCar& police = *policeCars[0];
    police.firstChoice = false;
    police.heading = 0;
    police.position = Vector3(0, 0, 0);
    fugitive->position = Vector3(-30, 0, 0);  // far to its right: a hunter turns right
    ::display();
    ASSERT_FALSE(fugitiveLit);
    game.offscreenPlatform.advanceClock(turn);
    ::idle();
    const float onlyStraight[3] = {10, -99999, -99999};
    for (int i = 0; i < 50; ++i) EXPECT_EQ(police.chooseDirection(onlyStraight), 0);
    pursuitActive = true;  // lit: the same car turns toward the fugitive
    EXPECT_EQ(police.chooseDirection(onlyStraight), 2);
}

// Once the fugitive is caught the badge glows at 1.1, over the rule's
// threshold, and the capture parks the helicopter with the beam on the
// fugitive: no police car may come of it.
TEST_F(FrameTest, NoPoliceAreSentAfterTheCapture) {
    dismissTitle();
    fugitive->speed = 0;  // caught
    const size_t carsBefore = policeCars.size();
    for (int i = 0; i < 10; ++i) {
        holdFugitiveInBeam();
        ::display();
    }
    EXPECT_FLOAT_EQ(badgeModel.fillLevel, 1.1f);
    EXPECT_EQ(policeSpawned, 0);
    EXPECT_EQ(policeCars.size(), carsBefore);
}

// Play as a player with a perfect aim would: the title dismissed, the beam
// lowered, three police cars sent with "x", and the fugitive held in the
// searchlight (the offscreen driver's aim). The searchlight sends more
// police as the badge fills, they hunt the lit fugitive down, and after the
// capture nothing more is sent. A small surface keeps the frames cheap.
class FramePlayTest : public OffscreenGameTest {};

TEST_F(FramePlayTest, HeldInTheBeamTheFugitiveIsHuntedDownAndNothingFollowsTheCapture) {
    startGame(160, 128, 126);
    game.keyDown('\r');
    game.keyUp('\r');
    game.turn(turn);             // the capture frame
    game.mouseMotion(640, 512);  // the first motion lowers the beam to its lowest pitch
    for (int i = 0; i < 3; ++i) {
        game.keyDown('x');
        game.keyUp('x');
    }
    game.aimAtFugitive = true;
    const int limit = static_cast<int>(240 / turn);
    int turns = 0, litFrames = 0;
    for (; turns < limit && !fugitiveCaught(); ++turns) {
        game.turn(turn);
        if (fugitiveLit) ++litFrames;
    }
    std::printf("caught after %.1f s with %d police (%d by the searchlight), lit in %d of %d frames\n",
                turns * turn, static_cast<int>(policeCars.size()), policeSpawned, litFrames, turns);
    ASSERT_TRUE(fugitiveCaught()) << "not caught in 240 s";
    EXPECT_GE(litFrames, turns - 1);  // the aim holds it from the first frame on
    EXPECT_GE(policeSpawned, 1);      // the badge filled at least once

    const size_t policeAtCapture = policeCars.size();
    const int spawnedAtCapture = policeSpawned;
    for (int i = 0; i < 300; ++i) game.turn(turn);
    EXPECT_EQ(policeCars.size(), policeAtCapture);
    EXPECT_EQ(policeSpawned, spawnedAtCapture);
    EXPECT_FLOAT_EQ(badgeModel.fillLevel, 1.1f);
}

TEST(SearchlightFrustumTest, BoundaryCountsAsOutside) {
    EXPECT_TRUE(insideSearchlightFrustum(Vector3(0.999f, -0.999f, 0.5f)));
    EXPECT_FALSE(insideSearchlightFrustum(Vector3(1, 0, 0)));
    EXPECT_FALSE(insideSearchlightFrustum(Vector3(0, -1, 0)));
    EXPECT_FALSE(insideSearchlightFrustum(Vector3(0, 0, 1)));
}

TEST_F(FrameTest, ProjectivePassSkippedInTheCaptureFrameAndOnceCaught) {
    game.turn(turn);
    EXPECT_TRUE(projectivePassRan());  // under the title the chase is already on
    game.keyDown('w');
    EXPECT_TRUE(mapCapturePending);
    ::display();
    EXPECT_FALSE(mapCapturePending);
    EXPECT_FALSE(projectivePassRan());
    EXPECT_NE(mapTexture, 0u);
    ::display();
    EXPECT_TRUE(projectivePassRan());
    fugitive->speed = 0;  // caught
    ::display();
    EXPECT_FALSE(projectivePassRan());
    EXPECT_FLOAT_EQ(badgeModel.fillLevel, 1.1f);  // the badge glows in full
}

// 50 degrees a second, and as smooth after a day of play as at the start: a
// hundredth of a second still turns the badge by half a degree.
TEST(BadgeTest, SpinStaysSmoothAfterADayOfPlay) {
    EXPECT_FLOAT_EQ(badgeSpinDegrees(1.0), 50.0f);
    EXPECT_FLOAT_EQ(badgeSpinDegrees(8.0), 40.0f);  // 400 degrees
    const double day = 86400.0;
    for (double t : {day, day + 0.01, day + 0.006, 10 * day + 0.123}) {
        const double expected = std::fmod(t * 50, 360.0);
        const float angle = badgeSpinDegrees(t);
        EXPECT_GE(angle, 0.0f) << t;
        EXPECT_LT(angle, 360.0f) << t;
        EXPECT_NEAR(angle, expected, 1e-3) << t;
    }
    EXPECT_NEAR(badgeSpinDegrees(day + 0.01) - badgeSpinDegrees(day), 0.5f, 1e-3f);
}

TEST(MinimapTest, MarkerFormulaPutsTheCityCornersAtTheQuadCorners) {
    float mx = 0, my = 0;
    minimapMarkerPosition(-0.25f, -0.25f, 0.5f, 0.5f, -50, -50, mx, my);
    EXPECT_FLOAT_EQ(mx, 0.25f);
    EXPECT_FLOAT_EQ(my, 0.25f);
    minimapMarkerPosition(-0.25f, -0.25f, 0.5f, 0.5f, 50, 50, mx, my);
    EXPECT_FLOAT_EQ(mx, -0.25f);
    EXPECT_FLOAT_EQ(my, -0.25f);
}

TEST(MapCaptureTest, ReadRectangleIsTheSameCentredFractionOnEveryWindow) {
    const ReadRectangle r = mapReadRectangle(1280, 1024);
    EXPECT_EQ(r.x, 467);
    EXPECT_EQ(r.y, 372);
    EXPECT_EQ(r.width, 346);
    EXPECT_EQ(r.height, 279);
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{1024, 768}, std::pair{800, 600}}) {
        const ReadRectangle q = mapReadRectangle(w, h);
        EXPECT_NEAR(static_cast<double>(q.width) / w, 346.0 / 1280, 1.0 / w);
        EXPECT_NEAR(static_cast<double>(q.height) / h, 279.0 / 1024, 1.0 / h);
        EXPECT_NEAR(q.x + q.width / 2.0, w / 2.0, 1.0);
        EXPECT_NEAR(q.y + q.height / 2.0, h / 2.0, 1.0);
    }
}

// The capture and the marker formula must agree: a marker at world (x, z)
// sits at texture coordinates s = 1 - (x + 50) / 100, t = (z + 50) / 100 of
// the map quad. Paint one corner of the city and find it there.
class MapCaptureGLTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(MapCaptureGLTest, CapturedCornerLandsWhereTheMarkerFormulaPutsIt) {
    const auto [w, h] = GetParam();
    OffscreenGame game;
    std::string error;
    ASSERT_TRUE(game.createContext(w, h, error)) << error;
    reshape(w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    beginCaptureView();
    // Red over the corner x in -50..-30, z in -50..-30; green over x 30..50, z -50..-30.
    const auto square = [](float x0, float z0, float r, float g) {
        glColor3f(r, g, 0);
        glBegin(GL_QUADS);
        glVertex3f(x0, 0, z0);
        glVertex3f(x0, 0, z0 + 20);
        glVertex3f(x0 + 20, 0, z0 + 20);
        glVertex3f(x0 + 20, 0, z0);
        glEnd();
    };
    square(-50, -50, 1, 0);
    square(30, -50, 0, 1);
    mapCapturePending = true;
    captureMap();
    endCaptureView();
    glPopMatrix();
    EXPECT_FALSE(mapCapturePending);

    GLint tw = 0, th = 0;
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    std::vector<unsigned char> texels(static_cast<size_t>(tw) * th * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const auto at = [&](float worldX, float worldZ) {
        const float s = 1 - (worldX + 50) / 100, t = (worldZ + 50) / 100;
        const int x = std::min(tw - 1, static_cast<int>(s * tw)),
                  y = std::min(th - 1, static_cast<int>(t * th));
        return &texels[(static_cast<size_t>(y) * tw + x) * 4];
    };
    EXPECT_GT(at(-45, -45)[0], 200);  // red corner
    EXPECT_LT(at(-45, -45)[1], 50);
    EXPECT_GT(at(45, -45)[1], 200);  // green corner
    EXPECT_LT(at(45, -45)[0], 50);
    EXPECT_LT(at(-45, 45)[0] + at(-45, 45)[1], 20);  // nothing painted there
    // The painted squares end 20 units in: just inside is painted, just
    // outside is not, so the map is neither shifted nor scaled.
    EXPECT_GT(at(-32, -32)[0], 200);
    EXPECT_LT(at(-27, -27)[0], 50);
    EXPECT_EQ(at(0, 0)[3], 255);  // alpha forced opaque
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, MapCaptureGLTest,
                         ::testing::Values(std::pair{1280, 1024}, std::pair{1920, 1080},
                                           std::pair{1024, 768}));

}  // namespace
