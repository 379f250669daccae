// police_rules_test.cpp -- each rule of the police cars on its own: the
// intersection check, the two branches of the road check, the whole
// direction table with its tentative answers, the random choice with the
// pursuit suspended; and the pull-over toward the kerb at every heading.
#include <cmath>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "traffic_world.h"

namespace {
constexpr float dt = 1.0f / 180;
constexpr float invalid = -99999.0f;

// The direction table, by column (heading quadrant 0, 90, 180, 270, then
// 271 or more). A tentative answer is written as -1 - answer.
constexpr int t0 = -1, t2 = -3;
constexpr int xAbove[5] = {1, 0, 2, t2, t0};
constexpr int xExactlyOne[5] = {t0, t0, t0, t0, t0};
constexpr int xBelow[5] = {2, t2, 1, 0, 0};
constexpr int zAbove[5] = {0, 2, t2, 1, t0};
constexpr int zExactlyOne[5] = {t0, t0, t0, t0, t0};
constexpr int zBelow[5] = {t2, 1, 0, 2, 2};

// Two headings of each column: its first and another inside it.
constexpr float columnHeadings[5][2] = {{0, 0.5f}, {1, 90}, {91, 180}, {181, 270}, {271, 300}};

int entry(const int* above, const int* exactlyOne, const int* below, float d, int column) {
    return d > 1 ? above[column] : (d == 1 ? exactlyOne[column] : below[column]);
}
int answer(int tableEntry) { return tableEntry >= 0 ? tableEntry : -1 - tableEntry; }
}  // namespace

class PoliceRulesTest : public TrafficWorld {
protected:
    // A police car at (x, z) with heading h, past its first choice, and the
    // fugitive at (fx, fz) with heading fh.
    PoliceCar* chase(float x, float z, float h, float fx, float fz, float fh) {
        PoliceCar* police = makePolice(x, z, h);
        police->firstChoice = false;
        police->position = Vector3(x, 0.2f, z);
        FugitiveVehicle* runner = make<FugitiveVehicle>(fx, fz, fh);
        runner->position = Vector3(fx, 0.2f, fz);
        fugitive = runner;
        return police;
    }
};

// At an intersection, within 5 of the fugitive: a turning car blocks when
// the fugitive's heading differs by 180..270, a crossing car when by 45..135,
// any car when by 225..315 (all bounds excluded).
TEST_F(PoliceRulesTest, IntersectionCheckBlocksByHeadingDifference) {
    enum Doing { left, right, crossing };
    struct Case {
        Doing doing;
        float difference;
        bool blocks;
    };
    const Case cases[] = {
        {left, 190, true},   {left, 180, false},   {right, 200, true},  {right, 170, false},
        {left, 250, true},   {left, 300, true},    {left, 315, false},  {right, 226, true},
        {left, 90, false},   {crossing, 46, true}, {crossing, 45, false}, {crossing, 134, true},
        {crossing, 135, false}, {crossing, 200, false}, {crossing, 230, true}, {crossing, 314, true},
        {crossing, 316, false}, {crossing, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "doing " << c.doing << ", difference " << c.difference);
        PoliceCar* police = chase(2, 3, 0, 3, 6, c.difference);  // 3.2 apart
        police->turningLeft = c.doing == left;
        police->turningRight = c.doing == right;
        police->crossing = c.doing == crossing;
        police->afterMove();
        EXPECT_EQ(police->requestBlock, c.blocks);
        policeCars.clear();
    }
    // Distance 5 is not near enough; just inside it is.
    PoliceCar* police = chase(2, 3, 0, 2, 8, 250);
    police->turningLeft = true;
    police->afterMove();
    EXPECT_FALSE(police->requestBlock);
    fugitive->position.z = 7.99f;
    police->afterMove();
    EXPECT_TRUE(police->requestBlock);
}

// Farther than 7 from the fugitive at an intersection the car is back at
// chase speed before the following-distance rule slows it behind another.
TEST_F(PoliceRulesTest, IntersectionCheckRestoresChaseSpeedBeyondSeven) {
    PoliceCar* police = chase(2, 3, 0, 2, 3 + 7.5f, 0);
    PoliceCar* front = makePolice(2, 6, 0);  // 3 ahead in the same lane
    front->position = Vector3(2, 0.2f, 6);
    police->crossing = true;
    police->speed = 2;
    police->afterMove();
    EXPECT_FLOAT_EQ(police->speed, 9 * 0.7f);
    fugitive->position.z = 3 + 6.5f;  // nearer than 7: its speed stays
    police->speed = 2;
    police->afterMove();
    EXPECT_FLOAT_EQ(police->speed, 2 * 0.7f);
}

// On the road, in the lane band: an oncoming fugitive is blocked when it is
// before the next cross street, or closer than 4 wherever it is; one going
// the same way when it is behind, after the cross street behind.
TEST_F(PoliceRulesTest, RoadCheckBlocksOncomingAndFollowingFugitive) {
    struct Case {
        const char* what;
        float policeZ, fugitiveZ, fugitiveHeading;
        bool blocks;
    };
    // The police car drives along x = 2 - 0.8 toward +z; cross streets at z = 2, 22.
    const Case cases[] = {
        {"oncoming, before the street ahead", 3, 15, 180, true},
        {"oncoming, beyond the street ahead and 3.5 away", 20, 23.5f, 180, true},
        {"oncoming, beyond the street ahead and 4.5 away", 20, 24.5f, 180, false},
        {"oncoming, behind and 3 away", 10, 7, 180, true},
        {"oncoming, behind and 5 away", 10, 5, 180, false},
        {"same way, behind before the street behind", 10, 5, 0, true},
        {"same way, behind the street behind", 10, 1, 0, false},
        {"same way, ahead", 10, 15, 0, false},
        {"same way at a difference of 80", 10, 5, 80, true},
        {"crossing at a difference of 90", 10, 5, 90, false},
        {"crossing at a difference of 270", 10, 5, 270, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PoliceCar* police = chase(1.2f, c.policeZ, 0, 1.2f, c.fugitiveZ, c.fugitiveHeading);
        police->afterMove();
        EXPECT_EQ(police->requestBlock, c.blocks);
        policeCars.clear();
    }
    // Out of the lane band nothing blocks, even right before it.
    PoliceCar* police = chase(1.2f, 3, 0, 1.2f + 1.7f, 5, 180);
    police->afterMove();
    EXPECT_FALSE(police->requestBlock);
}

// Every entry of both tables, read with retried set (a tentative entry is
// then the answer), and every tentative entry asked first: it defers to
// the other table's answer.
TEST_F(PoliceRulesTest, DirectionTableEveryEntry) {
    PoliceCar probe;
    const float ds[3] = {10, 1, -10};
    for (int column = 0; column < 5; ++column) {
        for (float heading : columnHeadings[column]) {
            probe.heading = heading;
            for (float dx : ds) {
                for (float dz : ds) {
                    SCOPED_TRACE(testing::Message() << "heading " << heading << " dx " << dx << " dz " << dz);
                    const int x = entry(xAbove, xExactlyOne, xBelow, dx, column);
                    const int z = entry(zAbove, zExactlyOne, zBelow, dz, column);
                    EXPECT_EQ(probe.preferX(dx, dz, true), answer(x));
                    EXPECT_EQ(probe.preferZ(dx, dz, true), answer(z));
                    EXPECT_EQ(probe.preferX(dx, dz, false), x >= 0 ? x : answer(z));
                    EXPECT_EQ(probe.preferZ(dx, dz, false), z >= 0 ? z : answer(x));
                }
            }
        }
    }
}

// The pursuit asks preferZ first when the fugitive is at least as far off in
// z as in x, preferX otherwise; the answer stands whatever the options hold.
TEST_F(PoliceRulesTest, PursuitChoiceAsksTheFartherAxisFirst) {
    const float none[3] = {invalid, invalid, invalid};
    // Heading 90, fugitive 10 off in both: preferZ, dz > 1 at 90 gives 2.
    PoliceCar* police = chase(0, 0, 90, 10, 10, 0);
    EXPECT_EQ(police->chooseDirection(none), 2);
    // Farther in x: preferX, dx > 1 at 90 gives 0.
    fugitive->position = Vector3(10, 0.2f, 9);
    EXPECT_EQ(police->chooseDirection(none), 0);
}

// With the pursuit suspended a police car draws like traffic: rand() % 3
// until the option drawn is valid, one draw per try.
TEST_F(PoliceRulesTest, SuspendedPursuitDrawsARandomValidOption) {
    PoliceCar* police = chase(0, 0, 90, 10, 0, 0);
    pursuitActive = false;
    const float options[3] = {22, invalid, -18};
    int seen[3] = {0, 0, 0};
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        seedGameRandom(seed);
        int expected = gameRandom() % 3;
        while (options[expected] <= -99998) expected = gameRandom() % 3;
        const int next = gameRandom();
        seedGameRandom(seed);
        const int chosen = police->chooseDirection(options);
        EXPECT_EQ(chosen, expected) << "seed " << seed;
        EXPECT_EQ(gameRandom(), next) << "seed " << seed << ": drew more than it needed";
        ++seen[chosen];
    }
    EXPECT_EQ(seen[1], 0);
    EXPECT_GT(seen[0], 50);
    EXPECT_GT(seen[2], 50);
}

// At every heading a threatened car pulls over 0.7 toward its right-hand
// kerb (heading 0: -x, 90: +z, 180: +x, 270: -z), crawling at -0.001, and
// comes back to the exact lane once nothing threatens it.
TEST_F(PoliceRulesTest, PullOverTowardTheKerbAtEveryHeading) {
    struct Case {
        float heading, x, z;  // a street point with no decision ahead for a while
        float kerbX, kerbZ;   // the unit step toward the kerb
    };
    const Case cases[] = {
        {0, 2, -12, -1, 0},
        {90, -12, 2, 0, 1},
        {180, 2, -4, 1, 0},
        {270, -4, 2, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading);
        Vehicle* car = make<Vehicle>(c.x, c.z, c.heading);
        const Vector3 lane = car->position;
        const float ahead = 3;
        const float sx = std::round(std::sin(c.heading * 3.14159265f / 180));
        const float sz = std::round(std::cos(c.heading * 3.14159265f / 180));
        PoliceCar* police = makePolice(c.x, c.z, c.heading);
        police->position = lane + Vector3(sx * ahead, 0, sz * ahead);
        for (int i = 0; i < 2000; ++i) car->update(dt);
        ASSERT_TRUE(car->pullingOver);
        EXPECT_EQ(car->speed, -0.001f);
        const float lateralLane = c.kerbX != 0 ? lane.x : lane.z;
        const float lateral = c.kerbX != 0 ? car->position.x : car->position.z;
        EXPECT_NEAR(lateral - lateralLane, 0.7f * (c.kerbX + c.kerbZ), 1e-5f);

        police->position = Vector3(-40, 0.2f, -40);
        driveUntil(*car, dt, [&] { return !car->pullingOver; }, 5000);
        EXPECT_FALSE(car->pullingOver);
        EXPECT_EQ(car->speed, 3.0f);
        EXPECT_EQ(c.kerbX != 0 ? car->position.x : car->position.z, lateralLane);
        EXPECT_EQ(car->heading, c.heading);
        policeCars.clear();
    }
}
