// Texture and display-list owners on a real context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/gl_resources.h"
#include "support/gl_context.h"

namespace {

class GLResourcesTest : public GLTest {};

// Watches for any GL call made by f: between glBegin and glEnd nearly every
// GL call is an error (GL_INVALID_OPERATION), so a clean error state after
// it means f called nothing.
template <class F>
GLenum errorOfCallsIn(F f) {
    glBegin(GL_POINTS);
    f();
    glEnd();
    return glGetError();
}

TEST_F(GLResourcesTest, TextureAllocatesOnceAndBindsEachTime) {
    Texture2D t;
    EXPECT_FALSE(t.allocated);
    EXPECT_EQ(t.target, static_cast<GLenum>(GL_TEXTURE_2D));
    t.bind();
    ASSERT_TRUE(t.allocated);
    const GLuint first = t.name;
    EXPECT_TRUE(glIsTexture(first));
    t.unbind();
    t.bind();
    EXPECT_EQ(t.name, first);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), first);
    t.unbind();
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

// Releasing an empty wrapper makes no GL call at all: it cannot delete a
// name it does not hold, even one its name field happens to equal.
TEST_F(GLResourcesTest, ReleaseOfAnEmptyWrapperMakesNoGLCall) {
    GLuint foreign = 0;
    glGenTextures(1, &foreign);
    glBindTexture(GL_TEXTURE_2D, foreign);
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLuint foreignList = glGenLists(1);
    glNewList(foreignList, GL_COMPILE);
    glEndList();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    Texture2D t;
    t.name = foreign;
    DisplayList d;
    d.list = foreignList;
    EXPECT_EQ(errorOfCallsIn([&] { t.release(); }), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(errorOfCallsIn([&] { d.release(); }), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(t.allocated);
    EXPECT_FALSE(d.allocated);
    EXPECT_TRUE(glIsTexture(foreign));
    EXPECT_TRUE(glIsList(foreignList));
    // The watch sees a call: a wrapper that holds a name does call GL.
    t.bind();
    t.unbind();
    const GLuint held = t.name;
    EXPECT_EQ(errorOfCallsIn([&] { t.release(); }), static_cast<GLenum>(GL_INVALID_OPERATION));
    glDeleteTextures(1, &held);
    glDeleteTextures(1, &foreign);
    glDeleteLists(foreignList, 1);
}

TEST_F(GLResourcesTest, TextureReleaseFreesTheNameAndBindMakesANewOne) {
    Texture2D t;
    t.bind();
    const GLuint first = t.name;
    t.release();
    EXPECT_FALSE(t.allocated);
    EXPECT_FALSE(glIsTexture(first));
    // Hold the freed name elsewhere so GL cannot hand it out again.
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    t.bind();
    EXPECT_TRUE(t.allocated);
    EXPECT_NE(t.name, other);
    glDeleteTextures(1, &other);
}

TEST_F(GLResourcesTest, SetParameterActsOnWhateverIsBound) {
    GLuint foreign = 0;
    glGenTextures(1, &foreign);
    glBindTexture(GL_TEXTURE_2D, foreign);
    Texture2D t;
    t.setParameter(GL_TEXTURE_WRAP_S, GL_CLAMP);
    EXPECT_FALSE(t.allocated);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP);
    glDeleteTextures(1, &foreign);
}

TEST_F(GLResourcesTest, DisplayListRecordsReplaysAndReleases) {
    DisplayList d;
    d.beginList(GL_COMPILE);
    glTranslatef(1, 2, 3);
    d.endList();
    ASSERT_TRUE(d.allocated);
    const GLuint first = d.list;
    EXPECT_TRUE(glIsList(first));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCallList(first);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 1);
    EXPECT_FLOAT_EQ(m[14], 3);
    d.beginList(GL_COMPILE);  // recording again reuses the name
    d.endList();
    EXPECT_EQ(d.list, first);
    d.release();
    EXPECT_FALSE(glIsList(first));
    EXPECT_FALSE(d.allocated);
}

TEST_F(GLResourcesTest, DestructorGivesTheNameBack) {
    GLuint name = 0;
    {
        Texture2D t;
        t.bind();
        name = t.name;
        t.unbind();
    }
    EXPECT_FALSE(glIsTexture(name));
}

}  // namespace
