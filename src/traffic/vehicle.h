// vehicle.h -- the cars: traffic, the one fugitive, and police cars.
//
// World units, y up. Headings are degrees: 0 drives toward +z, 90 toward +x;
// a step of dt seconds adds dt * sin(heading) * speed to x and
// dt * cos(heading) * speed to z, so raising the heading by 90 turns left.
// Cars keep to the right-hand lane, 0.8 from the street's centre line.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "city/drawable.h"
#include "render/vector_math.h"
#include "traffic/smoke.h"

class CityTreeNode;

// Quadrant of a heading as the driving rules read it: below 1 is 0, 1 up
// to 91 is 90, 91 up to 181 is 180, 181 up to 271 is 270; 271 and above
// is none of them (-1).
int headingQuadrant(float heading);
// Driving along z: heading below 1 or strictly between 179 and 181.
bool headingAlongZ(float heading);
// A heading brought back by one turn: 360 and above lose 360, below lowest
// (0 unless the caller lets a heading sit a hair below 0) gain 360.
float wrapHeading(float heading, float lowest = 0);

// The fugitive's and every police car's driving speed, units per second.
constexpr float chaseSpeed = 9.0f;

// The farthest a car gets past the city's edge (x or z beyond 50) with
// driving steps of at most `step` seconds. Only lane following wraps, and
// it wraps within the step, so a manoeuvre begun at the edge runs on until
// it ends: a pull-over slows from traffic's speed v to a stop at 1 unit/s²
// (v²/2) and returns to v (v²/2 and up to a step more), 9 units in all; a
// turn reaches no farther than its radius and a step.
float farthestPastCityEdge(float step);

// What a car is doing, as the trace tool names it.
enum class DrivingState { lane, crossing, left, right, uTurn, blocking, pullOver };

class Vehicle : public Drawable {
public:
    Vehicle();
    ~Vehicle() override;
    Vehicle(const Vehicle&) = delete;
    Vehicle& operator=(const Vehicle&) = delete;

    void draw(bool textured) override;                                                       // slot 0
    void drawOpaque(bool textured) override;   // the body
    void drawBlended(bool textured) override;  // its smoke
    virtual void place(GLuint list, float x, float y, float z, float heading, GLuint smokeTexture);  // slot 1
    virtual void uTurnStep(float dt);                                                        // slot 2
    virtual void update(float dt);                                                           // slot 3
    virtual void updateSmoke(float dt);                                                      // slot 4
    // options: street lookups for straight (0), left (1) and right (2).
    virtual int chooseDirection(const float options[3]);                                     // slot 5
    virtual void beforeUpdate() {}                                                           // slot 6
    virtual void afterMove();                                                                // slot 7

    void leftTurnStep(float dt);
    void rightTurnStep(float dt);
    void blockTurnStep(float dt);
    void pullOverStep(float dt);
    void refreshTreeNode();
    Vector3 exhaustPoint() const;

    // One straight step of dt seconds along the heading.
    void moveStep(float dt);
    bool drivesAlongZ() const { return headingAlongZ(heading); }
    // The manoeuvre under way, in the order the driving step checks them.
    DrivingState drivingState() const;
    // The cross streets ahead of and behind the car along its own street.
    // Where no street lies that way the city's edge stands in for it.
    float crossStreetAhead() const;
    float crossStreetBehind() const;
    // The coordinate along the car's own street (x along x, z along z) and
    // the lateral distance to another car (absolute, across the street).
    float ownCoordinate() const;
    float coordinateOf(const Vector3& p) const;
    float lateralOffsetTo(const Vector3& p) const;

    // Straight on, left or right at random among the valid options (street
    // lookups that pass isValidCoordinate); -1 (drive straight on, no manoeuvre) when none
    // is valid, without drawing.
    static int randomValidChoice(const float options[3]);

    bool yieldsToChase = true;
    Vector3 position;
    float scale = 1.0f;
    float baseHeight = 0.2f;
    GLuint displayList = 0;
    float heading = 0;     // degrees
    float speed = 0;       // units per second
    float nextCrossX = 0;  // next cross street ahead when driving along x
    float nextCrossZ = 0;  // next cross street ahead when driving along z
    bool turningLeft = false, turningRight = false, crossing = false;
    bool uTurning = false, blocking = false, pullingOver = false;
    bool requestUTurn = false, requestBlock = false, requestPullOver = false;
    bool holdBlock = false;
    bool slowing = false;
    float savedSpeed = 0;
    float startX = 0, startZ = 0, startHeading = 0;
    float crossX = 0, crossZ = 0;
    SmokeParticle* smoke = nullptr;  // owned for the car's whole life
    int smokeCount = 0;
    CityTreeNode* treeNode = nullptr;  // not owned
    int32_t uTurnCount = 0;
    bool frozen = false;

protected:
    // The placement shared by every kind; the kinds differ in whether they
    // yield, their speed and the size of their smoke pool.
    void placeCommon(GLuint list, float x, float y, float z, float heading, GLuint smokeTexture, bool yields,
                     float startSpeed, int particles);
    void advanceSmoke(float dt, int particles);

private:
    void normalDrive(float dt);
    // One step along a circular arc of radius R ending at endAngle radians;
    // clears flag when the arc is done. halts: the blocking turn's hold.
    void arcStep(float dt, float radius, float endAngle, bool leftward, bool& flag, bool halts);
};

class FugitiveVehicle : public Vehicle {
public:
    void place(GLuint list, float x, float y, float z, float heading, GLuint smokeTexture) override;
    void updateSmoke(float dt) override;
    void afterMove() override;  // the escape check and the capture
};

class PoliceCar : public Vehicle {
public:
    PoliceCar();
    void place(GLuint list, float x, float y, float z, float heading, GLuint smokeTexture) override;
    int chooseDirection(const float options[3]) override;
    void afterMove() override;
    void block();
    // Turn toward the fugitive's x (preferX) or z (preferZ); a tentative
    // answer asks the other one unless this is already the retry.
    int preferX(float dx, float dz, bool retried) const;
    int preferZ(float dx, float dz, bool retried) const;

    bool firstChoice = true;

private:
    void intersectionCheck();
    void roadCheck();
    void keepFollowingDistance();
};
