// police_dispatch.h -- police cars sent into the city at the spawn point,
// and the one display list every police car draws.
#pragma once

#include <GL/gl.h>

// A police car from the searchlight rule (counted in policeSpawned) and one
// from the "x" key (not counted): both appear at the police spawn point.
void spawnPoliceCar();
void createPoliceCar();

// Built with the first police car of a city and shared by all that follow.
GLuint policeCarMesh();
// Called when the city is made anew (possibly in another GL context): the
// next police car builds the list again.
void forgetPoliceCarMesh();
