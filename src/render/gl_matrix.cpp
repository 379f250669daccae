// gl_matrix.cpp -- reading OpenGL's matrices back into row-major Matrix4s.
#include <GL/gl.h>

#include "render/vector_math.h"

Matrix4 readGLMatrix(unsigned int name) {
    float columnMajor[16];
    glGetFloatv(name, columnMajor);
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.at(r, c) = columnMajor[4 * c + r];
    return m;
}
