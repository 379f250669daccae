// model.cpp -- loading and releasing models; drawing is in model_drawing.cpp.
#include "assets/model.h"

#include <cstdio>

#include "assets/data_directory_hint.h"

Model::~Model() { releaseModelData(data); }

void Model::load(const char* fileName) {
    releaseModelData(data);  // a model holds one file
    if (reader.readFile(data, fileName) == ModelReadStatus::cannotOpen) hintAtDataDirectory(true);
    for (int i = 0; i < data.materialCount; ++i) {
        const MaterialInfo& material = data.materials[i];
        if (material.textureFile[0] == 0) continue;
        if (i >= modelTextureSlots) {
            std::fprintf(stderr, "%s: material %d \"%s\" is past the %d texture slots; \"%s\" not loaded\n",
                         fileName, i, material.name, modelTextureSlots, material.textureFile);
            continue;
        }
        loadTexture(textures, material.textureFile, i);
    }
}

void Model::releaseMeshes() {
    for (MeshObject& object : data.objects) releaseMeshArrays(object);
}
