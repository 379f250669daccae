// gl_resources.cpp -- texture and display-list owners.
#include "render/gl_resources.h"

Texture::Texture(GLenum target_) : target(target_) {}

Texture::~Texture() { release(); }

void Texture::bind() {
    if (!allocated) {
        glGenTextures(1, &name);
        allocated = true;
    }
    glBindTexture(target, name);
}

void Texture::unbind() { glBindTexture(target, 0); }

void Texture::setParameter(GLenum pname, GLint value) { glTexParameteri(target, pname, value); }

void Texture::release() {
    if (allocated) glDeleteTextures(1, &name);
    allocated = false;
}

DisplayList::~DisplayList() { release(); }

bool DisplayList::beginList(GLenum mode) {
    if (!allocated) {
        list = glGenLists(1);
        if (list == 0) return false;
        allocated = true;
    }
    glNewList(list, mode);
    return true;
}

void DisplayList::endList() { glEndList(); }

void DisplayList::release() {
    if (allocated) glDeleteLists(list, 1);
    allocated = false;
}
