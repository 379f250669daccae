// model.h -- meshes loaded from 3DS files with their material textures.
#pragma once

#include <GL/gl.h>

#include "assets/model_data.h"

constexpr int modelTextureSlots = 100;

// A drawable mesh read from a 3DS file, drawn in immediate mode, one
// glBegin/glEnd per object. The base class doubles as the SGI texture loader.
class Model {
public:
    Model() = default;
    virtual ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Reads the file, then loads the texture of every textured material.
    virtual void load(const char* fileName);
    virtual void draw(bool textured);
    // Creates a mipmapped texture from an SGI image into table[index].
    virtual void loadTexture(GLuint* table, const char* fileName, int index);
    virtual void releaseMeshes();

    GLuint textures[modelTextureSlots] = {};  // indexed by material index
    ModelData data;
};

// The player's helicopter: only "s76hull", "propmain" and "propback" are
// drawn, the two rotors blended without depth writes.
class HelicopterModel : public Model {
public:
    void draw(bool textured) override;
};

// The police badge: its lower part glows up to fillLevel - 0.5 (model y).
class BadgeModel : public Model {
public:
    void draw(bool textured) override;
    float fillLevel = 0;
};
