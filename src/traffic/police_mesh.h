// police_mesh.h -- the one display list every police car draws.
#pragma once

#include <GL/gl.h>

// Built with the first police car of a city and shared by all that follow.
GLuint policeCarMesh();
// Called when the city is made anew (possibly in another GL context): the
// next police car builds the list again.
void forgetPoliceCarMesh();
