// pursuit.cpp -- the chase: the fugitive and police cars placed at chase
// speed, how police cars choose their way, block the fugitive's lane and
// queue behind each other, and how the fugitive turns away from police
// ahead and is caught between police ahead and behind.
#include <cmath>

#include "app/camera.h"
#include "app/globals.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "traffic/vehicle.h"

namespace {
constexpr float laneBand = 1.6f;          // lateral offset below this: the same lane band
// The two lanes of a street are 1.6 apart, and single-precision rounding
// puts them a hair either side of it. The band and the release test allow
// for that, so opposite lanes are never one band and always aligned.
constexpr float laneRounding = 0.001f;
constexpr float blockDistance = 5.0f;     // at an intersection
constexpr float resumeDistance = 7.0f;    // at an intersection, full speed again beyond this
constexpr float oncomingDistance = 4.0f;  // on the road, an oncoming fugitive this close
constexpr float releaseDistance = 15.0f;
constexpr float turningBrake = 0.3f;
constexpr float followingGap = 5.0f;
constexpr float followingLateral = 2.0f;
constexpr float followingBrake = 0.7f;
constexpr float captureOffsetX = 1.0f;  // where the helicopter comes to the scene
constexpr float captureOffsetZ = 4.0f;
constexpr int chaseParticles = 60;  // the fugitive's and a police car's smoke pool

bool strictlyBetween(float u, float a, float b) { return (a < u && u < b) || (b < u && u < a); }

// The quadrant's column of the preference tables (0, 90, 180, 270, 271+).
int column(float heading) {
    const int q = headingQuadrant(heading);
    return q < 0 ? 4 : q / 90;
}

// Entries of the preference tables: a plain answer, or a tentative one
// (negative, -1 - answer) that first asks the other table.
constexpr int t0 = -1, t2 = -3;
constexpr int preferXAbove[5] = {1, 0, 2, t2, t0};
constexpr int preferXBelow[5] = {2, t2, 1, 0, 0};
constexpr int preferZAbove[5] = {0, 2, t2, 1, t0};
constexpr int preferZBelow[5] = {t2, 1, 0, 2, 2};
}  // namespace

void FugitiveVehicle::place(GLuint list, float x, float y, float z, float h, GLuint smokeTexture) {
    placeCommon(list, x, y, z, h, smokeTexture, false, chaseSpeed, chaseParticles);
}

PoliceCar::PoliceCar() : firstChoice(true) {}

void PoliceCar::place(GLuint list, float x, float y, float z, float h, GLuint smokeTexture) {
    placeCommon(list, x, y, z, h, smokeTexture, false, chaseSpeed, chaseParticles);
}

// The fugitive's pool is advanced whole; a police car's, like traffic's,
// only in its first 30 particles (the ones drawn).
void FugitiveVehicle::updateSmoke(float dt) {
    advanceSmoke(dt, chaseParticles);
    beforeUpdate();
}

int PoliceCar::chooseDirection(const float options[3]) {
    if (firstChoice) {
        // From the spawn point beside the road, the first turn is into the lane.
        firstChoice = false;
        return 1;
    }
    if (pursuitActive && fugitive) {
        const float dx = fugitive->position.x - position.x;
        const float dz = fugitive->position.z - position.z;
        return std::fabs(dz) >= std::fabs(dx) ? preferZ(dx, dz, false) : preferX(dx, dz, false);
    }
    return randomValidChoice(options);
}

int PoliceCar::preferX(float dx, float dz, bool retried) const {
    const int entry = dx > 1 ? preferXAbove[column(heading)] : (dx == 1 ? t0 : preferXBelow[column(heading)]);
    if (entry >= 0) return entry;
    return retried ? -1 - entry : preferZ(dx, dz, true);
}

int PoliceCar::preferZ(float dx, float dz, bool retried) const {
    const int entry = dz > 1 ? preferZAbove[column(heading)] : (dz == 1 ? t0 : preferZBelow[column(heading)]);
    if (entry >= 0) return entry;
    return retried ? -1 - entry : preferX(dx, dz, true);
}

void PoliceCar::block() {
    if (turningLeft || turningRight || crossing) speed *= turningBrake;
    if (!blocking) requestBlock = true;
}

void PoliceCar::afterMove() {
    if (frozen) return;
    if (fugitive) {
        if (turningLeft || turningRight || crossing) {
            intersectionCheck();
        } else {
            roadCheck();
        }
    }
    keepFollowingDistance();
}

static float headingDifference(float a, float b) {
    float d = std::fabs(a - b);
    if (d >= 360) d -= 360;
    return d;
}

void PoliceCar::intersectionCheck() {
    const float a = headingDifference(fugitive->heading, heading);
    const float d = distance(position, fugitive->position);
    if (d < blockDistance) {
        if (a > 180 && a < 270 && (turningLeft || turningRight)) {
            block();
        } else if ((crossing && a > 45 && a < 135) || (a > 225 && a < 315)) {
            block();
        }
    }
    if (d > resumeDistance) speed = chaseSpeed;
}

void PoliceCar::roadCheck() {
    const Vector3& target = fugitive->position;
    const float a = headingDifference(fugitive->heading, heading);
    const float d = distance(position, target);
    if (lateralOffsetTo(target) < laneBand - laneRounding) {
        const float s = ownCoordinate(), u = coordinateOf(target);
        if (a > 90 && a < 270) {
            // Coming toward us: block if it is before the next cross street
            // or already close.
            if (strictlyBetween(u, s, crossStreetAhead()) || d < oncomingDistance) {
                block();
                return;
            }
        } else if (a < 90 || a > 270) {
            // Same way, and it is behind us on this stretch.
            if (strictlyBetween(u, crossStreetBehind(), s)) {
                block();
                return;
            }
        }
    }
    // Release: hold the block only while the fugitive stays in line and near.
    const bool aligned = std::fabs(target.x - position.x) <= laneBand + laneRounding ||
                         std::fabs(target.z - position.z) <= laneBand + laneRounding;
    if (aligned && d <= releaseDistance) return;
    holdBlock = false;
    speed = chaseSpeed;
}

void PoliceCar::keepFollowingDistance() {
    // Every police car looks at every other one, so with many police this
    // loop is the tick's hot spot: the heading's axis and direction are
    // worked out once, outside it. (position.z - p.z is exactly
    // -(p.z - position.z), so "ahead" is the same number either way.)
    const int quadrant = headingQuadrant(heading);
    bool queued = false;
    if (quadrant >= 0) {
        const bool alongZ = quadrant == 0 || quadrant == 180;
        const bool backward = quadrant == 180 || quadrant == 270;
        const float ownAlong = alongZ ? position.z : position.x;
        const float ownAcross = alongZ ? position.x : position.z;
        for (const PoliceCar* other : policeCars) {
            if (other == this) continue;
            const Vector3& p = other->position;
            const float along = (alongZ ? p.z : p.x) - ownAlong;
            const float ahead = backward ? -along : along;
            const float lateral = std::fabs((alongZ ? p.x : p.z) - ownAcross);
            if (ahead >= 0 && ahead < followingGap && lateral < followingLateral) {
                speed *= followingBrake;
                queued = true;
            }
        }
    }
    if (!queued) speed = chaseSpeed;
}

void FugitiveVehicle::afterMove() {
    bool ahead = false, behind = false;
    if (!policeCars.empty()) {
        const float s = ownCoordinate();
        const float streetAhead = crossStreetAhead(), streetBehind = crossStreetBehind();
        for (PoliceCar* police : policeCars) {
            if (lateralOffsetTo(police->position) >= laneBand - laneRounding) continue;
            const float u = coordinateOf(police->position);
            if (strictlyBetween(u, streetBehind, s)) {
                behind = true;
            } else if (strictlyBetween(u, s, streetAhead)) {
                ahead = true;
            }
        }
    }
    if (ahead && behind) {
        // Caught: everything stops and the helicopter comes to the scene.
        // Each car is stopped once, when it is first frozen: the check
        // repeats every step, and stopping a traffic car again each time
        // would hold one that was returning from a pull-over at a crawl
        // forever, creeping off the city's edge, where it should regain
        // its speed and drive on.
        speed = 0;
        for (Vehicle* car : city.vehicles) {
            if (car->frozen) continue;
            car->frozen = true;
            car->speed = 0;
        }
        helicopter.position.x = position.x + captureOffsetX;
        helicopter.position.z = position.z + captureOffsetZ;
        camera.setTargets(position.x + captureOffsetX, helicopter.position.y, position.z + captureOffsetZ, position.x,
                          position.y, position.z);
        helicopter.lookPoint = position;
    } else if (ahead) {
        // Turn away, once per encounter.
        if (!uTurning && uTurnCount < 1) requestUTurn = true;
    } else {
        uTurnCount = 0;
    }
}
