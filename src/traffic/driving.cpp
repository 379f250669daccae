// driving.cpp -- the driving step every car shares: lane following, the
// decision before each intersection, the arc manoeuvres, pulling over for
// the chase and wrapping at the city's edge.
#include <cmath>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "traffic/vehicle.h"

namespace {
constexpr float quarterTurn = pi / 2;  // radians
constexpr float halfTurn = pi;
constexpr float decisionDistance = 2.5f;  // before the cross street's centre line
constexpr float decisionWindow = 0.1f;    // either side of the decision point
constexpr float crossingLength = 0.2f;    // the crossing state ends this far from its start
constexpr float optionLookAhead = 4.0f;
constexpr float leftTurnRadius = 3.3f;
constexpr float rightTurnRadius = 1.7f;
constexpr float uTurnRadius = 0.8f;
constexpr float pullOverDistance = 0.7f;  // toward the kerb from the lane
constexpr float pullOverCrawl = -0.001f;  // the pulled-over speed: a slight creep back
constexpr float pullOverMinimum = 0.001f;
constexpr float threatDistance = 5.0f;

// Unit steps in (x, z) for the four quadrants, indexed 0, 90, 180, 270.
struct Axis {
    float x, z;
};
Axis quadrantDirection(int quadrant) {
    switch (quadrant) {
        case 0: return {0, 1};
        case 90: return {1, 0};
        case 180: return {0, -1};
        default: return {-1, 0};
    }
}
}  // namespace

int Vehicle::randomValidChoice(const float options[3]) {
    if (!(isValidCoordinate(options[0]) || isValidCoordinate(options[1]) || isValidCoordinate(options[2]))) return -1;
    for (;;) {
        const int i = gameRandom() % 3;
        if (isValidCoordinate(options[i])) return i;
    }
}

int Vehicle::chooseDirection(const float options[3]) { return randomValidChoice(options); }

void Vehicle::update(float dt) {
    beforeUpdate();

    // A manoeuvre under way takes the whole step.
    if (turningRight) {
        rightTurnStep(dt);
        afterMove();
        refreshTreeNode();
        return;
    }
    if (crossing) {
        if (std::fabs(crossX - position.x) > crossingLength || std::fabs(crossZ - position.z) > crossingLength) {
            crossing = false;
        }
        moveStep(dt);
        afterMove();
        refreshTreeNode();
        return;
    }
    if (turningLeft) {
        leftTurnStep(dt);
        afterMove();
        refreshTreeNode();
        return;
    }
    if (uTurning) {
        uTurnStep(dt);
        refreshTreeNode();
        return;
    }
    if (blocking) {
        blockTurnStep(dt);
        refreshTreeNode();
        return;
    }
    if (pullingOver) {
        pullOverStep(dt);
        refreshTreeNode();
        return;
    }

    if (requestUTurn || requestPullOver || requestBlock) {
        // Taken up in lane following only; the car still drives straight now.
        startX = position.x;
        startZ = position.z;
        startHeading = heading;
        if (requestUTurn) {
            uTurning = true;
            requestUTurn = false;
            uTurnCount += 1;
        } else if (requestPullOver) {
            pullingOver = true;
            slowing = true;
            requestPullOver = false;
            savedSpeed = speed;
        } else {
            blocking = true;
            holdBlock = true;
            requestBlock = false;
        }
        normalDrive(dt);
        return;
    }

    // The decision point, 2.5 before the cross street ahead.
    float options[3];
    bool atDecision = false;
    if (drivesAlongZ()) {
        const float r = heading < 1 ? 1.0f : -1.0f;
        const float point = nextCrossZ - decisionDistance * r;
        if (std::fabs(point - position.z) < decisionWindow) {
            atDecision = true;
            startX = position.x;
            startZ = point;
            startHeading = heading;
            options[0] = city.nextStreetZ(heading, position.z + optionLookAhead * r);
            options[1] = city.nextStreetX(wrapHeading(heading + 90), position.x + optionLookAhead * r);
            options[2] = city.nextStreetX(wrapHeading(heading - 90), position.x - optionLookAhead * r);
        }
    } else {
        const float r = heading < 91 ? 1.0f : -1.0f;
        const float point = nextCrossX - decisionDistance * r;
        if (std::fabs(point - position.x) < decisionWindow) {
            atDecision = true;
            startX = point;
            startZ = position.z;
            startHeading = heading;
            options[0] = city.nextStreetX(heading, position.x + optionLookAhead * r);
            options[1] = city.nextStreetZ(wrapHeading(heading + 90), position.z - optionLookAhead * r);
            options[2] = city.nextStreetZ(wrapHeading(heading - 90), position.z + optionLookAhead * r);
        }
    }
    if (atDecision) {
        switch (chooseDirection(options)) {
            case 0:
                crossing = true;
                crossX = position.x;
                crossZ = position.z;
                afterMove();
                break;
            case 1:
                turningLeft = true;
                leftTurnStep(dt);
                afterMove();
                return;
            case 2:
                turningRight = true;
                rightTurnStep(dt);
                afterMove();
                return;
            default:
                break;
        }
    }
    normalDrive(dt);
}

void Vehicle::normalDrive(float dt) {
    // Passed the cross street: look up the next one.
    switch (headingQuadrant(heading)) {
        case 0:
            if (position.z > nextCrossZ) nextCrossZ = city.nextStreetZ(heading, position.z);
            break;
        case 90:
            if (position.x > nextCrossX) nextCrossX = city.nextStreetX(heading, position.x);
            break;
        case 180:
            if (position.z < nextCrossZ) nextCrossZ = city.nextStreetZ(heading, position.z);
            break;
        case 270:
            if (position.x < nextCrossX) nextCrossX = city.nextStreetX(heading, position.x);
            break;
        default:
            break;
    }
    moveStep(dt);
    afterMove();

    // Wrap at the city's edge (first matching case only). Coming in from
    // the high side, the lookup starts 20 inside the edge.
    if (position.x > city.farCorner.x) {
        position.x = city.origin.x;
        nextCrossX = city.nextStreetX(heading, position.x);
    } else if (position.x < city.origin.x) {
        position.x = city.farCorner.x;
        nextCrossX = city.nextStreetX(heading, position.x - 20);
    } else if (position.z > city.farCorner.z) {
        position.z = city.origin.z;
        nextCrossZ = city.nextStreetZ(heading, position.z);
    } else if (position.z < city.origin.z) {
        position.z = city.farCorner.z;
        nextCrossZ = city.nextStreetZ(heading, position.z - 20);
    }
    refreshTreeNode();
}

void Vehicle::arcStep(float dt, float radius, float endAngle, bool leftward, bool& flag, bool halts) {
    float turned = leftward ? heading - startHeading : startHeading - heading;
    if (turned < 0) turned += 360;
    float t = turned * pi / 180 + dt * speed / radius;
    if (halts && holdBlock && t >= quarterTurn) {
        // The blocking turn stands across the street until released.
        afterMove();
        return;
    }
    const bool finished = t > endAngle;
    if (finished) t = endAngle;

    const float degrees = t * 180 / pi;
    // A turn ending a hair below 0 keeps that heading (it reads as 0).
    heading = wrapHeading(leftward ? startHeading + degrees : startHeading - degrees, -0.001f);

    const int quadrant = headingQuadrant(startHeading);
    if (quadrant >= 0) {
        const Axis forward = quadrantDirection(quadrant);
        // Left of forward (x, z) is (z, -x); right is (-z, x).
        const Axis side = leftward ? Axis{forward.z, -forward.x} : Axis{-forward.z, forward.x};
        const float along = radius * std::sin(t), across = radius * (1 - std::cos(t));
        position.x = startX + along * forward.x + across * side.x;
        position.z = startZ + along * forward.z + across * side.z;
    }

    if (finished) {
        moveStep(dt);
        flag = false;
        const int now = headingQuadrant(heading);
        if (now == 0 || now == 180) {
            nextCrossZ = city.nextStreetZ(heading, position.z);
        } else if (now == 90 || now == 270) {
            nextCrossX = city.nextStreetX(heading, position.x);
        }
    }
}

void Vehicle::leftTurnStep(float dt) { arcStep(dt, leftTurnRadius, quarterTurn, true, turningLeft, false); }

void Vehicle::rightTurnStep(float dt) { arcStep(dt, rightTurnRadius, quarterTurn, false, turningRight, false); }

void Vehicle::uTurnStep(float dt) { arcStep(dt, uTurnRadius, halfTurn, true, uTurning, false); }

void Vehicle::blockTurnStep(float dt) { arcStep(dt, uTurnRadius, halfTurn, true, blocking, true); }

void Vehicle::pullOverStep(float dt) {
    // Toward the right-hand kerb, by the quadrant the manoeuvre started in.
    float* lateral = nullptr;
    float kerbSide = 0, lane = 0;
    switch (headingQuadrant(startHeading)) {
        case 0: lateral = &position.x, kerbSide = -1, lane = startX; break;
        case 90: lateral = &position.z, kerbSide = 1, lane = startZ; break;
        case 180: lateral = &position.x, kerbSide = 1, lane = startX; break;
        case 270: lateral = &position.z, kerbSide = -1, lane = startZ; break;
        default: break;
    }
    if (slowing) {
        speed -= dt;
        if (speed < pullOverMinimum) speed = pullOverCrawl;
        moveStep(dt);
        if (lateral) {
            *lateral += kerbSide * dt;
            const float kerb = lane + kerbSide * pullOverDistance;
            if ((*lateral - kerb) * kerbSide > 0) *lateral = kerb;
        }
    } else if (speed < savedSpeed) {
        speed += dt;
        if (speed > savedSpeed) speed = savedSpeed;
        moveStep(dt);
        if (lateral) {
            *lateral -= kerbSide * dt;
            if ((*lateral - lane) * kerbSide < 0) *lateral = lane;
        }
    } else {
        speed = savedSpeed;
        pullingOver = false;
    }
    afterMove();
}

void Vehicle::afterMove() {
    if (!yieldsToChase) return;
    bool threatened = fugitive && distance(position, fugitive->position) < threatDistance;
    for (size_t i = 0; !threatened && i < policeCars.size(); ++i) {
        threatened = distance(position, policeCars[i]->position) < threatDistance;
    }
    if (threatened && !slowing) requestPullOver = true;
    if (!threatened && slowing) slowing = false;
}
