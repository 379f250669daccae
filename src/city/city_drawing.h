// city_drawing.h -- the face primitives buildings and tiles are made of.
//
// Each adds quads to a batch, every quad counter-clockwise seen from the
// side its normal points to, so back-face culling keeps the outside of
// walls and the top of floors.
#pragma once

class QuadBatch;

// The material of every building and tile, set for the front faces.
void setCityMaterial();

// The three tessellated faces: spans a..c and b..d (high to low allowed),
// cut into n x n quads, each with the full texture range 0..g. The face
// lies in the plane z = e (addWallZ), x = e (addWallX) or y = e
// (addFloor) and faces +axis when f > 0, -axis otherwise.
// addWallZ spans (x, y), addWallX (y, z), addFloor (x, z).
void addWallZ(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g);
void addWallX(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g);
void addFloor(QuadBatch& out, float a, float b, float c, float d, int n, float e, float f, float g);

// A flat roof at height h with a rim of width rim around a floor sunk by
// depth: nine quads, the texture stretched once over x0..x1 by z0..z1.
void addRoof(QuadBatch& out, float x0, float z0, float x1, float z1, float h, float depth, float rim);

// Quads of buildings and tiles in one draw, with the state each would set
// for itself: white, the city's material and (textured) the texture bound.
void drawCityQuads(const QuadBatch& quads, unsigned texture, bool textured);
