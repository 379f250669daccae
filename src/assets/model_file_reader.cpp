// model_file_reader.cpp -- the 3DS chunk reader.
#include "assets/model_file_reader.h"

#include <cstring>

#include "assets/file_bytes.h"

namespace {

enum ChunkId : std::uint16_t {
    mainChunk = 0x4D4D,
    versionChunk = 0x0002,
    meshDataChunk = 0x3D3D,
    meshVersionChunk = 0x3D3E,
    materialBlockChunk = 0xAFFF,
    namedObjectChunk = 0x4000,
    triangleMeshChunk = 0x4100,
    vertexListChunk = 0x4110,
    faceListChunk = 0x4120,
    faceMaterialChunk = 0x4130,
    texCoordChunk = 0x4140,
    materialNameChunk = 0xA000,
    diffuseColourChunk = 0xA020,
    textureMapChunk = 0xA200,
    textureFileChunk = 0xA300,
    // Colour sub-chunks: three floats of 0..1 or three bytes, each in a
    // plain and a linear form; many modellers' tools write floats.
    floatColourChunk = 0x0010,
    byteColourChunk = 0x0011,
    linearByteColourChunk = 0x0012,
    linearFloatColourChunk = 0x0013,
};

constexpr std::uint32_t chunkHeaderBytes = 6;
constexpr int highestKnownVersion = 3;

std::uint16_t little16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t little32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

float littleFloat(const unsigned char* p) {
    const std::uint32_t bits = little32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A colour component of 0..1 as a byte: scaled by 255, clamped, rounded.
// NaN counts as 0.
unsigned char colourByte(float component) {
    const float scaled = component * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<unsigned char>(scaled + 0.5f);
}

}  // namespace

// ---- Bookkeeping and messages

void ModelFileReader::begin(ModelData& model, const unsigned char* bytes, std::size_t size) {
    model_ = &model;
    bytes_ = bytes;
    size_ = size;
    position_ = 0;
    stopped_ = false;
    pastFileEndReported_ = false;
    messages_ = 0;
    error_.clear();
    materialIndex_.clear();
    materialsIndexed_ = 0;
}

void ModelFileReader::say(const char* format, ...) {
    if (!log) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
}

void ModelFileReader::report(bool stop, const char* format, va_list args) {
    if (stop) stopped_ = true;
    ++messages_;
    if (!error_.empty() && (!log || messages_ > maxModelMessages + 1)) return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (error_.empty()) error_ = text;
    if (!log) return;
    if (messages_ <= maxModelMessages) {
        std::fprintf(log, "%s: %s\n", name_, text);
    } else {
        std::fprintf(log, "%s: more than %d problems; the rest are not shown\n", name_, maxModelMessages);
    }
}

void ModelFileReader::problem(const char* format, ...) {
    va_list args;
    va_start(args, format);
    report(false, format, args);
    va_end(args);
}

void ModelFileReader::fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    report(true, format, args);
    va_end(args);
}

bool ModelFileReader::readChunkHeader(Chunk& chunk) {
    if (size_ - position_ < chunkHeaderBytes) {
        fileEnds(chunkHeaderBytes);
        return false;
    }
    chunk.id = little16(bytes_ + position_);
    chunk.length = little32(bytes_ + position_ + 2);
    chunk.bytesRead = chunkHeaderBytes;
    position_ += chunkHeaderBytes;
    return true;
}

void ModelFileReader::checkAgainstFile(const Chunk& chunk, std::size_t at) {
    if (pastFileEndReported_ || chunk.length <= size_ - at) return;
    // Reported at the outermost chunk the file cuts short; reading goes on
    // as far as the file goes and stops quietly there.
    const std::size_t missing = chunk.length - (size_ - at);
    problem("chunk 0x%04X at offset %zu (%u bytes) runs past the end of the file (%zu byte%s missing)",
            chunk.id, at, chunk.length, missing, missing == 1 ? "" : "s");
    pastFileEndReported_ = true;
}

void ModelFileReader::fileEnds(std::size_t wanted) {
    stopped_ = true;
    if (!pastFileEndReported_) {
        fail("file ends at offset %zu, %zu bytes short", position_, wanted - (size_ - position_));
    }
}

bool ModelFileReader::readSubChunkHeader(Chunk& parent, int level, Chunk& chunk) {
    const std::uint32_t room = rest(parent);
    const std::size_t at = position_;
    if (level >= maxChunkNesting) {
        fail("chunk at offset %zu is nested deeper than %d levels", at, maxChunkNesting);
        return false;
    }
    if (room < chunkHeaderBytes) {
        fail("%u stray bytes at the end of chunk 0x%04X (offset %zu)", room, parent.id, at);
        return false;
    }
    if (!readChunkHeader(chunk)) return false;
    if (chunk.length < chunkHeaderBytes) {
        fail("chunk 0x%04X at offset %zu has length %u, shorter than its header", chunk.id, at, chunk.length);
        return false;
    }
    if (chunk.length > room) {
        fail("chunk 0x%04X at offset %zu (%u bytes) runs past the end of chunk 0x%04X", chunk.id, at,
             chunk.length, parent.id);
        return false;
    }
    checkAgainstFile(chunk, at);
    return true;
}

const unsigned char* ModelFileReader::take(Chunk& chunk, std::uint32_t count) {
    if (count > rest(chunk)) {
        fail("chunk 0x%04X needs %u more bytes than its length gives", chunk.id, count - rest(chunk));
        return nullptr;
    }
    if (count > size_ - position_) {
        fileEnds(count);
        return nullptr;
    }
    const unsigned char* data = bytes_ + position_;
    position_ += count;
    chunk.bytesRead += count;
    return data;
}

bool ModelFileReader::skipRest(Chunk& chunk) { return take(chunk, rest(chunk)) != nullptr; }

std::uint32_t ModelFileReader::readString(Chunk& chunk, char* field, const char* what) {
    const std::uint32_t before = chunk.bytesRead;
    std::size_t length = 0;
    bool cut = false;
    for (;;) {
        if (rest(chunk) == 0) {
            field[length] = 0;
            problem("%s \"%.40s\" has no end inside its chunk", what, field);
            break;
        }
        const unsigned char* byte = take(chunk, 1);
        if (!byte) break;
        if (*byte == 0) break;
        if (length < modelNameSize - 1) {
            field[length++] = static_cast<char>(*byte);
        } else {
            cut = true;
        }
    }
    field[length] = 0;
    if (cut) problem("%s \"%.40s...\" is longer than %d characters; cut", what, field, modelNameSize - 1);
    return chunk.bytesRead - before;
}

void ModelFileReader::readRestAsName(Chunk& chunk, char* field, const char* what) {
    const std::uint32_t count = rest(chunk);
    const unsigned char* data = take(chunk, count);
    if (!data) return;
    const std::size_t kept = count < std::uint32_t(modelNameSize - 1) ? count : modelNameSize - 1;
    std::memcpy(field, data, kept);
    field[kept] = 0;
    if (std::strlen(field) == modelNameSize - 1 && count > kept && data[kept] != 0) {
        problem("%s \"%.40s...\" is longer than %d characters; cut", what, field, modelNameSize - 1);
    }
}

bool ModelFileReader::readCount(Chunk& chunk, std::uint32_t& count, const char* what) {
    if (rest(chunk) < 2) {
        fail("%s at offset %zu is too short for its count", what, position_);
        return false;
    }
    const unsigned char* data = take(chunk, 2);
    if (!data) return false;
    count = little16(data);
    return true;
}

// ---- Dispatchers

void ModelFileReader::readMainChunks(Chunk& parent, int level) {
    while (!stopped_ && parent.bytesRead < parent.length) {
        Chunk chunk;
        if (!readSubChunkHeader(parent, level, chunk)) return;
        switch (chunk.id) {
            case versionChunk: {
                const std::uint32_t count = rest(chunk);
                const unsigned char* data = take(chunk, count);
                if (!data) break;
                unsigned char word[4] = {0, 0, 0, 0};
                std::memcpy(word, data, count < 4 ? count : 4);
                if (count != 4) problem("version chunk holds %u bytes, not 4", count);
                if ((little32(word) & 0xFFFF) > highestKnownVersion) say("wrong version\n");
                break;
            }
            // Other tools write no mesh version, or not first: a material or
            // object may open the mesh data, and is read like the others.
            case meshDataChunk:
                readMainChunks(chunk, level + 1);
                break;
            case meshVersionChunk:  // nothing in it changes how the rest reads
                skipRest(chunk);
                break;
            case materialBlockChunk:
                if (model_->materialCount >= maxModelMaterials) {
                    fail("more than %d materials", maxModelMaterials);
                    break;
                }
                model_->materials.emplace_back();
                ++model_->materialCount;
                readMaterialChunks(chunk, level + 1);
                break;
            case namedObjectChunk: {
                if (model_->objectCount >= maxModelObjects) {
                    fail("more than %d objects", maxModelObjects);
                    break;
                }
                model_->objects.emplace_back();
                ++model_->objectCount;
                MeshObject& object = model_->objects.back();
                readString(chunk, object.name, "object name");
                readObjectChunks(object, chunk, level + 1);
                break;
            }
            default:  // the keyframer and everything else
                skipRest(chunk);
                break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
}

void ModelFileReader::readObjectChunks(MeshObject& object, Chunk& parent, int level) {
    while (!stopped_ && parent.bytesRead < parent.length) {
        Chunk chunk;
        if (!readSubChunkHeader(parent, level, chunk)) return;
        switch (chunk.id) {
            case triangleMeshChunk:
                readObjectChunks(object, chunk, level + 1);
                break;
            case vertexListChunk:
                readVertices(object, chunk);
                break;
            // Only the faces themselves are consumed: the face list's own
            // sub-chunks (material groups, smoothing) follow at this level.
            case faceListChunk:
                readFaces(object, chunk);
                break;
            case faceMaterialChunk:
                readMaterialGroup(object, chunk);
                break;
            case texCoordChunk:
                readTexCoords(object, chunk);
                break;
            default:
                skipRest(chunk);
                break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
}

void ModelFileReader::readMaterialChunks(Chunk& parent, int level) {
    while (!stopped_ && parent.bytesRead < parent.length) {
        Chunk chunk;
        if (!readSubChunkHeader(parent, level, chunk)) return;
        MaterialInfo& material = model_->materials.back();
        switch (chunk.id) {
            case materialNameChunk:
                readRestAsName(chunk, material.name, "material name");
                break;
            case diffuseColourChunk:
                readColourChunk(material.colour, chunk, level + 1);
                break;
            case textureMapChunk:
                readMaterialChunks(chunk, level + 1);
                break;
            case textureFileChunk:
                readRestAsName(chunk, material.textureFile, "texture file name");
                break;
            default:
                skipRest(chunk);
                break;
        }
        parent.bytesRead += chunk.bytesRead;
    }
}

void ModelFileReader::readColourChunk(unsigned char* colour, Chunk& parent, int level) {
    if (rest(parent) == 0) return;
    // The first sub-chunk holds the colour; a second one is met later by
    // the material dispatcher and skipped.
    Chunk scratch;
    if (!readSubChunkHeader(parent, level, scratch)) return;
    const std::uint32_t count = rest(scratch);
    const unsigned char* data = take(scratch, count);
    if (!data) return;
    parent.bytesRead += scratch.bytesRead;
    const bool floats = scratch.id == floatColourChunk || scratch.id == linearFloatColourChunk;
    const std::uint32_t expected = floats ? 12 : 3;
    if (floats) {
        for (std::uint32_t i = 0; i < 3 && 4 * i + 4 <= count; ++i) {
            colour[i] = colourByte(littleFloat(data + 4 * i));
        }
    } else {
        // Bytes R, G, B: the 24-bit forms, and what any other id is read as.
        std::memcpy(colour, data, count < 3 ? count : 3);
    }
    if (count != expected) {
        problem("colour chunk 0x%04X of material \"%.40s\" holds %u bytes, not %u", scratch.id,
                model_->materials.back().name, count, expected);
    }
}

void ModelFileReader::readVertices(MeshObject& object, Chunk& chunk) {
    std::uint32_t count = 0;
    if (!readCount(chunk, count, "vertex list")) return;
    const std::uint32_t bytes = rest(chunk);
    // Allocate no more than the payload backs.
    const std::uint32_t held = bytes / 12 < count ? bytes / 12 : count;
    if (held != count || bytes != 12 * count) {
        problem("vertex list of object \"%.40s\" holds %u bytes for %u vertices", object.name, bytes, count);
    }
    if (object.vertices) problem("object \"%.40s\" has a second vertex list", object.name);
    const unsigned char* data = take(chunk, bytes);
    if (!data) return;
    delete[] object.vertices;
    object.vertices = new Vector3[held];
    object.vertexCount = static_cast<std::int32_t>(held);
    for (std::uint32_t i = 0; i < held; ++i) {
        const unsigned char* p = data + 12 * i;
        object.vertices[i] = Vector3(littleFloat(p), littleFloat(p + 4), littleFloat(p + 8));
    }
}

void ModelFileReader::readFaces(MeshObject& object, Chunk& chunk) {
    std::uint32_t count = 0;
    if (!readCount(chunk, count, "face list")) return;
    if (object.faces) problem("object \"%.40s\" has a second face list", object.name);
    const std::uint32_t room = rest(chunk) / 8;
    const std::uint32_t held = room < count ? room : count;
    const unsigned char* data = take(chunk, 8 * held);
    if (!data) return;
    delete[] object.faces;
    object.faces = new Face[held];
    object.faceCount = static_cast<std::int32_t>(held);
    for (std::uint32_t i = 0; i < held; ++i) {
        const unsigned char* p = data + 8 * i;  // a, b, c, then flags (dropped)
        object.faces[i].a = little16(p);
        object.faces[i].b = little16(p + 2);
        object.faces[i].c = little16(p + 4);
    }
    if (held < count) {
        fail("face list of object \"%.40s\" has room for %u of its %u faces", object.name, held, count);
    }
}

void ModelFileReader::readTexCoords(MeshObject& object, Chunk& chunk) {
    std::uint32_t count = 0;
    if (!readCount(chunk, count, "texture coordinate list")) return;
    const std::uint32_t bytes = rest(chunk);
    const std::uint32_t held = bytes / 8 < count ? bytes / 8 : count;
    if (held != count || bytes != 8 * count) {
        problem("texture coordinate list of object \"%.40s\" holds %u bytes for %u pairs", object.name, bytes,
                count);
    }
    if (object.texCoords) problem("object \"%.40s\" has a second texture coordinate list", object.name);
    const unsigned char* data = take(chunk, bytes);
    if (!data) return;
    delete[] object.texCoords;
    object.texCoords = new TexCoord[held];
    object.texCoordCount = static_cast<std::int32_t>(held);
    for (std::uint32_t i = 0; i < held; ++i) {
        object.texCoords[i].u = littleFloat(data + 8 * i);
        object.texCoords[i].v = littleFloat(data + 8 * i + 4);
    }
}

void ModelFileReader::readMaterialGroup(MeshObject& object, Chunk& chunk) {
    char name[modelNameSize] = {};
    readString(chunk, name, "material group name");
    if (stopped_) return;
    const int index = findMaterial(name);
    if (index >= 0) {
        object.materialIndex = index;
        if (model_->materials[index].textureFile[0] != 0) object.hasTexture = true;
    }
    skipRest(chunk);  // the face numbers of the group
}

int ModelFileReader::findMaterial(const char* name) {
    // Materials before the newest are complete: index them once, keeping the
    // first of each name, so each lookup costs the same however many there are.
    const int complete = model_->materialCount - 1;
    for (; materialsIndexed_ < complete; ++materialsIndexed_) {
        materialIndex_.emplace(model_->materials[materialsIndexed_].name, materialsIndexed_);
    }
    const auto found = materialIndex_.find(name);
    if (found != materialIndex_.end()) return found->second;
    if (complete >= 0 && std::strcmp(model_->materials[complete].name, name) == 0) return complete;
    return -1;
}

void ModelFileReader::dropBadFaces() {
    for (MeshObject& object : model_->objects) {
        const std::int32_t limit = object.vertexCount;
        std::int32_t kept = 0;
        for (std::int32_t i = 0; i < object.faceCount; ++i) {
            const Face& face = object.faces[i];
            if (face.a < limit && face.b < limit && face.c < limit) object.faces[kept++] = face;
        }
        if (kept < object.faceCount) {
            problem("object \"%.40s\": %d faces name vertices beyond its %d; dropped", object.name,
                    object.faceCount - kept, limit);
            object.faceCount = kept;
        }
    }
}

// ---- Entry points

ModelReadStatus ModelFileReader::readBytes(ModelData& model, const unsigned char* bytes, std::size_t size,
                                           const char* name) {
    const OutOfMemoryExit outOfMemoryExit;
    begin(model, bytes, size);
    name_ = name;
    Chunk main;
    if (size < chunkHeaderBytes || little16(bytes) != mainChunk) {
        say("Unable to load PRIMARY chuck from file: %s!", name);
        error_ = "no main chunk at the start of the file";
        return ModelReadStatus::notModelFile;
    }
    readChunkHeader(main);
    if (main.length < chunkHeaderBytes) {
        fail("main chunk has length %u, shorter than its header", main.length);
    } else {
        checkAgainstFile(main, 0);
        readMainChunks(main, 1);
    }
    dropBadFaces();
    computeNormals(model);
    model_ = nullptr;
    return error_.empty() ? ModelReadStatus::ok : ModelReadStatus::malformed;
}

ModelReadStatus ModelFileReader::readFile(ModelData& model, const char* path) {
    const OutOfMemoryExit outOfMemoryExit;
    std::vector<unsigned char> bytes;
    std::string error;
    const FileReadStatus status = readFileBytes(path, bytes, error);
    if (status == FileReadStatus::cannotOpen) {
        say("Unable to find the file: %s!", path);
        error_ = error;
        return ModelReadStatus::cannotOpen;
    }
    if (status != FileReadStatus::ok) {
        say("%s: %s\n", path, error.c_str());
        error_ = error;
        return ModelReadStatus::malformed;
    }
    return readBytes(model, bytes.data(), bytes.size(), path);
}

void readModelFile(ModelData& model, const char* path) {
    ModelFileReader reader;
    reader.readFile(model, path);
}

void computeNormals(ModelData& model) {
    for (MeshObject& object : model.objects) {
        delete[] object.normals;
        object.normals = nullptr;
        if (object.vertexCount <= 0) continue;
        object.normals = new Vector3[object.vertexCount];
        std::vector<int> uses(object.vertexCount, 0);
        for (std::int32_t i = 0; i < object.faceCount; ++i) {
            const Face& face = object.faces[i];
            const Vector3& p0 = object.vertices[face.a];
            const Vector3 n = (object.vertices[face.b] - p0).cross(object.vertices[face.c] - p0);
            // A face that names a vertex twice still counts once for it.
            object.normals[face.a] += n;
            ++uses[face.a];
            if (face.b != face.a) {
                object.normals[face.b] += n;
                ++uses[face.b];
            }
            if (face.c != face.a && face.c != face.b) {
                object.normals[face.c] += n;
                ++uses[face.c];
            }
        }
        for (std::int32_t v = 0; v < object.vertexCount; ++v) {
            if (uses[v] == 0) continue;  // never drawn; stays (0, 0, 0)
            const Vector3& sum = object.normals[v];
            object.normals[v] = divide(sum.x, sum.y, sum.z, static_cast<float>(uses[v]));
            object.normals[v].normalize();
        }
    }
}

void releaseMeshArrays(MeshObject& object) {
    delete[] object.faces;
    delete[] object.normals;
    delete[] object.vertices;
    delete[] object.texCoords;
    object.faces = nullptr;
    object.normals = nullptr;
    object.vertices = nullptr;
    object.texCoords = nullptr;
    object.vertexCount = object.faceCount = object.texCoordCount = 0;
}

void releaseModelData(ModelData& model) {
    for (MeshObject& object : model.objects) releaseMeshArrays(object);
    model.objects.clear();
    model.materials.clear();
    model.objectCount = 0;
    model.materialCount = 0;
}
