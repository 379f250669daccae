// vehicle.h -- the cars: traffic, the one fugitive, and police cars.
//
// World units, y up. Headings are degrees: 0 drives toward +z, 90 toward +x;
// a step of dt seconds adds dt * sin(heading) * speed to x and
// dt * cos(heading) * speed to z, so raising the heading by 90 turns left.
// Cars keep to the right-hand lane, 0.8 from the street's centre line.
#pragma once

#include <GL/gl.h>

#include "city/drawable.h"
#include "render/vector_math.h"
#include "traffic/smoke.h"

class CityTreeNode;

class Vehicle : public Drawable {
public:
    Vehicle();

    void draw(bool textured) override;                                                       // slot 0
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

    bool firstChoice = true;
};
