// smoke.h -- exhaust smoke: camera-facing textured squares that drift from a
// car's exhaust, fade out in 0.125 s and are emitted again after 0.25 s.
#pragma once

#include <GL/gl.h>

#include "render/vector_math.h"

class Vehicle;

class SmokeParticle {
public:
    void init(Vehicle* owner, GLuint texture);
    void update(float dt);
    void draw(bool textured);
    // Draws count particles in a row as draw() would one by one.
    static void drawAll(const SmokeParticle* particles, int count, bool textured);
    void emit();

    Vehicle* owner = nullptr;  // not owned
    Vector3 position;
    Vector3 velocity;          // units per second
    float size = 0.05f;        // half the side of the square
    float initialSize = 0.05f;
    float growth = 0;          // per second
    float initialGrowth = 0;
    float alpha = 0.5f;
    float initialAlpha = 0.5f;
    float alphaRate = -4.0f;   // per second
    GLuint texture = 0;
    float age = 0;             // seconds since emission
    float lifetime = 0.25f;
    bool depthWriteOff = true;
};
