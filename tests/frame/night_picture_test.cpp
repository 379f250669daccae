// The picture as the player sees it at 1280 x 1024: a night city whose lit
// windows are its brightest points, a searchlight that clearly owns what it
// lights, and a badge whose glow shows on its lit side.
//
// The figures are printed; with SEARCHLIGHT_PICTURE_DIR set, the frames are
// also written there as PPM files to look at.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
#include "frame/screen_picture.h"
#include "render/searchlight.h"
#include "traffic/vehicle.h"

namespace {

constexpr int width = 1280, height = 1024;
class NightPictureTest : public OffscreenGameTest {
protected:
    void SetUp() override {
        startGame(width, height, 7);
        dismissTitle();
        flyForwardWithTheBeamDown(width, height, 150);
        game.turn(turn);
    }
};

// Beam on the street ahead against the same frame with the beam raised to
// the sky, where it lights nothing.
TEST_F(NightPictureTest, DarkCityBrightWindowsAndABeamThatOwnsTheStreet) {
    ASSERT_TRUE(chaseOn());
    ::display();
    const ScreenPicture lit = ScreenPicture::read(0, 0, width, height);
    const float streetPitch = searchlightPitchOffset;
    searchlightPitchOffset = -1.2f;  // past the mouse's range: straight up
    ::display();
    const ScreenPicture away = ScreenPicture::read(0, 0, width, height);
    searchlightPitchOffset = streetPitch;
    lit.writeIfAsked("night_beam_on.ppm");
    away.writeIfAsked("night_beam_away.ppm");

    // What the beam lights: pixels it raises clearly.
    std::vector<float> scene;
    double beamLit = 0, beamAway = 0;
    int beamPixels = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (lit.inOverlayCorner(x, y)) continue;
            const float on = lit.luminance(x, y), off = away.luminance(x, y);
            if (on - off > 6) {
                beamLit += on;
                beamAway += off;
                ++beamPixels;
            } else {
                scene.push_back(off);
            }
        }
    }
    ASSERT_GT(beamPixels, width * height / 200) << "the beam lights almost nothing on screen";
    ASSERT_FALSE(scene.empty());
    double sum = 0;
    for (float v : scene) sum += v;
    const double mean = sum / static_cast<double>(scene.size());
    std::sort(scene.begin(), scene.end());
    const float brightest = scene[scene.size() - scene.size() / 200 - 1];
    // The beam's gain on what it lights, judged where it falls on something
    // more than black (pure black stays black under any light).
    const double gain = beamLit / std::max(beamAway, 1.0);
    std::printf("scene mean luminance %.1f, brightest 0.5%% from %.1f, beam gain %.2f over %d pixels\n", mean,
                static_cast<double>(brightest), gain, beamPixels);

    // Before the night art this scene measured a mean of 40.8, its brightest
    // 0.5 % from 104.9 and a beam gain of 3.0.
    EXPECT_LE(mean, 0.55 * 40.8) << "the city reads as day";
    // The city's material (ambient 0.15 under a white light and the 0.2 model
    // ambient, diffuse 0.3) brings a white texel to at most 0.48, 122 of 255,
    // and a warm lit window to about 100: the brightest points must reach that.
    EXPECT_GE(brightest, 90.0f) << "no bright lit windows";
    EXPECT_GE(gain, 5.0) << "the searchlight barely shows on the street";
}

// Badge pixels alone: the frame's light and camera, the badge drawn on black.
ScreenPicture badgeAlone(float fillLevel) {
    return overlayAlone(width, height, [&] {
        badgeModel.fillLevel = fillLevel;
        drawBadge();
    });
}

// The lit side of the badge does not flood white: the glow, the capture's
// progress, shows there as it does in the shade.
TEST_F(NightPictureTest, BadgeGlowShowsOnItsLitSide) {
    int bright = 0, white = 0, litPixels = 0, litAndYellower = 0;
    for (int step = 0; step < 12; ++step) {  // a whole turn of the spinning badge
        gameTime += 0.6;
        const ScreenPicture dark = badgeAlone(0);
        const ScreenPicture glowing = badgeAlone(1.1f);
        if (step == 0) glowing.writeIfAsked("badge_glowing.ppm");
        for (int y = 0; y < height / 2; ++y) {
            for (int x = width / 2; x < width; ++x) {
                const unsigned char* d = dark.at(x, y);
                const unsigned char* g = glowing.at(x, y);
                if (glowing.luminance(x, y) >= 128) {
                    ++bright;
                    white += g[0] == 255 && g[1] == 255 && g[2] == 255;
                }
                if (dark.luminance(x, y) >= 100) {  // turned to the light
                    ++litPixels;
                    litAndYellower += (g[0] + g[1]) / 2 - g[2] > (d[0] + d[1]) / 2 - d[2] + 20;
                }
            }
        }
    }
    ASSERT_GT(bright, 1000) << "no badge in the upper right";
    ASSERT_GT(litPixels, 1000) << "the badge is never lit";
    const double whiteShare = static_cast<double>(white) / bright;
    const double yellowerShare = static_cast<double>(litAndYellower) / litPixels;
    std::printf("badge: %.1f%% of bright pixels pure white; glow shows on %.1f%% of its lit pixels\n",
                100 * whiteShare, 100 * yellowerShare);
    EXPECT_LE(whiteShare, 0.15);
    EXPECT_GE(yellowerShare, 0.5);
}

// Caught: the centred, enlarged badge glows gold.
TEST_F(NightPictureTest, CaughtBadgeGlowsGoldInTheCentre) {
    fugitive->speed = 0;
    ::display();
    const ScreenPicture frame = ScreenPicture::read(0, 0, width, height);
    frame.writeIfAsked("badge_caught.ppm");
    int gold = 0, white = 0;
    for (int y = height / 4; y < height * 3 / 4; ++y) {
        for (int x = width / 4; x < width * 3 / 4; ++x) {
            const unsigned char* p = frame.at(x, y);
            gold += p[0] > 90 && p[1] > p[0] * 3 / 4 && p[2] < p[1] / 2;
            white += p[0] == 255 && p[1] == 255 && p[2] == 255;
        }
    }
    std::printf("caught badge: %d gold pixels, %d pure white\n", gold, white);
    EXPECT_GT(gold, 20000) << "the caught badge does not glow gold";
    EXPECT_LT(white, gold / 5);
}

}  // namespace
