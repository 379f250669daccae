// driving_test.cpp -- lane following, decisions, the arc manoeuvres, the
// pull-over and the wrap at the city's edge.
#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "traffic_world.h"

namespace {
constexpr float dt = 1.0f / 180;  // one driving sub-step at 60 turns a second
constexpr float invalid = invalidCoordinate;
}  // namespace

using DrivingTest = TrafficWorld;

// Placement puts each heading into its right-hand lane and looks up the street ahead.
TEST_F(DrivingTest, PlacementMovesIntoTheRightHandLane) {
    Vehicle* north = make<Vehicle>(2, 5, 0);
    EXPECT_FLOAT_EQ(north->position.x, 1.2f);
    EXPECT_FLOAT_EQ(north->position.y, 0.2f);
    EXPECT_EQ(north->nextCrossZ, 22);
    Vehicle* east = make<Vehicle>(5, 2, 90);
    EXPECT_FLOAT_EQ(east->position.z, 2.8f);
    EXPECT_EQ(east->nextCrossX, 22);
    Vehicle* south = make<Vehicle>(2, 5, 180);
    EXPECT_FLOAT_EQ(south->position.x, 2.8f);
    EXPECT_EQ(south->nextCrossZ, 2);
    Vehicle* west = make<Vehicle>(5, 2, 270);
    EXPECT_FLOAT_EQ(west->position.z, 1.2f);
    EXPECT_EQ(west->nextCrossX, 2);
    EXPECT_EQ(north->speed, 3.0f);
    EXPECT_TRUE(north->yieldsToChase);
    // A heading off the four directions is neither shifted nor looked up.
    Vehicle* slanted = make<Vehicle>(5, 5, 45);
    EXPECT_EQ(slanted->position.x, 5);
    EXPECT_EQ(slanted->position.z, 5);
}

// The left turn from (X - 0.8, Z - 2.5) runs on a circle of 3.3 and ends at (X + 2.5, Z + 0.8), heading 90.
TEST_F(DrivingTest, LeftTurnEndsInTheCrossStreetsLane) {
    const float X = 2, Z = 22;
    ScriptedCar* car = make<ScriptedCar>(X, Z - 2.5f, 0);
    car->answer = 1;
    car->update(dt);
    ASSERT_EQ(car->decisions, 1);
    ASSERT_TRUE(car->turningLeft);
    const float cx = X - 0.8f + 3.3f, cz = Z - 2.5f;
    while (car->turningLeft) {
        EXPECT_NEAR(std::hypot(car->position.x - cx, car->position.z - cz), 3.3f, 1e-4);
        car->update(dt);
    }
    EXPECT_NEAR(car->heading, 90, 1e-3);
    // The arc's end plus one further whole step along the new heading.
    EXPECT_NEAR(car->position.x, X + 2.5f + dt * 3, 1e-4);
    EXPECT_NEAR(car->position.z, Z + 0.8f, 1e-4);
    EXPECT_EQ(car->nextCrossX, 22);
}

// The right turn ends with heading 270 (-90 wrapped), in the lane 0.8 below the cross street.
TEST_F(DrivingTest, RightTurnEndsAtHeading270) {
    const float X = 22, Z = 2;
    ScriptedCar* car = make<ScriptedCar>(X, Z - 2.5f, 0);
    car->answer = 2;
    car->update(dt);
    ASSERT_TRUE(car->turningRight);
    driveUntil(*car, dt, [&] { return !car->turningRight; });
    EXPECT_NEAR(car->heading, 270, 1e-3);
    EXPECT_NEAR(car->position.x, X - 2.5f - dt * 3, 1e-4);
    EXPECT_NEAR(car->position.z, Z - 0.8f, 1e-4);
    EXPECT_EQ(car->nextCrossX, 2);
}

// A U-turn ends 1.6 to the side, in the opposite lane, heading the other way, and is counted.
TEST_F(DrivingTest, UTurnEndsInTheOppositeLane) {
    Vehicle* car = make<Vehicle>(22, 5, 0);
    const float startX = car->position.x;
    car->requestUTurn = true;
    car->update(dt);
    EXPECT_TRUE(car->uTurning);
    EXPECT_FALSE(car->requestUTurn);
    EXPECT_EQ(car->uTurnCount, 1);
    driveUntil(*car, dt, [&] { return !car->uTurning; });
    EXPECT_NEAR(car->heading, 180, 1e-3);
    EXPECT_NEAR(car->position.x, startX + 1.6f, 1e-4);
    EXPECT_NEAR(car->position.x, 22 + 0.8f, 1e-4);
    EXPECT_EQ(car->nextCrossZ, 2);
}

// 2.45 before the cross street lies inside the decision window; 2.65 lies outside.
TEST_F(DrivingTest, DecisionWindowBoundaries) {
    ScriptedCar* inside = make<ScriptedCar>(2, 22 - 2.45f, 0);
    inside->answer = 0;
    inside->update(0.001f);
    EXPECT_EQ(inside->decisions, 1);
    EXPECT_TRUE(inside->crossing);
    // The options are the lookups for straight on, left and right.
    EXPECT_EQ(inside->lastOptions[0], 38);
    EXPECT_EQ(inside->lastOptions[1], 22);
    EXPECT_EQ(inside->lastOptions[2], -18);

    ScriptedCar* outside = make<ScriptedCar>(2, 22 - 2.65f, 0);
    outside->update(0.001f);
    EXPECT_EQ(outside->decisions, 0);
    EXPECT_FALSE(outside->crossing);

    // The same along x, heading 270 toward the street at x = 2.
    ScriptedCar* west = make<ScriptedCar>(2 + 2.45f, 22, 270);
    west->update(0.001f);
    EXPECT_EQ(west->decisions, 1);
    ScriptedCar* westOutside = make<ScriptedCar>(2 + 2.65f, 22, 270);
    westOutside->update(0.001f);
    EXPECT_EQ(westOutside->decisions, 0);
}

// Straight on is decided once per intersection: the crossing state carries the car out of the window.
TEST_F(DrivingTest, StraightOnDecidesOnce) {
    ScriptedCar* car = make<ScriptedCar>(2, 15, 0);
    car->answer = 0;
    driveUntil(*car, dt, [&] { return car->position.z > 25; });
    EXPECT_EQ(car->decisions, 1);
    EXPECT_FALSE(car->crossing);
    EXPECT_EQ(car->nextCrossZ, 38);
    EXPECT_EQ(car->heading, 0);
    EXPECT_FLOAT_EQ(car->position.x, 1.2f);
}

// A step longer than the 0.2-wide window can jump it: the car drives straight through and refreshes its street.
TEST_F(DrivingTest, LongStepJumpsTheDecisionWindow) {
    ScriptedCar* car = make<ScriptedCar>(2, 22 - 2.5f - 0.11f, 0);
    car->speed = 9;
    const float longStep = 0.025f;  // 0.225 a step
    car->update(longStep);
    EXPECT_GT(car->position.z, 22 - 2.5f + 0.1f);
    driveUntil(*car, longStep, [&] { return car->position.z > 23; });
    EXPECT_EQ(car->decisions, 0);
    EXPECT_EQ(car->nextCrossZ, 38);
}

// Wrapping: from x > 50 to -50 with the first street ahead; from x < -50 to 50 looking up from 30.
TEST_F(DrivingTest, WrapsAtTheEdgesWithTheirLookups) {
    Vehicle* east = make<Vehicle>(49.99f, 22, 90);
    east->nextCrossX = invalid;
    east->update(dt);
    EXPECT_EQ(east->position.x, -50);
    EXPECT_EQ(east->nextCrossX, -38);

    Vehicle* west = make<Vehicle>(-49.99f, 22, 270);
    west->update(dt);
    EXPECT_EQ(west->position.x, 50);
    // The street at 38 is passed without a decision: the next one is 22.
    EXPECT_EQ(west->nextCrossX, 22);

    Vehicle* north = make<Vehicle>(2, 49.99f, 0);
    north->update(dt);
    EXPECT_EQ(north->position.z, -50);
    EXPECT_EQ(north->nextCrossZ, -38);

    Vehicle* south = make<Vehicle>(2, -49.99f, 180);
    south->update(dt);
    EXPECT_EQ(south->position.z, 50);
    EXPECT_EQ(south->nextCrossZ, 22);
}

// A lookup that found nothing keeps the car from deciding; heading 0 refreshes it as soon as it is passed.
TEST_F(DrivingTest, InvalidStreetAheadMeansNoDecision) {
    ScriptedCar* car = make<ScriptedCar>(2, 40, 0);
    EXPECT_EQ(car->nextCrossZ, invalid);
    driveUntil(*car, dt, [&] { return car->position.z < -45; });  // past the wrap
    EXPECT_EQ(car->decisions, 0);
    EXPECT_EQ(car->nextCrossZ, -38);
}

// Pulls over 0.7 toward the kerb crawling at -0.001 while police are near, then returns to the exact lane.
TEST_F(DrivingTest, PullOverAndBackToTheExactLane) {
    Vehicle* car = make<Vehicle>(2, 5, 0);
    const float lane = car->position.x;
    PoliceCar* police = makePolice(2, 8, 0);
    car->update(dt);
    EXPECT_TRUE(car->requestPullOver);
    car->update(dt);
    EXPECT_TRUE(car->pullingOver);
    EXPECT_TRUE(car->slowing);
    EXPECT_EQ(car->savedSpeed, 3.0f);
    for (int i = 0; i < 2000; ++i) car->update(dt);
    EXPECT_EQ(car->speed, -0.001f);
    EXPECT_NEAR(car->position.x, lane - 0.7f, 1e-5);
    EXPECT_TRUE(car->pullingOver);

    police->position = Vector3(-40, 0.2f, -40);
    car->update(dt);
    EXPECT_FALSE(car->slowing);
    driveUntil(*car, dt, [&] { return !car->pullingOver; });
    EXPECT_EQ(car->speed, 3.0f);
    EXPECT_EQ(car->position.x, lane);
}

// A pull-over does not wrap until it ends: begun at the city's edge it runs
// about 9 units past it (slowing from 3 at 1 unit/s², then back up to 3),
// and wraps on the step after. The long-run checks allow that much.
TEST_F(DrivingTest, PullOverAtTheEdgeRunsPastItAsFarAsTheChecksAllow) {
    for (float step : {dt, 1.0f / 30, 1.0f / 6}) {
        SCOPED_TRACE(step);
        // Two steps short of the edge: the second takes up the pull-over.
        Vehicle* car = make<Vehicle>(50 - 2 * 3 * step - 0.001f, 22, 90);
        PoliceCar* police = makePolice(52, car->position.z + 1, 90);
        car->update(step);  // threatened: asks to pull over
        car->update(step);  // takes it up (and wraps were it past the edge)
        ASSERT_TRUE(car->pullingOver);
        float farthest = car->position.x;
        for (int i = 0; i < 2000; ++i) {
            car->update(step);
            farthest = std::max(farthest, car->position.x);
        }
        police->position = Vector3(-40, 0.2f, -40);
        driveUntil(*car, step, [&] {
            farthest = std::max(farthest, car->position.x);
            return !car->pullingOver;
        });
        EXPECT_GT(farthest - 50, 8.5f);
        EXPECT_LE(farthest - 50, farthestPastCityEdge(step));
        car->update(step);
        EXPECT_LT(car->position.x, -49);  // wrapped
    }
}

// The fugitive nearby makes traffic pull over too; the fugitive and police never do.
TEST_F(DrivingTest, OnlyTrafficYields) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 9, 0);
    fugitive = runner;
    Vehicle* car = make<Vehicle>(2, 5, 0);
    car->afterMove();
    EXPECT_TRUE(car->requestPullOver);
    PoliceCar* police = makePolice(2, 6, 0);
    police->update(dt);
    runner->update(dt);
    EXPECT_FALSE(police->requestPullOver);
    EXPECT_FALSE(runner->requestPullOver);
}

// Random choices take only valid options, each of them.
TEST_F(DrivingTest, RandomChoiceTakesOnlyValidOptions) {
    seedGameRandom(7);
    const float options[3] = {22, invalid, -18};
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 300; ++i) ++seen[Vehicle::randomValidChoice(options)];
    EXPECT_EQ(seen[1], 0);
    EXPECT_GT(seen[0], 50);
    EXPECT_GT(seen[2], 50);
}

// With no valid option the choice ends at once (no draw) and the car drives straight on.
TEST_F(DrivingTest, NoValidOptionDrivesStraightOn) {
    const float none[3] = {invalid, invalid, invalid};
    seedGameRandom(11);
    const int expectedNext = gameRandom();
    seedGameRandom(11);
    EXPECT_EQ(Vehicle::randomValidChoice(none), -1);
    EXPECT_EQ(gameRandom(), expectedNext);

    // One street each way: at the crossing every lookup is beyond the grid.
    city.streetX[0] = 0;
    city.streetZ[0] = 0;
    city.streetXCount = city.streetZCount = 1;
    Vehicle* car = make<Vehicle>(0, -2.5f, 0);
    driveUntil(*car, dt, [&] { return car->position.z > 5; }, 2000);
    EXPECT_GT(car->position.z, 5);
    EXPECT_EQ(car->drivingState(), DrivingState::lane);
    EXPECT_EQ(car->heading, 0);
}
