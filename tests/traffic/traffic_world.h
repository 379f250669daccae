// traffic_world.h -- a small known street grid in the global city, with no
// police, no fugitive and no tree, for tests of the driving rules.
#pragma once

#include <gtest/gtest.h>

#include "traffic/vehicle.h"

// Streets along z at x = -38, -18, 2, 22, 38 and along x at the same z.
class TrafficWorld : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A car of type T placed at (x, 0, z) with heading h and list 0.
    template <class T>
    T* make(float x, float z, float h) {
        T* car = new T();
        car->place(0, x, 0, z, h, 0);
        owned.push_back(car);
        return car;
    }
    PoliceCar* makePolice(float x, float z, float h);
    // Steps the car with dt until done() holds or limit steps have run.
    template <class Done>
    int driveUntil(Vehicle& car, float dt, Done done, int limit = 100000) {
        int steps = 0;
        while (!done() && steps < limit) {
            car.update(dt);
            ++steps;
        }
        return steps;
    }

    std::vector<Vehicle*> owned;
};

// A traffic car whose decisions are fixed, counting how often it is asked.
class ScriptedCar : public Vehicle {
public:
    int chooseDirection(const float options[3]) override {
        ++decisions;
        for (int i = 0; i < 3; ++i) lastOptions[i] = options[i];
        return answer;
    }
    int answer = 0;
    int decisions = 0;
    float lastOptions[3] = {0, 0, 0};
};
