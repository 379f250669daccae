// police_dispatch.cpp -- police cars sent into the city (cars not built yet).
#include "app/game_loop.h"
#include "app/globals.h"

void createPoliceCar() {}

void spawnPoliceCar() {
    policeSpawned += 1;
    createPoliceCar();
}
