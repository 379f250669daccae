// traffic_world.cpp -- the test grid.
#include "traffic_world.h"

#include "app/globals.h"
#include "city/city.h"

void TrafficWorld::SetUp() {
    const float lines[] = {-38, -18, 2, 22, 38};
    for (int i = 0; i < 5; ++i) {
        city.streetX[i] = lines[i];
        city.streetZ[i] = lines[i];
    }
    city.streetXCount = city.streetZCount = 5;
    city.origin = Vector3(-50, 0, -50);
    city.farCorner = Vector3(50, 0, 50);
    city.vehicles.clear();
    policeCars.clear();
    fugitive = nullptr;
    cityTree = nullptr;
    pursuitActive = true;
}

void TrafficWorld::TearDown() {
    city.vehicles.clear();
    policeCars.clear();
    fugitive = nullptr;
    for (Vehicle* car : owned) delete car;
    owned.clear();
}

PoliceCar* TrafficWorld::makePolice(float x, float z, float h) {
    PoliceCar* car = make<PoliceCar>(x, z, h);
    policeCars.push_back(car);
    return car;
}
