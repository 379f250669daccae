// police_dispatch.cpp -- police cars sent into the city at the spawn point.
#include "traffic/police_dispatch.h"

#include "app/globals.h"
#include "city/city.h"
#include "traffic/car_meshes.h"
#include "traffic/vehicle.h"

namespace {
constexpr float spawnHeading = 90;  // the first, forced left turn brings it into the lane
GLuint sharedPoliceList = 0;
}  // namespace

GLuint policeCarMesh() {
    if (sharedPoliceList == 0) sharedPoliceList = buildPoliceCarMesh();
    return sharedPoliceList;
}

void forgetPoliceCarMesh() { sharedPoliceList = 0; }

void createPoliceCar() {
    PoliceCar* car = new PoliceCar();
    policeCars.push_back(car);
    car->place(policeCarMesh(), policeSpawnX, 0, policeSpawnZ, spawnHeading, city.textureTable[textureSmoke]);
    city.addVehicle(car);
}

void spawnPoliceCar() {
    policeSpawned += 1;
    createPoliceCar();
}
