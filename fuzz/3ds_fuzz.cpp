// 3ds_fuzz.cpp -- libFuzzer target for the 3DS chunk reader.
#include <cstddef>
#include <cstdint>

#include "assets/model_file_reader.h"

namespace {

// Touches what drawing touches, with drawing's own guards, so a reader that
// lets a bad index through is caught by the address sanitizer.
float walkLikeTheDraw(const ModelData& model) {
    float sum = 0;
    for (const MeshObject& object : model.objects) {
        const bool coloured = !object.hasTexture && object.materialIndex < model.materialCount;
        if (coloured) sum += model.materials[object.materialIndex].colour[0];
        for (std::int32_t i = 0; i < object.faceCount; ++i) {
            const Face& face = object.faces[i];
            for (const std::int32_t v : {face.a, face.b, face.c}) {
                if (v < 0 || v >= object.vertexCount) __builtin_trap();
                sum += object.normals[v].x + object.vertices[v].y;
                if (object.hasTexture && object.texCoords && v < object.texCoordCount) {
                    sum += object.texCoords[v].u;
                }
            }
        }
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ModelData model;
    ModelFileReader reader;
    reader.log = nullptr;
    reader.readBytes(model, data, size, "fuzz.3ds");
    if (model.objectCount != static_cast<std::int32_t>(model.objects.size())) __builtin_trap();
    if (model.materialCount != static_cast<std::int32_t>(model.materials.size())) __builtin_trap();
    for (const MeshObject& object : model.objects) {
        if (object.materialIndex < 0 ||
            (object.materialIndex > 0 && object.materialIndex >= model.materialCount)) {
            __builtin_trap();
        }
    }
    volatile float sink = walkLikeTheDraw(model);
    (void)sink;
    releaseModelData(model);
    return 0;
}
