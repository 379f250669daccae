// smoke_test.cpp -- exhaust particles: their random draws, emission and
// the exhaust point they start from.
#include "app/random.h"
#include "traffic_world.h"

using SmokeTest = TrafficWorld;

// The exhaust is 0.5 behind the car along its heading, at the car's base height.
TEST_F(SmokeTest, ExhaustPointFollowsTheHeading) {
    Vehicle* car = make<Vehicle>(5, 2, 90);  // lane z = 2.8
    const Vector3 e = car->exhaustPoint();
    EXPECT_NEAR(e.x, 4.5f, 1e-6);
    EXPECT_EQ(e.y, 0.2f);
    EXPECT_NEAR(e.z, 2.8f, 1e-6);
    car->heading = 180;
    EXPECT_NEAR(car->exhaustPoint().z, 2.8f + 0.5f, 1e-6);
}

// init draws velocity x, y, z and then the age; emit draws the age first, then the velocity.
TEST_F(SmokeTest, RandomDrawsInOrder) {
    Vehicle* car = make<Vehicle>(5, 2, 90);
    SmokeParticle p;
    seedGameRandom(1234);
    float r[8];
    for (float& v : r) v = gameRandomFraction();
    seedGameRandom(1234);
    p.init(car, 77);
    EXPECT_EQ(p.velocity.x, r[0] * 0.8f - 0.4f);
    EXPECT_EQ(p.velocity.y, r[1] * 0.8f);
    EXPECT_EQ(p.velocity.z, r[2] * 0.8f - 0.4f);
    EXPECT_EQ(p.age, r[3] * 0.25f);
    EXPECT_EQ(p.texture, 77u);
    EXPECT_EQ(p.alpha, 0.5f);
    p.emit();
    EXPECT_EQ(p.age, r[4] * 0.25f);
    EXPECT_EQ(p.velocity.x, r[5] * 0.8f - 0.4f);
    EXPECT_EQ(p.velocity.y, r[6] * 0.8f);
    EXPECT_EQ(p.velocity.z, r[7] * 0.8f - 0.4f);
}

// A particle at exactly its lifetime is not emitted again; one past it is, at the car's exhaust.
TEST_F(SmokeTest, EmittedOnlyPastItsLifetime) {
    Vehicle* car = make<Vehicle>(5, 2, 90);
    SmokeParticle p;
    p.init(car, 0);
    p.position = Vector3(9, 9, 9);
    p.alpha = 0.1f;
    p.age = p.lifetime;
    p.update(0);
    EXPECT_EQ(p.alpha, 0.1f);
    p.age = 0.2500001f;
    car->heading = 0;  // the exhaust moved with the car
    p.update(0);
    EXPECT_EQ(p.alpha, 0.5f);
    EXPECT_EQ(p.position, car->exhaustPoint());
}

// Fading clamps alpha at 0; after 0.125 s a new particle is fully transparent.
TEST_F(SmokeTest, FadesOutAndClamps) {
    Vehicle* car = make<Vehicle>(5, 2, 90);
    SmokeParticle p;
    p.init(car, 0);
    p.age = 0;
    p.update(0.2f);
    EXPECT_EQ(p.alpha, 0.0f);
    EXPECT_NEAR(p.position.x, car->exhaustPoint().x + 0.2f * p.velocity.x, 1e-5);
}

// Traffic owns 30 particles; the fugitive and police 60. The fugitive advances all 60, police only 30.
TEST_F(SmokeTest, PoolSizesAndWhatEachKindAdvances) {
    Vehicle* traffic = make<Vehicle>(5, 2, 90);
    FugitiveVehicle* runner = make<FugitiveVehicle>(5, 2, 90);
    PoliceCar* police = makePolice(5, 2, 90);
    EXPECT_EQ(traffic->smokeCount, 30);
    EXPECT_EQ(runner->smokeCount, 60);
    EXPECT_EQ(police->smokeCount, 60);
    for (Vehicle* car : {static_cast<Vehicle*>(runner), static_cast<Vehicle*>(police)}) {
        car->smoke[45].age = 0;
        car->smoke[10].age = 0;
        car->updateSmoke(0.01f);
    }
    EXPECT_FLOAT_EQ(runner->smoke[45].age, 0.01f);
    EXPECT_FLOAT_EQ(police->smoke[10].age, 0.01f);
    EXPECT_EQ(police->smoke[45].age, 0);
    for (int i = 0; i < police->smokeCount; ++i) EXPECT_EQ(police->smoke[i].owner, police);
}
