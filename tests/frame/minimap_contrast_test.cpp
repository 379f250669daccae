// The mini-map reads at a glance: in the captured map's own pixels, blocks
// and streets lie clearly apart in brightness.
//
// With SEARCHLIGHT_PICTURE_DIR set, the map is written there as map.ppm.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/overlays.h"
#include "city/city.h"
#include "frame/offscreen_game_test.h"

namespace {

constexpr int width = 1280, height = 1024;
constexpr float edgeMargin = 1.0f;  // world units kept clear of every tile's edge (roofs lean out)

class MinimapContrastTest : public OffscreenGameTest {};

// The capture spans the city's ground exactly: world +x to the left, +z up
// (row 0 at the bottom, as read). Each pixel inside a tile, away from its
// edges, counts for its tile's kind.
TEST_F(MinimapContrastTest, BlocksAreAtLeastTwiceAsBrightAsStreets) {
    startGame(width, height, 7);
    dismissTitle();
    ASSERT_NE(mapTexture, 0u);
    // The texture's own size: the capture may have been scaled to fit it.
    ReadRectangle r{0, 0, 0, 0};
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &r.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &r.height);
    std::vector<unsigned char> map(static_cast<size_t>(r.width) * r.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, map.data());

    double blockSum = 0, streetSum = 0;
    int blockPixels = 0, streetPixels = 0;
    for (int j = 0; j < r.height; ++j) {
        for (int i = 0; i < r.width; ++i) {
            const float x = 50 - 100 * (i + 0.5f) / r.width;
            const float z = -50 + 100 * (j + 0.5f) / r.height;
            const float column = (x + 50) / cityTileSize, row = (z + 50) / cityTileSize;
            const float inX = (column - std::floor(column)) * cityTileSize;
            const float inZ = (row - std::floor(row)) * cityTileSize;
            if (inX < edgeMargin || inX > cityTileSize - edgeMargin || inZ < edgeMargin ||
                inZ > cityTileSize - edgeMargin)
                continue;
            const GroundTile& tile = city.tiles[static_cast<int>(row)][static_cast<int>(column)];
            const unsigned char* p = &map[(static_cast<size_t>(j) * r.width + i) * 4];
            const double luminance = 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
            if (tile.textureIndex == textureSidewalk) {
                blockSum += luminance;
                ++blockPixels;
            } else {
                streetSum += luminance;
                ++streetPixels;
            }
        }
    }
    if (const char* dir = std::getenv("SEARCHLIGHT_PICTURE_DIR")) {
        if (FILE* f = std::fopen((std::string(dir) + "/map.ppm").c_str(), "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", r.width, r.height);
            for (int j = r.height - 1; j >= 0; --j)
                for (int i = 0; i < r.width; ++i)
                    std::fwrite(&map[(static_cast<size_t>(j) * r.width + i) * 4], 1, 3, f);
            std::fclose(f);
        }
    }
    ASSERT_GT(blockPixels, 1000);
    ASSERT_GT(streetPixels, 1000);
    const double blocks = blockSum / blockPixels, streets = streetSum / streetPixels;
    std::printf("map: blocks mean luminance %.1f over %d pixels, streets %.1f over %d, ratio %.2f\n", blocks,
                blockPixels, streets, streetPixels, blocks / streets);
    EXPECT_GE(blocks, 2 * streets) << "blocks and streets look alike on the map";
}

}  // namespace
