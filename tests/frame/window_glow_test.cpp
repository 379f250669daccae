// Lit windows at their painted colour: a play shot at 1280 x 1024 with the
// beam raised away, judged outside the overlays and the helicopter, with
// the glow on (the game) and off (the city's plain material).
//
// With SEARCHLIGHT_PICTURE_DIR set, both frames are written there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/frame.h"
#include "app/globals.h"
#include "frame/offscreen_game_test.h"
#include "frame/screen_picture.h"
#include "helicopter/helicopter.h"

namespace {

constexpr int width = 1280, height = 1024;
constexpr int helicopterMargin = 6;  // pixels round the craft, for its lights' halo

struct SceneFigures {
    double mean = 0;
    float brightest = 0;  // the darkest of the brightest 0.5 %
};

class WindowGlowTest : public OffscreenGameTest {
protected:
    void SetUp() override {
        startGame(width, height, 7);
        dismissTitle();
        flyForwardWithTheBeamDown(width, height, 150);
        game.turn(turn);
        searchlightPitchOffset = -1.2f;  // past the mouse's range: the beam to the sky
    }

    ScreenPicture frame(bool glow) {
        windowGlow = glow;
        ::display();
        return ScreenPicture::read(0, 0, width, height);
    }

    // The pixels judged: outside the overlay corners and the helicopter.
    std::vector<bool> sceneMask() {
        const ScreenPicture craft = overlayAlone(width, height, [] { helicopter.draw(true); });
        std::vector<bool> scene(static_cast<size_t>(width) * height, true);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (craft.inOverlayCorner(x, y)) scene[static_cast<size_t>(y) * width + x] = false;
                if (craft.luminance(x, y) == 0) continue;
                for (int dy = -helicopterMargin; dy <= helicopterMargin; ++dy) {
                    for (int dx = -helicopterMargin; dx <= helicopterMargin; ++dx) {
                        const int px = x + dx, py = y + dy;
                        if (px >= 0 && px < width && py >= 0 && py < height)
                            scene[static_cast<size_t>(py) * width + px] = false;
                    }
                }
            }
        }
        return scene;
    }

    static SceneFigures figures(const ScreenPicture& p, const std::vector<bool>& scene) {
        std::vector<float> values;
        double sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (!scene[static_cast<size_t>(y) * width + x]) continue;
                values.push_back(p.luminance(x, y));
                sum += values.back();
            }
        }
        SceneFigures f;
        if (values.empty()) return f;
        f.mean = sum / static_cast<double>(values.size());
        std::sort(values.begin(), values.end());
        f.brightest = values[values.size() - values.size() / 200 - 1];
        return f;
    }
};

// The windows are the brightest things on screen and the city stays dark;
// the glow only ever brightens, and only the windows: the walls keep the
// light the material gives them.
TEST_F(WindowGlowTest, LitWindowsShowTheirPaintedColourInADarkCity) {
    const ScreenPicture glowing = frame(true);
    const ScreenPicture plain = frame(false);
    windowGlow = true;
    glowing.writeIfAsked("window_glow_on.ppm");
    plain.writeIfAsked("window_glow_off.ppm");
    const std::vector<bool> scene = sceneMask();
    const SceneFigures on = figures(glowing, scene), off = figures(plain, scene);

    int judged = 0, brightened = 0, darkened = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!scene[static_cast<size_t>(y) * width + x]) continue;
            ++judged;
            const float change = glowing.luminance(x, y) - plain.luminance(x, y);
            brightened += change > 2;
            darkened += change < -2;
        }
    }
    const double brightenedShare = static_cast<double>(brightened) / judged;
    std::printf(
        "glow on: mean %.1f, brightest 0.5%% from %.1f; glow off: mean %.1f, brightest from %.1f; "
        "%.1f%% of %d pixels brightened, %d darkened\n",
        on.mean, static_cast<double>(on.brightest), off.mean, static_cast<double>(off.brightest),
        100 * brightenedShare, judged, darkened);
    ASSERT_GT(judged, width * height / 2);
    EXPECT_GE(on.brightest, 140.0f) << "lit windows are murky";
    EXPECT_LE(on.mean, 24.0) << "the city no longer reads as night";
    EXPECT_LT(off.brightest, on.brightest - 20) << "the glow does not show";
    EXPECT_EQ(darkened, 0) << "the glow darkened part of the scene";
    EXPECT_LE(brightenedShare, 0.2) << "more than the windows changed";
}

}  // namespace
