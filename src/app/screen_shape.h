// screen_shape.h -- the game's view projection on any window shape.
//
// The picture was composed for a 1280 x 1024 (5 : 4) window, where the
// frustum is square: glFrustum(-1, 1, -1, 1, 1.5, 400). Other shapes keep that
// vertical field of view and widen or narrow the horizontal extent, so the
// picture is never stretched; a wide screen shows more of the city at the
// sides, a narrower one less.
#pragma once

constexpr float viewNear = 1.5f, viewFar = 400;

// Half the frustum's width at the near plane, the half height being 1:
// 1 at 5 : 4, 1.42 at 16 : 9. 1 for a window without area.
float horizontalExtent(int width, int height);

// Loads the game's projection for a window of width x height into
// GL_PROJECTION and returns to GL_MODELVIEW.
void applyViewProjection(int width, int height);

// How far an overlay that sits `distance` in front of the eye moves
// sideways (towards its side edge) so that its gap to that edge, as a share
// of the screen's height, stays what it is at 1280 x 1024.
float overlaySideShift(int width, int height, float distance);
