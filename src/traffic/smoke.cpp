// smoke.cpp -- exhaust particles: emitted at the car's exhaust, drifting
// with a random velocity, fading out and emitted again.
#include "traffic/smoke.h"

#include "app/random.h"
#include "traffic/vehicle.h"

namespace {
constexpr float startSize = 0.05f;
constexpr float startAlpha = 0.5f;
constexpr float fadeRate = -4.0f;  // alpha per second: gone after 0.125 s
constexpr float particleLifetime = 0.25f;
constexpr float drift = 0.8f;  // x and z in -0.4..0.4, y (rising) in 0..0.8

// Three draws in the order x, y, z.
Vector3 randomVelocity() {
    const float x = gameRandomFraction() * drift - drift / 2;
    const float y = gameRandomFraction() * drift;
    const float z = gameRandomFraction() * drift - drift / 2;
    return {x, y, z};
}
}  // namespace

void SmokeParticle::init(Vehicle* car, GLuint image) {
    owner = car;
    texture = image;
    size = initialSize = startSize;
    growth = initialGrowth = 0;
    alpha = initialAlpha = startAlpha;
    alphaRate = fadeRate;
    depthWriteOff = true;
    velocity = randomVelocity();
    age = gameRandomFraction() * particleLifetime;  // spreads the emissions of one car
    lifetime = particleLifetime;
    position = owner->exhaustPoint();
}

void SmokeParticle::update(float dt) {
    position += velocity * dt;
    size += dt * growth;
    alpha += dt * alphaRate;
    if (alpha < 0) alpha = 0;
    if (alpha > 1) alpha = 1;
    age += dt;
    if (age > lifetime) emit();
}

void SmokeParticle::emit() {
    position = owner->exhaustPoint();
    size = initialSize;
    growth = initialGrowth;
    alpha = initialAlpha;
    depthWriteOff = true;
    age = gameRandomFraction() * particleLifetime;  // drawn before the velocity
    velocity = randomVelocity();
}
