// city_vehicles.cpp -- the city's cars: meshes, creation, stepping (not built yet).
#include "city/city.h"

void City::buildVehicleMeshes() {}
void City::createVehicles() {}
void City::updateVehicles(float) {}
void City::updateVehicleSmoke(float) {}
void City::insertVehiclesIntoTree() {}
void City::addVehicle(Vehicle*) {}
