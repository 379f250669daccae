// The text over the picture: the result after a capture, legible and clear
// of the badge and the mini-map on 5:4, 16:9 and 4:3 screens; the pause
// screen; the line while the space bar holds the police back.
//
// With SEARCHLIGHT_PICTURE_DIR set, the 1280 x 1024 frames are written there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/capture_result.h"
#include "app/chase.h"
#include "app/globals.h"
#include "app/overlays.h"
#include "app/records.h"
#include "app/text_overlay_layout.h"
#include "assets/file_bytes.h"
#include "assets/sgi_image.h"
#include "frame/offscreen_game_test.h"
#include "frame/screen_picture.h"
#include "render/font_atlas.h"
#include "render/text.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"

namespace {

namespace fs = std::filesystem;

// The font as the game reads it, to know which font pixels carry ink.
struct FontInk {
    std::vector<unsigned char> rgba;
    bool load() {
        std::vector<unsigned char> bytes;
        std::string error;
        SgiImage image;
        if (readFileBytes(fontFileName, bytes, error) != FileReadStatus::ok ||
            !parseSgiImage(image, std::move(bytes), error))
            return false;
        rgba.resize(static_cast<size_t>(image.xsize) * image.ysize * 4);
        return decodeSgiPixels(image, rgba.data(), error);
    }
    // Font pixel (column, row) of c, row 0 at the top.
    bool at(char c, int column, int row) const {
        if (column < 0 || row < 0 || column >= FontAtlas::glyphColumns || row >= FontAtlas::glyphRows)
            return false;
        const auto u = static_cast<unsigned char>(c);
        const int x = FontAtlas::glyphTexelX(u) + column * FontAtlas::texelsPerPixel + 1;
        const int y =
            FontAtlas::glyphTexelY(u) + (FontAtlas::glyphRows - 1 - row) * FontAtlas::texelsPerPixel + 1;
        return rgba[(static_cast<size_t>(y) * FontAtlas::width + x) * 4 + 3] > 127;
    }
};

// A line is legible when every font pixel with ink is bright on the screen
// and every one without ink or shadow is dark.
void expectLegible(const ScreenPicture& frame, const FontInk& font, const PlacedText& t) {
    SCOPED_TRACE("\"" + t.text + "\"");
    int ink = 0, badInk = 0, ground = 0, badGround = 0;
    for (size_t i = 0; i < t.text.size(); ++i) {
        for (int row = 0; row < FontAtlas::glyphRows; ++row) {
            for (int column = 0; column < FontAtlas::glyphColumns; ++column) {
                const float sx = t.x + (static_cast<float>(i) * FontAtlas::advance + column + 0.5f) * t.pixel;
                const float sy = t.y + (FontAtlas::glyphRows - 1 - row + 0.5f) * t.pixel;
                const int x = static_cast<int>(sx), y = frame.height - 1 - static_cast<int>(sy);
                ASSERT_TRUE(x >= 0 && x < frame.width && y >= 0 && y < frame.height) << "off screen";
                const float l = frame.luminance(x, y);
                if (font.at(t.text[i], column, row)) {
                    ++ink;
                    badInk += l < 150 ? 1 : 0;
                } else if (!font.at(t.text[i], column - 1, row - 1)) {
                    ++ground;
                    badGround += l > 100 ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(ink, 0);
    EXPECT_EQ(badInk, 0) << "of " << ink << " font pixels with ink, some are not bright";
    EXPECT_EQ(badGround, 0) << "of " << ground << " font pixels without ink, some are not dark";
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // picture rows, 0 at the top
    void add(const Box& b) {
        x0 = std::min(x0, b.x0), y0 = std::min(y0, b.y0), x1 = std::max(x1, b.x1), y1 = std::max(y1, b.y1);
    }
    bool meets(const Box& b, int margin) const {
        return x0 <= b.x1 + margin && b.x0 <= x1 + margin && y0 <= b.y1 + margin && b.y0 <= y1 + margin;
    }
};
Box inkBox(const ScreenPicture& p) {
    Box b;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* c = p.at(x, y);
            if (c[0] + c[1] + c[2] < 24) continue;
            b.add({x, y, x, y});
        }
    }
    return b;
}

class TextOverlayTest : public OffscreenGameTest {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/searchlight-result-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dataHome = pattern;
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        // An earlier best of 1:40.0 for this chase to beat.
        fs::create_directories(dataHome + "/searchlight");
        CaptureRecord earlier;
        earlier.date = "2026-02-01T20:00:00Z";
        earlier.seconds = 100;
        std::ofstream(dataHome + "/searchlight/records.txt") << formatRecords({earlier});

        startGame(1920, 1080, 126);
        ASSERT_TRUE(loadTextFont());
        ASSERT_TRUE(font.load());
        game.keyDown('\r');
        game.keyUp('\r');
        game.turn(turn);  // the capture frame
        if (!chase().running()) chase().begin(126);
        game.mouseMotion(640, 512);  // the beam to its lowest pitch
    }
    void TearDown() override {
        reshape(1920, 1080);
        fs::remove_all(dataHome);
    }

    // One turn on a small view (cheap frames), keeping the chase's books
    // where the loop does not keep them.
    void playTurn() {
        const double seconds = chase().summary().seconds;
        const int spawned = policeSpawned;
        game.turn(turn);
        if (!chase().running()) return;
        if (chase().summary().seconds == seconds && !chase().paused()) chase().advance(turn);
        if (policeSpawned > spawned && chase().summary().policeByBadge < policeSpawned)
            chase().countBadgeDispatch();
        if (fugitiveCaught()) chase().capture();
    }

    // The frame as the player sees it, with the text over it: drawn by the
    // frame itself, or else over the frame as the frame would, after both passes.
    ScreenPicture frameAt(int w, int h) {
        const bool drawnByTheFrame = frameDrawsText();
        reshape(w, h);
        ::display();
        if (!drawnByTheFrame) drawTextOverlays();
        return ScreenPicture::read(0, 0, w, h);
    }
    // Whether the frame draws the text overlays itself: a paused frame is darker.
    bool frameDrawsText() {
        if (frameChecked) return frameDraws;
        // The top quarter, away from the pause's text.
        auto brightness = [] {
            ::display();
            const ScreenPicture p = ScreenPicture::read(0, 384, 640, 128);
            double sum = 0;
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) sum += p.luminance(x, y);
            return sum;
        };
        reshape(640, 512);
        const bool paused = chase().paused();
        chase().setPaused(false);
        const double playing = brightness();
        chase().setPaused(true);
        const double dimmed = brightness();
        chase().setPaused(paused);
        frameChecked = true;
        frameDraws = dimmed < 0.8 * playing;
        return frameDraws;
    }

    std::string dataHome;
    FontInk font;
    bool frameChecked = false, frameDraws = false;
};

// Played to a capture with the beam held on the fugitive and two cars sent
// with "x": the result is kept in the records, and on each screen shape its
// text is legible and its panel clear of the caught badge and the mini-map.
TEST_F(TextOverlayTest, ResultAfterTheCaptureIsLegibleAndClearOfBadgeAndMap) {
    for (int i = 0; i < 2; ++i) {
        game.keyDown('x');
        game.keyUp('x');
        if (chase().summary().policeByKey <= i) chase().countKeyDispatch();
    }
    game.aimAtFugitive = true;
    reshape(160, 128);
    for (int turns = 0; turns < static_cast<int>(240 / turn) && !chase().over(); ++turns) playTurn();
    ASSERT_TRUE(chase().over()) << "not caught in 240 s";
    for (int i = 0; i < 60; ++i) playTurn();  // the camera comes to the scene

    std::vector<std::pair<int, int>> sizes = {{1280, 1024}, {1920, 1080}, {1024, 768}};
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const ScreenPicture frame = frameAt(w, h);
        if (w == 1280) frame.writeIfAsked("result_1280x1024.ppm");
        const CaptureResult* result = lastCaptureResult();
        ASSERT_NE(result, nullptr) << "the capture was not noted";
        const OverlayLayout layout = resultOverlay(*result, w, h);
        for (const PlacedText& t : layout.texts) expectLegible(frame, font, t);

        const ScreenRectangle& panel = layout.rectangles.front();
        const Box panelBox{static_cast<int>(panel.x0), h - 1 - static_cast<int>(panel.y1),
                           static_cast<int>(panel.x1), h - 1 - static_cast<int>(panel.y0)};
        EXPECT_TRUE(panelBox.x0 >= 0 && panelBox.y0 >= 0 && panelBox.x1 < w && panelBox.y1 < h);
        Box badge;  // the badge spins: its box over half a turn
        const double savedTime = gameTime;
        for (double t = 0; t < 3.6; t += 0.45) {
            gameTime = t;
            badge.add(inkBox(overlayAlone(w, h, [] { drawBadge(); })));
        }
        gameTime = savedTime;
        const Box map = inkBox(overlayAlone(w, h, [] { drawMinimap(-0.25f, -0.25f, 0.5f, 0.5f, true); }));
        ASSERT_GE(badge.x1, 0);
        ASSERT_GE(map.x1, 0);
        EXPECT_FALSE(panelBox.meets(badge, h / 100)) << "over the badge";
        EXPECT_FALSE(panelBox.meets(map, h / 100)) << "over the mini-map";
    }
    // The record the result was made from is in the file.
    std::vector<CaptureRecord> kept;
    std::string error;
    std::vector<unsigned char> bytes;
    ASSERT_EQ(readFileBytes((dataHome + "/searchlight/records.txt").c_str(), bytes, error),
              FileReadStatus::ok);
    ASSERT_TRUE(parseRecords(bytes.data(), bytes.size(), kept, error)) << error;
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_DOUBLE_EQ(kept[1].seconds, std::round(chase().summary().seconds * 1000) / 1000);
    EXPECT_EQ(kept[1].policeByKey, 2);
    EXPECT_GE(kept[1].policeByBadge, 1);
    const std::vector<ResultRow> rows = resultRows(*lastCaptureResult());
    EXPECT_EQ(rows.back().marked, chase().summary().seconds < 100);
}

// Paused, the scene is dimmed under a legible "PAUSED" and its keys; while
// the space bar is held in play, a small line at the bottom says so.
TEST_F(TextOverlayTest, PauseDimsTheSceneAndTheHeldSpaceBarIsNamed) {
    constexpr int w = 1280, h = 1024;
    for (int i = 0; i < 90; ++i) playTurn();
    ASSERT_TRUE(chase().running());
    const ScreenPicture playing = frameAt(w, h);

    keyDown[static_cast<unsigned char>(' ')] = true;
    const ScreenPicture holding = frameAt(w, h);
    const OverlayLayout holdBack = holdBackOverlay(w, h);
    for (const PlacedText& t : holdBack.texts) {
        expectLegible(holding, font, t);
        EXPECT_LT(t.y + textHeightPixels(static_cast<float>(t.pixel)), h * 0.06f) << "not at the bottom edge";
    }
    keyDown[static_cast<unsigned char>(' ')] = false;
    const ScreenPicture released = frameAt(w, h);
    const PlacedText& line = holdBack.texts.front();
    const int row = h - 1 - static_cast<int>(line.y + 3.5f * line.pixel);
    double inHolding = 0, inReleased = 0;
    for (int x = static_cast<int>(line.x);
         x < static_cast<int>(line.x + textWidthPixels(line.text, line.pixel)); ++x) {
        inHolding += holding.luminance(x, row);
        inReleased += released.luminance(x, row);
    }
    EXPECT_GT(inHolding, inReleased + 1000) << "the line stays once the space bar is up";

    chase().setPaused(true);
    const ScreenPicture paused = frameAt(w, h);
    chase().setPaused(false);
    paused.writeIfAsked("pause_1280x1024.ppm");
    const OverlayLayout pause = pauseOverlay(w, h);
    for (const PlacedText& t : pause.texts) expectLegible(paused, font, t);
    // Away from the text, the scene is there, at under half its brightness.
    const ScreenRectangle& band = pause.rectangles[1];
    double before = 0, after = 0;
    for (int y = 0; y < h; ++y) {
        const float glY = static_cast<float>(h - 1 - y);
        if (glY >= band.y0 && glY <= band.y1) continue;
        for (int x = 0; x < w; x += 2) {
            before += playing.luminance(x, y);
            after += paused.luminance(x, y);
        }
    }
    EXPECT_GT(after, 0.3 * before);
    EXPECT_LT(after, 0.5 * before);
}

}  // namespace
