// car_meshes.cpp -- the display-list builders of the compiled-in cars.
#include "traffic/car_meshes.h"

#include "traffic/car_mesh_data.h"

namespace {

void applyMaterial(const CarMaterial& m) {
    glEnd();  // closes the batch so far (still empty before the first group)
    const GLfloat ambient[] = {m.ambient[0], m.ambient[1], m.ambient[2], m.alpha};
    const GLfloat diffuse[] = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.alpha};
    const GLfloat specular[] = {m.specular[0], m.specular[1], m.specular[2], m.alpha};
    const GLfloat emission[] = {m.emission[0], m.emission[1], m.emission[2], m.alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
    glBegin(GL_TRIANGLES);
}

}  // namespace

GLuint compileCarMesh(const CarMeshTables& t) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    int remaining = 0;
    int nextGroup = 0;
    for (int f = 0; f < t.faceCount; ++f) {
        // The generator checks that the groups cover the faces; a group past
        // the end is never read.
        if (remaining == 0 && nextGroup < t.groupCount) {
            applyMaterial(t.materials[t.groups[nextGroup][0]]);
            remaining = t.groups[nextGroup][1];
            ++nextGroup;
        }
        const std::int16_t* face = t.faces[f];
        for (int corner = 0; corner < 3; ++corner) {
            const float* n = t.normals[face[3 + corner]];
            const float* uv = t.texCoords[face[6 + corner]];
            const float* v = t.vertices[face[corner]];
            glNormal3f(n[0], n[1], n[2]);
            glTexCoord2f(uv[0], uv[1]);
            glVertex3f(v[0], v[1], v[2]);
        }
        remaining -= 1;
    }
    glEnd();
    glEndList();
    return list;
}

GLuint buildFugitiveCarMesh() { return compileCarMesh(fugitiveCarTables); }
GLuint buildTrafficCarMesh1() { return compileCarMesh(trafficCar1Tables); }
GLuint buildTrafficCarMesh2() { return compileCarMesh(trafficCar2Tables); }
GLuint buildTrafficCarMesh3() { return compileCarMesh(trafficCar3Tables); }
GLuint buildTrafficCarMesh4() { return compileCarMesh(trafficCar4Tables); }
GLuint buildTrafficCarMesh5() { return compileCarMesh(trafficCar5Tables); }
GLuint buildPoliceCarMesh() { return compileCarMesh(policeCarTables); }
