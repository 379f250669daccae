// model.h -- meshes loaded from 3DS files with their material textures.
#pragma once

#include <GL/gl.h>

#include "assets/model_data.h"
#include "assets/model_file_reader.h"

constexpr int modelTextureSlots = 100;

// A drawable mesh read from a 3DS file, drawn in immediate mode, one
// glBegin/glEnd per object. The base class doubles as the SGI texture loader.
class Model {
public:
    Model() = default;
    virtual ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Reads the file, then loads the texture of every textured material
    // (materials 0 to 99; the table has no room for others). A missing or
    // invalid file leaves the model empty: it draws nothing.
    virtual void load(const char* fileName);
    // Sends every object's triangles in the current transform. With
    // textured false no texture is bound (texture coordinates still go out).
    virtual void draw(bool textured);
    // Creates a mipmapped texture from an SGI image into table[index].
    // Names over 25 characters print "canceling load" and load nothing; an
    // image that cannot be decoded ends the program with status 1.
    virtual void loadTexture(GLuint* table, const char* fileName, int index);
    // Frees every object's arrays; the objects then draw nothing.
    virtual void releaseMeshes();

    ModelFileReader reader;
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
