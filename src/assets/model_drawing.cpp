// model_drawing.cpp -- immediate-mode drawing of models: one glBegin/glEnd
// of triangles per object, re-sent every frame.
#include <GL/gl.h>

#include <cstring>

#include "assets/model.h"

namespace {

const GLfloat greyDiffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
const GLfloat black[] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat brightDiffuse[] = {0.9f, 0.9f, 0.9f, 1.0f};
const GLfloat whiteSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat badgeGlow[] = {0.2f, 0.19f, 0.01f, 1.0f};
// The badge's highlight is a tight glint (GL's sharpest). A shininess of 0
// would make the specular term 1 on every face turned to the light, flooding
// those faces white and hiding the glow, the capture's progress, there; a
// broad highlight still whitens most of a face turned squarely to it.
constexpr GLfloat badgeShininess = 128;

// White base colour, and the object's texture when it has one and the pass
// binds textures. Materials past the texture table bind no texture.
void applyTextureState(const Model& model, const MeshObject& object, bool textured) {
    glColor3ub(255, 255, 255);
    if (object.hasTexture && textured) {
        const int slot = object.materialIndex;
        glBindTexture(GL_TEXTURE_2D, slot < modelTextureSlots ? model.textures[slot] : 0);
    }
}

// The triangles of one object. perCorner(v) runs after a corner's normal and
// texture coordinate or material colour, just before its vertex.
template <typename PerCorner>
void sendTriangles(const ModelData& data, const MeshObject& object, PerCorner perCorner) {
    const bool coloured = !object.hasTexture && object.materialIndex < data.materialCount;
    const unsigned char* colour = coloured ? data.materials[object.materialIndex].colour : nullptr;
    glBegin(GL_TRIANGLES);
    for (std::int32_t i = 0; i < object.faceCount; ++i) {
        const Face& face = object.faces[i];
        const std::int32_t corners[3] = {face.a, face.b, face.c};
        for (const std::int32_t v : corners) {
            const Vector3& n = object.normals[v];
            glNormal3f(n.x, n.y, n.z);
            if (object.hasTexture) {
                // A short coordinate list covers only its first vertices.
                if (object.texCoords && v < object.texCoordCount) {
                    glTexCoord2f(object.texCoords[v].u, object.texCoords[v].v);
                }
            } else if (colour) {
                glColor3ub(colour[0], colour[1], colour[2]);
            }
            perCorner(v);
            const Vector3& p = object.vertices[v];
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
}

bool isRotor(const char* name) {
    return std::strcmp(name, "propmain") == 0 || std::strcmp(name, "propback") == 0;
}

}  // namespace

void Model::draw(bool textured) {
    for (const MeshObject& object : data.objects) {
        applyTextureState(*this, object, textured);
        sendTriangles(data, object, [](std::int32_t) {});
    }
}

void HelicopterModel::draw(bool textured) {
    for (const MeshObject& object : data.objects) {
        const bool rotor = isRotor(object.name);
        if (!rotor && std::strcmp(object.name, "s76hull") != 0) continue;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, brightDiffuse);
        glMaterialfv(GL_FRONT, GL_SPECULAR, whiteSpecular);
        glColor4fv(brightDiffuse);
        applyTextureState(*this, object, textured);
        if (rotor) {
            // Static rotor discs, blended over what lies behind them.
            glEnable(GL_BLEND);
            glDepthMask(GL_FALSE);
            glBlendFunc(GL_SRC_ALPHA, GL_DST_COLOR);
            glColor3ub(128, 128, 128);
        }
        sendTriangles(data, object, [](std::int32_t) {});
        if (rotor) {
            glDepthMask(GL_TRUE);
            glDisable(GL_BLEND);
        }
    }
}

void BadgeModel::draw(bool textured) {
    glDisable(GL_TEXTURE_2D);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, greyDiffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT, GL_AMBIENT, black);
    glMaterialf(GL_FRONT, GL_SHININESS, badgeShininess);
    const float glowBelow = fillLevel - 0.5f;
    for (const MeshObject& object : data.objects) {
        glMaterialfv(GL_FRONT, GL_DIFFUSE, brightDiffuse);
        glMaterialfv(GL_FRONT, GL_SPECULAR, whiteSpecular);
        glColor4fv(brightDiffuse);
        applyTextureState(*this, object, textured);
        // The badge fills from the bottom: corners below the level glow.
        sendTriangles(data, object, [&object, glowBelow](std::int32_t v) {
            glColor3ub(255, 255, 255);
            const GLfloat* light = glowBelow > object.vertices[v].y ? badgeGlow : black;
            glMaterialfv(GL_FRONT, GL_AMBIENT, light);
            glMaterialfv(GL_FRONT, GL_EMISSION, light);
        });
    }
    glEnable(GL_TEXTURE_2D);
}
