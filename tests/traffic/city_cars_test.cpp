// city_cars_test.cpp -- the cars a generated city starts with.
#include <unistd.h>

#include <cmath>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "support/gl_context.h"
#include "traffic/vehicle.h"

namespace {
// True when v lies within 1e-3 of line + offset or line - offset for some line.
bool onLane(float v, const float* lines, int count) {
    for (int k = 0; k < count; ++k) {
        if (std::fabs(v - (lines[k] - 0.8f)) < 1e-3f || std::fabs(v - (lines[k] + 0.8f)) < 1e-3f) return true;
    }
    return false;
}
}  // namespace

class CityCarsTest : public GLTest {};

// The fugitive comes first with mesh 0 and black smoke; 18 traffic cars follow with meshes 1-5, in their lanes.
TEST_F(CityCarsTest, GeneratedCarsAndTheirMeshes) {
    ASSERT_EQ(chdir(SEARCHLIGHT_DATA_DIR), 0);
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        setFixedSeed(seed);
        city.generate();
        clearFixedSeed();
        ASSERT_EQ(city.vehicles.size(), 19u);
        ASSERT_EQ(city.vehicles[0], fugitive);
        EXPECT_EQ(fugitive->displayList, city.vehicleMeshes[0]);
        EXPECT_EQ(fugitive->smoke[0].texture, city.textureTable[19]);
        EXPECT_EQ(fugitive->speed, 9.0f);
        int used[6] = {0, 0, 0, 0, 0, 0};
        for (size_t i = 1; i < city.vehicles.size(); ++i) {
            const Vehicle* car = city.vehicles[i];
            EXPECT_EQ(dynamic_cast<const FugitiveVehicle*>(car), nullptr);
            int mesh = -1;
            for (int m = 0; m < 6; ++m) {
                if (car->displayList == city.vehicleMeshes[m]) mesh = m;
            }
            EXPECT_GE(mesh, 1);
            if (mesh >= 0) ++used[mesh];
            EXPECT_EQ(car->smoke[0].texture, city.textureTable[18]);
            EXPECT_EQ(car->speed, 3.0f);
        }
        EXPECT_EQ(used[0], 0);
        for (const Vehicle* car : city.vehicles) {
            EXPECT_EQ(std::fmod(car->heading, 90.0f), 0);
            if (car->drivesAlongZ()) {
                EXPECT_TRUE(onLane(car->position.x, city.streetX, city.streetXCount));
                EXPECT_GE(car->position.z, city.streetZ[0]);
                EXPECT_LE(car->position.z, city.streetZ[city.streetZCount - 1]);
            } else {
                EXPECT_TRUE(onLane(car->position.z, city.streetZ, city.streetZCount));
            }
        }
        for (int m = 0; m < 6; ++m) EXPECT_TRUE(glIsList(city.vehicleMeshes[m]));
    }
    city.releaseVehicles();
}
