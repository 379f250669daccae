// car_meshes.h -- the car models compiled into the game, one display-list
// builder each. Model space: one unit long along y with the front toward -y,
// z up, width along x, centred on the origin.
#pragma once

#include <GL/gl.h>

GLuint buildFugitiveCarMesh();
GLuint buildTrafficCarMesh1();
GLuint buildTrafficCarMesh2();
GLuint buildTrafficCarMesh3();
GLuint buildTrafficCarMesh4();
GLuint buildTrafficCarMesh5();
GLuint buildPoliceCarMesh();
