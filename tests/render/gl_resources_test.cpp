// Texture and display-list owners on a real context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/gl_resources.h"
#include "support/gl_context.h"

namespace {

class GLResourcesTest : public GLTest {};

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

TEST_F(GLResourcesTest, TextureReleaseFreesTheNameAndBindMakesANewOne) {
    Texture2D t;
    t.release();  // empty: nothing to give back
    EXPECT_FALSE(t.allocated);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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
    d.release();
    EXPECT_FALSE(d.allocated);
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
