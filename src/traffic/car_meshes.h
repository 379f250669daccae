// car_meshes.h -- the car models compiled into the game, one display-list
// builder each. Model space: one unit long along y with the front toward -y,
// z up, width along x, centred on the origin.
#pragma once

#include <GL/gl.h>

struct CarMeshTables;

// Compiles one model into a new display list: one triangle batch per
// material group, the group's material applied before its first face.
GLuint compileCarMesh(const CarMeshTables& tables);

GLuint buildFugitiveCarMesh();
GLuint buildTrafficCarMesh1();
GLuint buildTrafficCarMesh2();
GLuint buildTrafficCarMesh3();
GLuint buildTrafficCarMesh4();
GLuint buildTrafficCarMesh5();
GLuint buildPoliceCarMesh();
