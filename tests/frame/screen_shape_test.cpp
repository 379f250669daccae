// The picture keeps its proportions on every window shape: the 1280 x 1024
// picture is the middle of a wide one, scaled, and the overlays keep their
// corners.
#include "app/screen_shape.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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
#include "frame/offscreen_game_test.h"
#include "frame/screen_picture.h"
#include "render/searchlight.h"
#include "traffic/vehicle.h"

namespace {

TEST(ScreenShapeTest, SquareFrustumAtFiveToFourWiderOrNarrowerElsewhere) {
    EXPECT_FLOAT_EQ(horizontalExtent(1280, 1024), 1.0f);
    EXPECT_FLOAT_EQ(horizontalExtent(640, 512), 1.0f);
    EXPECT_NEAR(horizontalExtent(1920, 1080), 1.4222f, 1e-4f);
    EXPECT_NEAR(horizontalExtent(1024, 768), 1.0667f, 1e-4f);
    EXPECT_NEAR(horizontalExtent(1024, 1024), 0.8f, 1e-6f);
    // A window without area (minimised) keeps the composed shape.
    EXPECT_FLOAT_EQ(horizontalExtent(1280, 0), 1.0f);
    EXPECT_FLOAT_EQ(horizontalExtent(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(overlaySideShift(1280, 1024, 5), 0.0f);
    // At 16:9, 5 units out the view is 0.42 x 3.33 units wider on each side.
    EXPECT_NEAR(overlaySideShift(1920, 1080, 5), 5 / 1.5f * 0.4222f, 1e-4f);
}

// The game played to the same moment on a 1920 x 1080 surface; frames of
// other shapes are drawn in the lower left corner of it.
class ScreenShapeGameTest : public OffscreenGameTest {
protected:
    void SetUp() override {
        startGame(1920, 1080, 7);
        dismissTitle();
        flyForwardWithTheBeamDown(1920, 1080, 90);
    }
    void TearDown() override { reshape(1920, 1080); }

    static ScreenPicture frameAt(int w, int h) {
        reshape(w, h);
        ::display();
        return ScreenPicture::read(0, 0, w, h);
    }
};

// The middle 1350 x 1080 of the 16:9 frame against the 5:4 frame scaled by
// 1080 / 1024, compared in blocks of 8 x 8 pixels of the 5:4 frame.
TEST_F(ScreenShapeGameTest, WideFrameMiddleIsTheComposedFrameScaled) {
    const ScreenPicture wide = frameAt(1920, 1080);
    const ScreenPicture composed = frameAt(1280, 1024);
    wide.writeIfAsked("shape_1920x1080.ppm");
    composed.writeIfAsked("shape_1280x1024.ppm");

    constexpr int block = 8, columns = 1280 / block, rows = 1024 / block;
    const double scale = 1080.0 / 1024.0;
    const int left = (1920 - 1350) / 2;
    std::vector<double> wideSum(columns * rows, 0), composedSum(columns * rows, 0);
    std::vector<int> wideCount(columns * rows, 0), composedCount(columns * rows, 0);
    std::vector<bool> masked(columns * rows, false);
    for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 1280; ++x) {
            const int b = (y / block) * columns + x / block;
            composedSum[b] += composed.luminance(x, y);
            ++composedCount[b];
            if (composed.inOverlayCorner(x, y)) masked[b] = true;
        }
    }
    for (int y = 0; y < 1080; ++y) {
        for (int x = left; x < left + 1350; ++x) {
            const int cx = static_cast<int>((x - left + 0.5) / scale),
                      cy = static_cast<int>((y + 0.5) / scale);
            if (cx >= 1280 || cy >= 1024) continue;
            const int b = (cy / block) * columns + cx / block;
            wideSum[b] += wide.luminance(x, y);
            ++wideCount[b];
        }
    }
    std::vector<double> differences;
    for (int b = 0; b < columns * rows; ++b) {
        if (masked[b] || wideCount[b] == 0) continue;
        differences.push_back(std::fabs(wideSum[b] / wideCount[b] - composedSum[b] / composedCount[b]));
    }
    ASSERT_GT(differences.size(), static_cast<size_t>(columns * rows / 2));
    double total = 0;
    for (double d : differences) total += d;
    std::sort(differences.begin(), differences.end());
    const double mean = total / static_cast<double>(differences.size());
    const double p95 = differences[differences.size() * 95 / 100];
    std::printf("8x8 blocks: mean luminance difference %.2f, 95th percentile %.2f\n", mean, p95);
    // Scaling blurs edges a little; a stretched or shifted picture differs
    // by tens of levels over most of the city.
    EXPECT_LT(mean, 2.5);
    EXPECT_LT(p95, 8.0);
}

// Bounding box and centre of the non-black pixels of a picture.
struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    double cx = 0, cy = 0;
};
Box inkBox(const ScreenPicture& p) {
    Box b;
    long count = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* c = p.at(x, y);
            if (c[0] + c[1] + c[2] < 24) continue;
            b.cx += x;
            b.cy += y;
            ++count;
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
        }
    }
    if (count > 0) {
        b.cx /= static_cast<double>(count);
        b.cy /= static_cast<double>(count);
    }
    return b;
}

// The badge keeps its gaps to the top and right edges, the mini-map to the
// bottom and left edges, as shares of the screen's height; the caught badge
// stays in the middle. The spinning badge is judged by its centre: seen
// further off the axis of view on a wide screen, its outline turns a little.
TEST_F(ScreenShapeGameTest, OverlaysKeepTheirCornersOnEveryShape) {
    const auto badge = [] { drawBadge(); };
    const auto minimap = [] { drawMinimap(-0.25f, -0.25f, 0.5f, 0.5f, true); };
    const Box badge54 = inkBox(overlayAlone(1280, 1024, badge));
    const Box map54 = inkBox(overlayAlone(1280, 1024, minimap));
    ASSERT_GE(badge54.x1, 0) << "no badge drawn";
    ASSERT_GE(map54.x1, 0) << "no mini-map drawn";
    EXPECT_GT(badge54.x0, 1280 / 2);
    EXPECT_LT(badge54.y1, 1024 / 2);
    EXPECT_LT(map54.x1, 1280 / 2);
    EXPECT_GT(map54.y0, 1024 / 2);
    for (auto [w, h] : {std::pair{1920, 1080}, std::pair{1024, 768}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Box b = inkBox(overlayAlone(w, h, badge));
        const Box m = inkBox(overlayAlone(w, h, minimap));
        const double tolerance = 0.01;
        EXPECT_NEAR((w - b.cx) / h, (1280 - badge54.cx) / 1024.0, tolerance) << "badge to right";
        EXPECT_NEAR(b.cy / h, badge54.cy / 1024.0, tolerance) << "badge to top";
        EXPECT_NEAR((b.y1 - b.y0) / double(h), (badge54.y1 - badge54.y0) / 1024.0, tolerance)
            << "badge height";
        EXPECT_NEAR(m.x0 / double(h), map54.x0 / 1024.0, tolerance) << "mini-map to left";
        EXPECT_NEAR((h - 1 - m.y1) / double(h), (1024 - 1 - map54.y1) / 1024.0, tolerance)
            << "mini-map to bottom";
        EXPECT_NEAR((m.x1 - m.x0) / double(h), (map54.x1 - map54.x0) / 1024.0, tolerance) << "mini-map width";
    }
    fugitive->speed = 0;  // caught: the badge comes to the middle
    for (auto [w, h] : {std::pair{1280, 1024}, std::pair{1920, 1080}, std::pair{1024, 768}}) {
        const Box b = inkBox(overlayAlone(w, h, badge));
        EXPECT_NEAR(b.cx, w / 2.0, h * 0.03) << w << "x" << h;
    }
}

}  // namespace
