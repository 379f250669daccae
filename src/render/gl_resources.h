// gl_resources.h -- owners of one OpenGL texture name or display list.
//
// Each wrapper creates its GL name on first use, remembers that it holds one,
// and gives it back on release() or destruction. They need a current context
// whenever they hold or make a name. Copies are not allowed.
#pragma once

#include <GL/gl.h>

class Texture {
public:
    explicit Texture(GLenum target);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void bind();    // allocates a name on first use, then binds it
    void unbind();  // binds texture 0 to the target
    // glTexParameteri on whatever is bound to the target right now.
    void setParameter(GLenum pname, GLint value);
    void release();  // no GL call when nothing is held

    bool allocated = false;
    GLuint name = 0;  // meaningful only while allocated
    GLenum target;
};

class Texture2D : public Texture {
public:
    Texture2D() : Texture(GL_TEXTURE_2D) {}
};

class DisplayList {
public:
    DisplayList() = default;
    virtual ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    // Allocates a list name on first use, then glNewList(list, mode).
    // False, with nothing begun, when GL gives no name (no current context).
    bool beginList(GLenum mode);
    void endList();
    void release();  // no GL call when nothing is held

    bool allocated = false;
    GLuint list = 0;  // meaningful only while allocated
};
