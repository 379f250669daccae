// searchlight.h -- the helicopter's searchlight, as light 0 and as the
// projector of "spotlight_image.ppm" in the additive pass.
#pragma once

#include "render/vector_math.h"

constexpr float searchlightAngle = 18.0f;  // degrees, full vertical opening

// Rebuilds the searchlight controller's placement from the helicopter's
// attitude and the mouse offsets. Once per frame, before the camera.
void placeSearchlight();
// Unit vector along which the searchlight's frustum opens backwards: the
// beam looks along -d.
Vector3 searchlightDirection();
// Multiplies the current matrix by the searchlight's look-at.
void lookFromSearchlight();
// Light 0 three units above the searchlight (modelview holds the view).
void placeSearchlightLight();
// Texture state and cullMatrix of the lit pass and of the searchlight pass.
void beginRegularPass();
void beginProjectivePass();

// A window rectangle in pixels, origin at the lower left.
struct ScreenBox {
    int x = 0, y = 0, width = 0, height = 0;
};

// The searchlight projects its image along a square pyramid (apex, unit
// axes right, up and back: the beam looks along -back, the image's edges
// lie at tanHalfAngle to either side). Outside that pyramid the image's
// black edge is all the pass adds. Everything the pass draws lies between
// the heights lowY and highY, so no pixel outside the screen area of the
// pyramid's slice between them gains light. coneScreenBox gives that area's
// bounds in the viewport (a pixel of margin on every side, clamped to the
// viewport), seen through viewProjection. False when no bound is known: the
// apex not above highY, an edge of the pyramid not going down, or part of
// the slice behind the camera.
bool coneScreenBox(const Vector3& apex, const Vector3& right, const Vector3& up, const Vector3& back,
                   float tanHalfAngle, float lowY, float highY, const Matrix4& viewProjection,
                   const int viewport[4], ScreenBox& box);
// The same for the searchlight as placed now, with the heights the city's
// buildings, cars and smoke keep within.
bool searchlightScreenBox(const Matrix4& viewProjection, const int viewport[4], ScreenBox& box);
