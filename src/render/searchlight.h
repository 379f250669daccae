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
