// vehicle.cpp -- placing the cars on the road, their exhaust and smoke pool,
// the stretch of road each drives on, and keeping each car listed in the
// tree node it stands in.
#include "traffic/vehicle.h"

#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "city/city.h"
#include "traffic/city_tree.h"

namespace {
constexpr float placementHeight = 0.2f;  // the origin's height above the road
constexpr float laneOffset = 0.8f;       // right-hand lane from the centre line
constexpr float headingTolerance = 0.001f;
constexpr float exhaustBehind = 0.5f;
constexpr float trafficSpeed = 3.0f;
constexpr int trafficParticles = 30;
constexpr int particlesAdvancedByTrafficAndPolice = 30;
}  // namespace

int headingQuadrant(float heading) {
    if (heading < 1) return 0;
    if (heading < 91) return 90;
    if (heading < 181) return 180;
    if (heading < 271) return 270;
    return -1;
}

float wrapHeading(float heading, float lowest) {
    if (heading >= 360) return heading - 360;
    if (heading < lowest) return heading + 360;
    return heading;
}

bool headingAlongZ(float heading) { return heading < 1 || (heading > 179 && heading < 181); }

float farthestPastCityEdge(float step) {
    // Only traffic pulls over. Turns and U-turns (radius 3.3 at most, plus
    // one step of a chase car) end nearer than this.
    const float pullOverRun = trafficSpeed * trafficSpeed;  // v²/2 slowing, v²/2 returning
    return pullOverRun + trafficSpeed * step;
}

Vehicle::Vehicle() : position(0, 0, 0) {}

Vehicle::~Vehicle() { delete[] smoke; }

void Vehicle::placeCommon(GLuint list, float x, float y, float z, float h, GLuint smokeTexture, bool yields,
                          float startSpeed, int particles) {
    scale = 1.0f;
    baseHeight = placementHeight;
    displayList = list;
    position = Vector3(x, y + placementHeight, z);
    heading = h;
    turningLeft = turningRight = crossing = uTurning = blocking = pullingOver = false;
    requestUTurn = requestBlock = requestPullOver = false;
    holdBlock = slowing = false;
    yieldsToChase = yields;
    speed = startSpeed;
    uTurnCount = 0;
    frozen = false;

    // Into the right-hand lane, and the next cross street ahead.
    if (std::fabs(h) < headingTolerance) {
        position.x -= laneOffset;
        nextCrossZ = city.nextStreetZ(h, z);
    } else if (std::fabs(h - 90) < headingTolerance) {
        position.z += laneOffset;
        nextCrossX = city.nextStreetX(h, x);
    } else if (std::fabs(h - 180) < headingTolerance) {
        position.x += laneOffset;
        nextCrossZ = city.nextStreetZ(h, z);
    } else if (std::fabs(h - 270) < headingTolerance) {
        position.z -= laneOffset;
        nextCrossX = city.nextStreetX(h, x);
    }

    delete[] smoke;  // place runs once per car; a second call must not leak
    smoke = new SmokeParticle[particles];
    smokeCount = particles;
    for (int i = 0; i < particles; ++i) smoke[i].init(this, smokeTexture);
}

void Vehicle::place(GLuint list, float x, float y, float z, float h, GLuint smokeTexture) {
    placeCommon(list, x, y, z, h, smokeTexture, true, trafficSpeed, trafficParticles);
}

Vector3 Vehicle::exhaustPoint() const {
    const float radians = heading * pi / 180;
    return {position.x - std::sin(radians) * exhaustBehind, baseHeight, position.z - std::cos(radians) * exhaustBehind};
}

void Vehicle::advanceSmoke(float dt, int particles) {
    const int n = std::min(particles, smokeCount);
    for (int i = 0; i < n; ++i) smoke[i].update(dt);
}

void Vehicle::updateSmoke(float dt) { advanceSmoke(dt, particlesAdvancedByTrafficAndPolice); }

void Vehicle::moveStep(float dt) {
    const float radians = heading * pi / 180;
    position.x += dt * std::sin(radians) * speed;
    position.z += dt * std::cos(radians) * speed;
}

float Vehicle::ownCoordinate() const { return coordinateOf(position); }

float Vehicle::coordinateOf(const Vector3& p) const { return drivesAlongZ() ? p.z : p.x; }

float Vehicle::lateralOffsetTo(const Vector3& p) const {
    return drivesAlongZ() ? std::fabs(p.x - position.x) : std::fabs(p.z - position.z);
}

// The cross street bounding a car's stretch of road in one direction: the
// city's lookup where it finds a street. Where it finds none the road
// still ends somewhere: at the last line behind s (the lookup also gives up
// when no line lies above s at all), or at the city's edge.
static float crossStreetToward(bool alongZ, float travelHeading, float s) {
    const float lookup = alongZ ? city.nextStreetZ(travelHeading, s) : city.nextStreetX(travelHeading, s);
    if (isValidCoordinate(lookup)) return lookup;
    const float* lines = alongZ ? city.streetZ : city.streetX;
    const int count = alongZ ? city.streetZCount : city.streetXCount;
    const bool towardHigh = alongZ ? (travelHeading < 1 || travelHeading > 359) : travelHeading < 91;
    if (towardHigh) {
        for (int k = 0; k < count; ++k) {
            if (lines[k] > s) return lines[k];
        }
        return alongZ ? city.farCorner.z : city.farCorner.x;
    }
    float bound = alongZ ? city.origin.z : city.origin.x;
    for (int k = 0; k < count && lines[k] <= s; ++k) bound = lines[k];
    return bound;
}

float Vehicle::crossStreetAhead() const { return crossStreetToward(drivesAlongZ(), heading, ownCoordinate()); }

float Vehicle::crossStreetBehind() const {
    return crossStreetToward(drivesAlongZ(), wrapHeading(heading + 180), ownCoordinate());
}

DrivingState Vehicle::drivingState() const {
    if (turningRight) return DrivingState::right;
    if (crossing) return DrivingState::crossing;
    if (turningLeft) return DrivingState::left;
    if (uTurning) return DrivingState::uTurn;
    if (blocking) return DrivingState::blocking;
    if (pullingOver) return DrivingState::pullOver;
    return DrivingState::lane;
}

void Vehicle::refreshTreeNode() {
    if (treeNode && treeNode->contains(position)) return;
    if (treeNode) {
        // The last entry that is this car; the others keep their order.
        std::vector<Drawable*>& list = treeNode->objects;
        for (size_t i = list.size(); i-- > 0;) {
            if (list[i] == this) {
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
    }
    if (cityTree) cityTree->insertVehicle(this);
}
