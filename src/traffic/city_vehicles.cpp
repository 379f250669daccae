// city_vehicles.cpp -- the city's cars: their meshes, the cars made with
// the city, and stepping them.
#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "traffic/car_meshes.h"
#include "traffic/city_tree.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"

void City::buildVehicleMeshes() {
    vehicleMeshCount = cityVehicleMeshCount;
    forgetPoliceCarMesh();  // a new city may live in a new GL context
    // Without images the city is made for its layout only (tests and tools
    // without a context): no GL lists then either.
    if (!glObjectsEnabled) return;
    vehicleMeshes[0] = buildFugitiveCarMesh();
    vehicleMeshes[1] = buildTrafficCarMesh1();
    vehicleMeshes[2] = buildTrafficCarMesh2();
    vehicleMeshes[3] = buildTrafficCarMesh3();
    vehicleMeshes[4] = buildTrafficCarMesh4();
    vehicleMeshes[5] = buildTrafficCarMesh5();
}

void City::createVehicles() {
    vehicleSlots = 20;
    for (int i = 1; i < vehicleSlots; ++i) {
        const int mesh = gameRandom() % (vehicleMeshCount - 1) + 1;
        const float heading = static_cast<float>(gameRandom() % 4 * 90);
        float x = 0, z = 0;
        if (std::fabs(heading) < 0.001f || std::fabs(heading - 180) < 0.001f) {
            // Along z: on a street line, anywhere between its first and last crossing.
            x = streetX[gameRandom() % streetXCount];
            const float r = gameRandomFraction();
            z = streetZ[0] + r * (streetZ[streetZCount - 1] - streetZ[0]);
        } else {
            z = streetZ[gameRandom() % streetZCount];
            const float r = gameRandomFraction();
            x = streetX[0] + r * (streetX[streetXCount - 1] - streetX[0]);
        }
        if (i == 1) {
            FugitiveVehicle* car = new FugitiveVehicle();
            car->place(vehicleMeshes[mesh], x, 0, z, heading, textureTable[textureSmokeBlack]);
            car->displayList = vehicleMeshes[0];  // whatever was drawn, the fugitive's own car
            vehicles.push_back(car);
            fugitive = car;
        } else {
            Vehicle* car = new Vehicle();
            car->place(vehicleMeshes[mesh], x, 0, z, heading, textureTable[textureSmoke]);
            vehicles.push_back(car);
        }
    }
}

void City::releaseVehicles() {
    // The police cars and the fugitive are among them: forget those too, so
    // that no one steers a car that is gone.
    for (Vehicle* car : vehicles) {
        if (car == fugitive) fugitive = nullptr;
        policeCars.erase(std::remove(policeCars.begin(), policeCars.end(), car), policeCars.end());
        delete car;
    }
    vehicles.clear();
}

void City::releaseTree() {
    if (this != &city) return;
    delete cityTree;  // the nodes with it; the objects they list are the city's
    cityTree = nullptr;
}

void City::updateVehicles(float dt) {
    // By index: a car's step never adds cars, but stay safe if one did.
    for (size_t i = 0; i < vehicles.size(); ++i) vehicles[i]->update(dt);
}

void City::updateVehicleSmoke(float dt) {
    for (size_t i = 0; i < vehicles.size(); ++i) vehicles[i]->updateSmoke(dt);
}

void City::insertVehiclesIntoTree() {
    if (!cityTree) return;
    for (Vehicle* car : vehicles) cityTree->insertVehicle(car);
}

void City::addVehicle(Vehicle* v) {
    vehicles.push_back(v);
    if (cityTree) cityTree->insertVehicle(v);
}
