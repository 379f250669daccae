// The layout queries the cars and the spatial tree ask: group lookups,
// splits, the hand-over of tiles and buildings, street lines, spawn point.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "city/city.h"
#include "city_test_support.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

constexpr std::uint32_t querySeed = 2024;

class CityQueriesTest : public testing::Test {
protected:
    void SetUp() override { city = generatedCity(querySeed); }

    int columnGroup(float x, bool preferLower) const {
        return city->groupIndexAt(x, city->columnWidths, city->columnGroupCount, preferLower);
    }
    float columnEdge(int g) const { return groupLowEdge(city->columnWidths, g); }
    float rowEdge(int h) const { return groupLowEdge(city->rowDepths, h); }
    // The rectangle of block (g, h) with the street on its +x and +z sides.
    float blockHighX(int g) const { return g == city->columnGroupCount - 1 ? 50.0f : columnEdge(g + 1); }
    float blockHighZ(int h) const { return h == city->rowGroupCount - 1 ? 50.0f : rowEdge(h + 1); }
    // The first column group of the given width, or -1.
    int groupOfWidth(int width) const {
        for (int g = 0; g < city->columnGroupCount - 1; ++g)
            if (city->columnWidths[g] == width) return g;
        return -1;
    }

    std::unique_ptr<City> city;
};

// The grid's own edges: -50 is group 0 and 50 the last group.
TEST_F(CityQueriesTest, GroupIndexOfTheGridEdges) {
    EXPECT_EQ(columnGroup(-50, false), 0);
    EXPECT_EQ(columnGroup(-50, true), 0);
    EXPECT_EQ(columnGroup(50, false), city->columnGroupCount - 1);
    EXPECT_EQ(columnGroup(50, true), city->columnGroupCount - 1);
    EXPECT_EQ(columnGroup(-60, false), 0) << "below the grid counts as group 0";
}

// On a street a coordinate belongs to the group below it; on the street's
// high edge preferLower decides.
TEST_F(CityQueriesTest, GroupIndexAroundAStreet) {
    for (int g = 0; g < city->columnGroupCount - 1; ++g) {
        EXPECT_EQ(columnGroup(city->streetX[g], false), g) << "street centre " << g;
        EXPECT_EQ(columnGroup(columnEdge(g + 1), true), g) << "street high edge " << g;
        EXPECT_EQ(columnGroup(columnEdge(g + 1), false), g + 1) << "street high edge " << g;
        EXPECT_EQ(columnGroup(columnEdge(g + 1) + 0.01f, true), g + 1);
    }
}

// Past the grid there is no group, not even one index beyond the last.
TEST_F(CityQueriesTest, GroupIndexBeyondTheGridIsInvalid) {
    EXPECT_EQ(columnGroup(54, false), invalidGroupIndex);
    EXPECT_EQ(columnGroup(54, true), city->columnGroupCount - 1);
    EXPECT_EQ(columnGroup(60, true), invalidGroupIndex);
    EXPECT_EQ(columnGroup(60, false), invalidGroupIndex);
}

// One block plus its street margins hands its tiles over once: its own
// tiles, the street column and row after it and their crossing.
TEST_F(CityQueriesTest, ExactBlockHandsOverItsTilesOnce) {
    const int g = 0, h = 0;
    std::vector<Drawable*> out;
    city->splitCoordinate(columnEdge(g), blockHighX(g), rowEdge(h), blockHighZ(h), -1, out);
    const size_t expected = static_cast<size_t>((city->columnWidths[g] + 1) * (city->rowDepths[h] + 1));
    ASSERT_EQ(out.size(), expected);
    std::set<Drawable*> distinct(out.begin(), out.end());
    EXPECT_EQ(distinct.size(), expected);
    for (int c = 0; c <= city->columnWidths[g]; ++c)
        for (int r = 0; r <= city->rowDepths[h]; ++r)
            EXPECT_TRUE(distinct.count(&city->tiles[r][c])) << r << "," << c;

    std::vector<Drawable*> again;
    city->splitCoordinate(columnEdge(g), blockHighX(g), rowEdge(h), blockHighZ(h), 1, again);
    EXPECT_TRUE(again.empty()) << "the block's tiles were handed over a second time";
}

// The last column group has no street after it: its exact block is 4 w wide,
// and only its own columns (and the street row after it) are handed over.
TEST_F(CityQueriesTest, LastColumnGroupHasNoMargin) {
    const int g = city->columnGroupCount - 1, h = 0;
    std::vector<Drawable*> out;
    city->splitCoordinate(columnEdge(g), 50, rowEdge(h), blockHighZ(h), -1, out);
    EXPECT_EQ(out.size(), static_cast<size_t>(city->columnWidths[g] * (city->rowDepths[h] + 1)));

    // A block that has a street after it is not whole without that street.
    std::vector<Drawable*> none;
    city->splitCoordinate(columnEdge(0), columnEdge(0) + 4.0f * city->columnWidths[0], rowEdge(h),
                          blockHighZ(h), -1, none);
    EXPECT_TRUE(none.empty()) << "a block without its margin handed over tiles";
}

// Over all blocks every tile is handed over exactly once.
TEST_F(CityQueriesTest, AllBlocksTogetherHandOverEveryTileOnce) {
    std::vector<Drawable*> out;
    for (int g = 0; g < city->columnGroupCount; ++g)
        for (int h = 0; h < city->rowGroupCount; ++h) city->collectBlockTiles(g, h, out);
    ASSERT_EQ(out.size(), 625u);
    EXPECT_EQ(std::set<Drawable*>(out.begin(), out.end()).size(), 625u);
}

// Across several column groups the split is the low edge of the middle
// group, rounded up: groups 0..6 split at group 3.
TEST_F(CityQueriesTest, SplitAcrossGroupsTakesTheMiddleGroupEdge) {
    ASSERT_GE(city->columnGroupCount, 7);
    std::vector<Drawable*> out;
    EXPECT_FLOAT_EQ(city->splitCoordinate(-50, columnEdge(7), -50, 50, -1, out), columnEdge(3));
    EXPECT_FLOAT_EQ(city->splitCoordinate(-50, 50, -50, 50, 1, out), rowEdge(city->rowGroupCount / 2));
    // One column group but several row groups: no split across x.
    EXPECT_EQ(city->splitCoordinate(columnEdge(1), columnEdge(2), -50, 50, -1, out), invalidCoordinate);
    EXPECT_EQ(city->splitCoordinate(-50, 50, -50, 50, 0, out), invalidCoordinate) << "no such axis";
    EXPECT_TRUE(out.empty());
}

// Inside a block the split is the building start nearest the middle, and a
// building starting exactly on the low edge is never chosen.
TEST_F(CityQueriesTest, SplitInsideABlockUsesBuildingStartsStrictly) {
    const int g = groupOfWidth(1);
    ASSERT_GE(g, 0) << "seed has no one-tile column group";
    std::vector<Drawable*> out;
    // A one-tile column holds one building column, starting at the low edge.
    EXPECT_EQ(city->splitCoordinate(columnEdge(g), blockHighX(g), rowEdge(0), blockHighZ(0), -1, out),
              invalidCoordinate);

    const int wide = groupOfWidth(3);
    ASSERT_GE(wide, 0) << "seed has no three-tile column group";
    // Starts at 0, 2.4, 4.8, 7.2, 9.6 from the edge; the middle of 16 is 8.
    const float x0 = columnEdge(wide);
    EXPECT_NEAR(city->splitInsideBlock(x0, x0 + 16, rowEdge(0), blockHighZ(0), -1, wide, 0), x0 + 7.2f,
                1e-4f);
    EXPECT_EQ(city->splitInsideBlock(x0, x0 + 16, rowEdge(0), blockHighZ(0), 3, wide, 0), invalidCoordinate);
}

// Buildings are collected by their low corner only.
TEST_F(CityQueriesTest, CollectBuildingsTestsTheLowCorner) {
    const int g = groupOfWidth(3);
    ASSERT_GE(g, 0);
    const float x0 = columnEdge(g);
    const int h = 0;
    std::vector<Drawable*> out;
    // x from the block's edge to just past the second start: two columns.
    city->collectBuildings(x0, x0 + 2.5f, rowEdge(h), blockHighZ(h), out);
    const size_t rowsOfBuildings = city->blocks[g][h].buildings.size() / 5;
    EXPECT_EQ(out.size(), 2 * rowsOfBuildings);
    size_t reachingOut = 0;
    for (Drawable* d : out) {
        const Building* b = static_cast<Building*>(d);
        EXPECT_LT(b->position.x, x0 + 2.5f);
        if (b->position.x + b->size.x > x0 + 2.5f) ++reachingOut;
    }
    EXPECT_EQ(reachingOut, rowsOfBuildings)
        << "the second column starts inside and reaches past the rectangle";
}

// Outside the grid both queries report the error; neither hands anything over.
TEST_F(CityQueriesTest, RectanglesOutsideTheGridReportAnError) {
    std::vector<Drawable*> out;
    CaptureStderr();
    const float split = city->splitCoordinate(60, 70, -50, 50, -1, out);
    EXPECT_EQ(GetCapturedStderr(), "ERROR: INVALID BLOCK INDEX\n");
    EXPECT_EQ(split, invalidCoordinate);
    CaptureStderr();
    city->collectBuildings(-50, 50, 70, 80, out);
    EXPECT_EQ(GetCapturedStderr(), "ERROR: INVALID BLOCK INDEX\n");
    EXPECT_TRUE(out.empty());
}

// Street lookups ahead of a car, on a line and past both ends.
TEST_F(CityQueriesTest, NextStreetXAtAndBeyondTheEnds) {
    const float* s = city->streetX;
    const int last = city->streetXCount - 1;
    EXPECT_EQ(city->nextStreetX(270, s[0] - 1), invalidCoordinate) << "nothing behind the first line";
    EXPECT_EQ(city->nextStreetX(90, s[0] - 1), s[0]);
    EXPECT_EQ(city->nextStreetX(90, s[last] + 1), invalidCoordinate) << "nothing beyond the last line";
    EXPECT_EQ(city->nextStreetX(270, s[last] + 1), invalidCoordinate) << "no line above x at all";
    EXPECT_EQ(city->nextStreetX(90, s[1]), s[2]) << "on a line, heading +x: the next one";
    EXPECT_EQ(city->nextStreetX(270, s[1]), s[1]) << "on a line, heading -x: that same one";
    EXPECT_EQ(city->nextStreetX(90.5f, s[1] + 0.5f), s[2]) << "below 91 degrees counts as +x";
    EXPECT_EQ(city->nextStreetX(91, s[1] + 0.5f), s[1]);
}

TEST_F(CityQueriesTest, NextStreetZAtAndBeyondTheEnds) {
    const float* s = city->streetZ;
    const int last = city->streetZCount - 1;
    EXPECT_EQ(city->nextStreetZ(0, s[1]), s[2]);
    EXPECT_EQ(city->nextStreetZ(359.5f, s[1]), s[2]) << "just below 360 still drives toward +z";
    EXPECT_EQ(city->nextStreetZ(180, s[1]), s[1]);
    EXPECT_EQ(city->nextStreetZ(180, s[0] - 1), invalidCoordinate);
    EXPECT_EQ(city->nextStreetZ(0, s[last] + 1), invalidCoordinate);
    EXPECT_EQ(city->nextStreetZ(180, s[last] + 1), invalidCoordinate);
}

// The spawn point is 4 toward -x and -z of a random crossing, z drawn first.
TEST_F(CityQueriesTest, SpawnPointBesideARandomCrossing) {
    seedGameRandom(5);
    const int zDraw = gameRandom(), xDraw = gameRandom();
    seedGameRandom(5);
    float x = 0, z = 0;
    city->randomSpawnPoint(x, z);
    EXPECT_EQ(z, city->streetZ[zDraw % city->streetZCount] - 4);
    EXPECT_EQ(x, city->streetX[xDraw % city->streetXCount] - 4);
}

// Before generation there is no street: the spawn point is left alone.
TEST(CityBeforeGenerationTest, SpawnPointWithoutStreetsKeepsItsValues) {
    City empty;
    float x = 7, z = 9;
    empty.randomSpawnPoint(x, z);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(z, 9);
}

// Block sides cut into 2.0 pieces with 0.4 gaps, the rest as the last piece.
TEST(CityPiecesTest, SplitLengthForEveryBlockSide) {
    const double gap = 0.4f;
    double pieces[8];
    ASSERT_EQ(City::splitLength(4, gap, pieces, 8), 1);
    EXPECT_EQ(pieces[0], 4.0);
    ASSERT_EQ(City::splitLength(8, gap, pieces, 8), 3);
    EXPECT_EQ(pieces[1], 2.0);
    EXPECT_NEAR(pieces[2], 3.2, 1e-6);
    ASSERT_EQ(City::splitLength(12, gap, pieces, 8), 5);
    EXPECT_NEAR(pieces[4], 2.4, 1e-6);
    ASSERT_EQ(City::splitLength(16, gap, pieces, 8), 6);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pieces[i], 2.0);
    // Five widened gaps leave a hair under 4.0, never more.
    EXPECT_LT(pieces[5], 4.0);
    EXPECT_NEAR(pieces[5], 4.0, 1e-6);
}

// A 16-unit block: six building columns, the last ending on the block's edge.
TEST(CityPiecesTest, SixteenUnitBlockHoldsSixColumnsInsideTheBlock) {
    City city;
    city.fillBlock(16, 4, 10, 20, 0.4f, 0, 0);
    const auto& list = city.blocks[0][0].buildings;
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(city.buildingCount, 6);
    EXPECT_EQ(list[0]->position.x, 10.0f);
    EXPECT_NEAR(list[5]->size.x, 4.0f, 1e-6f);
    EXPECT_LE(list[5]->position.x + list[5]->size.x, 26.0f) << "reaches into the street";
    for (const Building* b : list) {
        EXPECT_EQ(b->position.z, 20.0f);
        EXPECT_EQ(b->size.z, 4.0f);
    }
}

// A seed whose n-th draw (from 1) is the largest value 32767.
std::uint32_t seedWithTopDraw(int n) {
    for (std::uint32_t seed = 1;; ++seed) {
        seedGameRandom(seed);
        int value = 0;
        for (int i = 0; i < n; ++i) value = gameRandom();
        if (value == gameRandomMax) return seed;
    }
}

// A fraction of exactly 1 still gives the tallest building (5.0), roof 1 and
// wall 13, never an index past the table's roles.
TEST(CityPiecesTest, FractionOfOneGivesLastRoofAndWall) {
    const struct {
        int draw;
        const char* what;
    } cases[] = {{1, "height"}, {2, "roof"}, {3, "wall"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        City city;
        seedGameRandom(seedWithTopDraw(c.draw));
        city.fillBlock(4, 4, 0, 0, 0.4f, 0, 0);
        ASSERT_EQ(city.buildingCount, 1);
        const Building& b = *city.buildings[0];
        if (c.draw == 1) {
            EXPECT_EQ(b.size.y, 5.0f);
        } else if (c.draw == 2) {
            EXPECT_EQ(b.roofTexture, 1);
        } else {
            EXPECT_EQ(b.wallTexture, 13);
        }
        EXPECT_LE(b.roofTexture, 1);
        EXPECT_LE(b.wallTexture, 13);
    }
}

}  // namespace
