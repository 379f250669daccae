// gl_context.cpp -- the shared offscreen context of the GL tests.
#include "support/gl_context.h"

#include <GL/gl.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

OffscreenContext& sharedGLContext() {
    static OffscreenContext context;
    if (!context.valid()) {
        std::string error;
        if (!context.create(1280, 1024, error)) ADD_FAILURE() << "offscreen GL context: " << error;
    }
    return context;
}

void GLTest::SetUp() {
    ASSERT_TRUE(sharedGLContext().valid());
    glViewport(0, 0, 1280, 1024);
    for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    while (glGetError() != GL_NO_ERROR) {
    }
}

void GLTestInTempDir::SetUp() {
    GLTest::SetUp();
    char* cwd = getcwd(nullptr, 0);
    previous = cwd;
    free(cwd);
    ASSERT_EQ(chdir(dir.dir.c_str()), 0);
}

void GLTestInTempDir::TearDown() { ASSERT_EQ(chdir(previous.c_str()), 0); }
