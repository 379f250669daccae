// generation_order_test.cpp -- the orders generation must keep: the random
// draws that place the start-up cars, and the files of the texture table.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "support/asset_writers.h"
#include "support/gl_context.h"
#include "traffic/vehicle.h"

namespace {

// Where a start-up car stands once placed: its street point moved 0.8 into
// the right-hand lane.
Vector3 inLane(float x, float z, float heading) {
    if (heading == 0) return {x - 0.8f, 0.2f, z};
    if (heading == 90) return {x, 0.2f, z + 0.8f};
    if (heading == 180) return {x + 0.8f, 0.2f, z};
    return {x, 0.2f, z - 0.8f};
}

}  // namespace

// Each of the 19 cars draws, in this order: its mesh (1 + rand() % 5), its
// heading (rand() % 4 quarter turns), the street it stands on, then the
// fraction along that street; placing it then draws four per smoke particle.
// The draws before the cars are the two partitions of the grid and three
// fractions per building. Replaying the sequence in
// that order must put every car where generation did, with the drawn mesh.
TEST(GenerationOrderTest, StartUpCarsDrawMeshHeadingStreetFraction) {
    for (std::uint32_t seed : {1u, 2u, 3u, 77u, 20260101u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        City generated;
        generated.glObjectsEnabled = false;  // keeps these list names: each mesh shows as itself
        for (int m = 0; m < cityVehicleMeshCount; ++m) generated.vehicleMeshes[m] = 100 + m;
        setFixedSeed(seed);
        generated.generate();
        clearFixedSeed();
        ASSERT_EQ(generated.vehicles.size(), 19u);

        seedGameRandom(seed);
        int widths[cityMaxGroups];
        City::partitionCells(widths);
        City::partitionCells(widths);
        for (int i = 0; i < 3 * generated.buildingCount; ++i) gameRandom();

        const float* sx = generated.streetX;
        const float* sz = generated.streetZ;
        const int nx = generated.streetXCount, nz = generated.streetZCount;
        for (size_t i = 0; i < generated.vehicles.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "car " << i);
            const int mesh = gameRandom() % 5 + 1;
            const float heading = static_cast<float>(gameRandom() % 4 * 90);
            float x = 0, z = 0;
            if (heading == 0 || heading == 180) {
                x = sx[gameRandom() % nx];
                z = sz[0] + gameRandomFraction() * (sz[nz - 1] - sz[0]);
            } else {
                z = sz[gameRandom() % nz];
                x = sx[0] + gameRandomFraction() * (sx[nx - 1] - sx[0]);
            }
            const Vehicle* car = generated.vehicles[i];
            EXPECT_EQ(car->heading, heading);
            const Vector3 expected = inLane(x, z, heading);
            EXPECT_NEAR(car->position.x, expected.x, 1e-4f);
            EXPECT_NEAR(car->position.z, expected.z, 1e-4f);
            // The fugitive's drawn mesh is replaced by its own car.
            EXPECT_EQ(car->displayList, i == 0 ? 100u : static_cast<GLuint>(100 + mesh));
            // Placing the car then starts its smoke: four draws for each of its
            // particles, 60 for the fugitive, 30 for traffic.
            for (int k = 0; k < 4 * (i == 0 ? 60 : 30); ++k) gameRandom();
        }
    }
}

// The texture table holds the 21 files in their fixed order; each role
// (road along z, road along x, the two smokes, ...) reads its index. Every
// file gets a colour of its own here, so a texture loaded from the wrong
// file shows another colour at its index.
class TextureTableOrderTest : public GLTestInTempDir {};

TEST_F(TextureTableOrderTest, EachIndexHoldsItsFile) {
    const char* const files[cityTextureCount] = {
        "buildingroof.rgb", "rooftopbumpjpg.rgb", "road.rgb",       "road04.rgb",    "building.rgb",
        "building2.rgb",    "windows1.rgb",       "windows2.rgb",   "windows3.rgb",  "grnbldg2.rgb",
        "ssb.rgb",          "towfront2.rgb",      "office1.rgb",    "apts.rgb",      "sidewalk.rgb",
        "roadh.rgb",        "roadv.rgb",          "roadi.rgb",      "smoke2.rgb",    "smokeblack2.rgb",
        "screenshot.rgb",
    };
    const auto colourOf = [](int i) {
        return Bytes{static_cast<unsigned char>(10 + 11 * i), static_cast<unsigned char>(240 - 9 * i),
                     static_cast<unsigned char>(7 * i)};
    };
    for (int i = 0; i < cityTextureCount; ++i) {
        const Bytes c = colourOf(i);
        // 2 x 2, three channels: four red samples, four green, four blue.
        writeFile(files[i], sgiVerbatim(2, 2, 3, {c[0], c[0], c[0], c[0], c[1], c[1], c[1], c[1], c[2], c[2], c[2],
                                                  c[2]}));
    }
    City loaded;
    testing::internal::CaptureStderr();
    loaded.loadTextures();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded.textureCount, cityTextureCount);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int i = 0; i < cityTextureCount; ++i) {
        SCOPED_TRACE(files[i]);
        ASSERT_NE(loaded.textureTable[i], 0u);
        glBindTexture(GL_TEXTURE_2D, loaded.textureTable[i]);
        unsigned char texel[16] = {};
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
        const Bytes c = colourOf(i);
        EXPECT_EQ(texel[0], c[0]);
        EXPECT_EQ(texel[1], c[1]);
        EXPECT_EQ(texel[2], c[2]);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    // The roles the rest of the game reads by index.
    EXPECT_STREQ(files[textureRoadAlongZ], "roadh.rgb");
    EXPECT_STREQ(files[textureRoadAlongX], "roadv.rgb");
    EXPECT_STREQ(files[textureSmoke], "smoke2.rgb");
    EXPECT_STREQ(files[textureSmokeBlack], "smokeblack2.rgb");
    EXPECT_STREQ(files[textureTitleCard], "screenshot.rgb");
    EXPECT_STREQ(files[textureSidewalk], "sidewalk.rgb");
    EXPECT_STREQ(files[textureCrossing], "roadi.rgb");
}
