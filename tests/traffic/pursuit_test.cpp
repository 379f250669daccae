// pursuit_test.cpp -- police direction choices, blocking and its release,
// queueing, the fugitive's escape turn and the capture.
#include <cmath>

#include "app/camera.h"
#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "traffic_world.h"

namespace {
constexpr float dt = 1.0f / 180;
constexpr float invalid = invalidCoordinate;
}  // namespace

using PursuitTest = TrafficWorld;

// A new police car turns left at its first decision, whatever the options and the chase say.
TEST_F(PursuitTest, NewPoliceCarTurnsLeftFirst) {
    PoliceCar* police = makePolice(-22, -22, 90);
    const float none[3] = {invalid, invalid, invalid};
    pursuitActive = false;
    EXPECT_EQ(police->chooseDirection(none), 1);
    EXPECT_FALSE(police->firstChoice);
    // Then, with the pursuit suspended, it chooses among valid options like traffic.
    const float onlyRight[3] = {invalid, invalid, 2};
    for (int i = 0; i < 20; ++i) EXPECT_EQ(police->chooseDirection(onlyRight), 2);
}

// From its spawn point beside the road the forced left turn brings it into the lane of the cross street.
TEST_F(PursuitTest, SpawnedPoliceCarTurnsIntoTheLane) {
    PoliceCar* police = makePolice(22 - 4, 22 - 4, 90);
    pursuitActive = false;
    driveUntil(*police, dt, [&] { return !police->firstChoice && !police->turningLeft; }, 5000);
    EXPECT_NEAR(police->heading, 180, 1e-3);
    EXPECT_NEAR(police->position.x, 22 + 0.8f, 1e-4);
}

// The examples of the preference tables: dx = 10, dz = 0 at headings 90 and 270.
TEST_F(PursuitTest, PreferencesTowardTheFugitive) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(32, 0, 90);
    fugitive = runner;
    const float options[3] = {22, 22, 22};
    PoliceCar* east = makePolice(22, -1, 90);
    east->firstChoice = false;
    east->position = Vector3(runner->position.x - 10, 0.2f, runner->position.z);
    EXPECT_EQ(east->chooseDirection(options), 0);  // straight on toward it
    PoliceCar* west = makePolice(22, -1, 270);
    west->firstChoice = false;
    west->position = east->position;
    // preferX: tentative 2; preferZ with dz = 0 at 270: 2.
    EXPECT_EQ(west->chooseDirection(options), 2);

    // Plain entries, and the tentative chains both ways.
    PoliceCar probe;
    probe.heading = 0;
    EXPECT_EQ(probe.preferX(10, 0, false), 1);
    EXPECT_EQ(probe.preferZ(0, 10, false), 0);
    EXPECT_EQ(probe.preferX(1, 0, false), 2);  // dx exactly 1: tentative 0, asks preferZ: tentative 2 on retry
    EXPECT_EQ(probe.preferX(1, 0, true), 0);
    probe.heading = 180;
    EXPECT_EQ(probe.preferZ(0, 10, false), 1);  // tentative 2 -> preferX(dx 0 < 1) at 180: 1
    EXPECT_EQ(probe.preferZ(0, -10, false), 0);
    probe.heading = 300;
    EXPECT_EQ(probe.preferZ(0, -10, false), 2);
    EXPECT_EQ(probe.preferX(10, 0, false), 2);  // tentative 0 -> preferZ with dz 0 at 271 or more: 2
}

// Oncoming fugitive in the lane band before the next cross street: block, hold across the road, release at 15.
TEST_F(PursuitTest, BlockingHoldsAndReleases) {
    PoliceCar* police = makePolice(2, 3, 0);
    police->firstChoice = false;
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 10, 180);
    runner->position.x = police->position.x;  // in the police car's lane, coming toward it
    fugitive = runner;
    police->update(dt);
    EXPECT_TRUE(police->requestBlock);
    police->update(dt);
    EXPECT_TRUE(police->blocking);
    EXPECT_TRUE(police->holdBlock);
    for (int i = 0; i < 500; ++i) police->update(dt);
    // Halted just short of standing across the street.
    EXPECT_TRUE(police->blocking);
    EXPECT_LT(police->heading, 90);
    EXPECT_GT(police->heading, 80);

    runner->position.z = 40;  // in line but more than 15 away
    police->update(dt);
    EXPECT_FALSE(police->holdBlock);
    EXPECT_EQ(police->speed, 9.0f);
    driveUntil(*police, dt, [&] { return !police->blocking; }, 5000);
    EXPECT_NEAR(police->heading, 180, 1e-3);
    EXPECT_NEAR(police->position.x, 2 + 0.8f, 1e-4);
}

// The release test counts exactly 1.6 as aligned; the lane band does not count 1.6 (the opposite lane).
TEST_F(PursuitTest, OppositeLaneIsAlignedButNotInTheBand) {
    for (float street : {-38.0f, -18.0f, 2.0f, 22.0f, 38.0f}) {
        PoliceCar* police = makePolice(street, 3, 0);
        police->firstChoice = false;
        FugitiveVehicle* runner = make<FugitiveVehicle>(street, 10, 180);  // its own lane, 1.6 across
        fugitive = runner;
        police->holdBlock = true;
        police->afterMove();
        EXPECT_FALSE(police->requestBlock) << "street " << street;
        EXPECT_TRUE(police->holdBlock) << "street " << street;
    }
}

// Two police cars 4 apart in one lane: the rear one slows by 0.7 per call, the front keeps 9.
TEST_F(PursuitTest, RearPoliceCarKeepsItsDistance) {
    PoliceCar* rear = makePolice(2, 3, 0);
    PoliceCar* front = makePolice(2, 7, 0);
    rear->afterMove();
    EXPECT_FLOAT_EQ(rear->speed, 9 * 0.7f);
    rear->afterMove();
    EXPECT_FLOAT_EQ(rear->speed, 9 * 0.7f * 0.7f);
    front->afterMove();
    EXPECT_EQ(front->speed, 9.0f);
    // Out of the lane (2 or more across) no queueing.
    front->position.x += 2;
    rear->afterMove();
    EXPECT_EQ(rear->speed, 9.0f);
}

// Police ahead in the fugitive's lane: one U-turn, not another until the road ahead was clear.
TEST_F(PursuitTest, FugitiveTurnsAwayOncePerEncounter) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 3, 0);
    fugitive = runner;
    PoliceCar* police = makePolice(2, 12, 180);
    police->position.x = runner->position.x;
    runner->afterMove();
    EXPECT_TRUE(runner->requestUTurn);
    runner->update(dt);
    EXPECT_TRUE(runner->uTurning);
    EXPECT_EQ(runner->uTurnCount, 1);

    // Still ahead after the turn (say it followed): no second request.
    runner->uTurning = false;
    runner->afterMove();
    EXPECT_FALSE(runner->requestUTurn);
    // The road ahead clears: the count resets and the next encounter turns again.
    police->position.z = -30;
    runner->afterMove();
    EXPECT_EQ(runner->uTurnCount, 0);
    police->position.z = 12;
    runner->afterMove();
    EXPECT_TRUE(runner->requestUTurn);
}

// Police ahead and behind in the lane band: caught, everything frozen, helicopter and camera to the scene.
TEST_F(PursuitTest, CaughtBetweenPoliceAheadAndBehind) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 10, 0);
    fugitive = runner;
    Vehicle* traffic = make<Vehicle>(-18, 0, 90);
    PoliceCar* ahead = makePolice(2, 14, 0);
    PoliceCar* behind = makePolice(2, 6, 0);
    city.vehicles = {runner, traffic, ahead, behind};
    const float height = helicopter.position.y;
    runner->afterMove();
    EXPECT_EQ(runner->speed, 0);
    for (Vehicle* car : city.vehicles) {
        EXPECT_TRUE(car->frozen);
        EXPECT_EQ(car->speed, 0);
    }
    EXPECT_EQ(helicopter.position.x, runner->position.x + 1);
    EXPECT_EQ(helicopter.position.z, runner->position.z + 4);
    EXPECT_EQ(helicopter.position.y, height);
    EXPECT_EQ(helicopter.lookPoint, runner->position);
    EXPECT_EQ(camera.centreTarget, runner->position);
    EXPECT_EQ(camera.eyeTarget, Vector3(runner->position.x + 1, height, runner->position.z + 4));
    // Frozen police do nothing more.
    ahead->afterMove();
    EXPECT_EQ(ahead->speed, 0);
}

// A traffic car returning from a pull-over when the capture comes regains its speed and drives on,
// although the capture check repeats every step; the caught cars stay stopped.
TEST_F(PursuitTest, CaptureRepeatsWithoutHoldingAReturningCar) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 10, 0);
    fugitive = runner;
    Vehicle* traffic = make<Vehicle>(-17.2f, -20, 0);
    PoliceCar* ahead = makePolice(2, 14, 0);
    PoliceCar* behind = makePolice(2, 6, 0);
    city.vehicles = {runner, traffic, ahead, behind};
    const float cruising = traffic->speed;
    traffic->requestPullOver = true;  // as if a police car had passed close by
    traffic->update(1.0f / 180);
    traffic->afterMove();             // nobody near now: it starts back
    ASSERT_EQ(traffic->drivingState(), DrivingState::pullOver);
    runner->afterMove();              // caught
    ASSERT_TRUE(traffic->frozen);
    for (int step = 0; step < 3 * 60 * 20 && traffic->drivingState() == DrivingState::pullOver; ++step) {
        traffic->update(1.0f / 180);
        runner->afterMove();          // the capture check keeps running
    }
    EXPECT_EQ(traffic->drivingState(), DrivingState::lane);
    EXPECT_EQ(traffic->speed, cruising);
    EXPECT_EQ(runner->speed, 0);
    EXPECT_EQ(ahead->speed, 0);
    EXPECT_EQ(behind->speed, 0);
}

// Police in the opposite lane, or beyond the cross streets, do not catch the fugitive.
TEST_F(PursuitTest, NotCaughtOutsideItsStretchOfLane) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(2, 10, 0);
    fugitive = runner;
    PoliceCar* ahead = makePolice(2, 14, 180);  // opposite lane, 1.6 across
    PoliceCar* behind = makePolice(2, 6, 180);
    city.vehicles = {runner, ahead, behind};
    runner->afterMove();
    EXPECT_FALSE(runner->frozen);
    // Same lane, but the one behind is past the cross street at z = 2.
    ahead->position.x = behind->position.x = runner->position.x;
    behind->position.z = 1;
    runner->afterMove();
    EXPECT_FALSE(runner->frozen);
    EXPECT_TRUE(runner->requestUTurn);
}

// Past the last cross street the edge bounds "ahead" and that street "behind": police beyond it count as neither.
TEST_F(PursuitTest, NoStreetAheadMeansTheEdge) {
    FugitiveVehicle* runner = make<FugitiveVehicle>(45, 22, 90);  // beyond the last street at 38
    fugitive = runner;
    PoliceCar* far = makePolice(30, 22, 90);
    PoliceCar* near = makePolice(40, 22, 90);
    near->position.z = -30;  // elsewhere for now
    city.vehicles = {runner, far, near};
    runner->afterMove();
    EXPECT_FALSE(runner->requestUTurn);
    far->position.x = 48;  // between it and the edge: ahead
    runner->afterMove();
    EXPECT_TRUE(runner->requestUTurn);
    near->position.z = far->position.z;  // between the street at 38 and it: behind
    runner->afterMove();
    EXPECT_TRUE(runner->frozen);
}
