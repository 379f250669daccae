// inspect.cpp -- prints what the game's readers make of data files.
//
// One line per file on stdout, FILE being the path as given:
//   FILE: sgi WIDTH HEIGHT CHANNELS rgba=HASH
//   FILE: ppm WIDTH HEIGHT rgb=HASH        or   FILE: ppm refused
//   FILE: 3ds OBJECTS MATERIALS            then a line per material and object
//   FILE: error MESSAGE
// HASH is FNV-1a 64 in 16 lower-case hex digits. The readers' own messages
// go to stderr, as in the game.
#include "inspect.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/file_bytes.h"
#include "assets/model_file_reader.h"
#include "assets/ppm_image.h"
#include "assets/sgi_image.h"

namespace {

class Fnv1a64 {
public:
    void add(const unsigned char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            hash_ ^= bytes[i];
            hash_ *= 0x100000001b3ULL;
        }
    }
    void addLittle32(std::uint32_t v) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                        static_cast<unsigned char>(v >> 16),
                                        static_cast<unsigned char>(v >> 24)};
        add(bytes, 4);
    }
    void addFloat(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        addLittle32(bits);
    }
    std::string hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

enum class FileKind { sgi, ppm, model, unknown };

FileKind kindOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return FileKind::unknown;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "rgb" || extension == "rgba" || extension == "bw" || extension == "sgi") {
        return FileKind::sgi;
    }
    if (extension == "ppm") return FileKind::ppm;
    if (extension == "3ds") return FileKind::model;
    return FileKind::unknown;
}

// Names come from hostile files too: keep each summary on one line.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

bool printError(const char* path, const std::string& message) {
    std::printf("%s: error %s\n", path, message.c_str());
    return false;
}

bool inspectSgi(const char* path) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (readFileBytes(path, bytes, error) != FileReadStatus::ok) return printError(path, error);
    SgiImage image;
    if (!parseSgiImage(image, bytes.data(), bytes.size(), error)) return printError(path, error);
    std::vector<unsigned char> rgba(std::size_t(4) * image.xsize * image.ysize);
    if (!decodeSgiPixels(image, rgba.data(), error)) return printError(path, error);
    Fnv1a64 hash;
    hash.add(rgba.data(), rgba.size());
    std::printf("%s: sgi %d %d %d rgba=%s\n", path, image.xsize, image.ysize, image.zsize,
                hash.hex().c_str());
    return true;
}

bool inspectPpm(const char* path) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (readFileBytes(path, bytes, error) != FileReadStatus::ok) return printError(path, error);
    PpmImage image;
    switch (decodePpm(bytes.data(), bytes.size(), image, error)) {
        case PpmStatus::refused:
            std::printf("%s: ppm refused\n", path);
            return true;
        case PpmStatus::malformed:
            return printError(path, error);
        case PpmStatus::ok:
            break;
    }
    Fnv1a64 hash;
    hash.add(image.samples.data(), image.samples.size());
    std::printf("%s: ppm %d %d rgb=%s\n", path, image.width, image.height, hash.hex().c_str());
    return true;
}

void printObject(int index, const MeshObject& object, bool normals) {
    Fnv1a64 vertices, faces, texCoords;
    for (std::int32_t i = 0; i < object.vertexCount; ++i) {
        vertices.addFloat(object.vertices[i].x);
        vertices.addFloat(object.vertices[i].y);
        vertices.addFloat(object.vertices[i].z);
    }
    for (std::int32_t i = 0; i < object.faceCount; ++i) {
        faces.addLittle32(static_cast<std::uint32_t>(object.faces[i].a));
        faces.addLittle32(static_cast<std::uint32_t>(object.faces[i].b));
        faces.addLittle32(static_cast<std::uint32_t>(object.faces[i].c));
    }
    for (std::int32_t i = 0; object.texCoords && i < object.texCoordCount; ++i) {
        texCoords.addFloat(object.texCoords[i].u);
        texCoords.addFloat(object.texCoords[i].v);
    }
    std::printf("  object %d %s %d %d %d %d %d vertices=%s faces=%s texcoords=%s\n", index,
                quoted(object.name).c_str(), object.vertexCount, object.faceCount, object.texCoordCount,
                object.materialIndex, object.hasTexture ? 1 : 0, vertices.hex().c_str(), faces.hex().c_str(),
                texCoords.hex().c_str());
    if (!normals) return;
    for (std::int32_t j = 0; object.normals && j < object.vertexCount; ++j) {
        const Vector3& n = object.normals[j];
        std::printf("    normal %d %.4f %.4f %.4f\n", j, n.x, n.y, n.z);
    }
}

bool inspectModel(const char* path, bool normals) {
    ModelData model;
    ModelFileReader reader;
    const ModelReadStatus status = reader.readFile(model, path);
    bool ok = true;
    if (status == ModelReadStatus::malformed) {
        ok = printError(path, reader.error());
    } else {
        // A file the game cannot open or that has no main chunk gives it an
        // empty model, which is what this line shows.
        std::printf("%s: 3ds %d %d\n", path, model.objectCount, model.materialCount);
        for (int i = 0; i < model.materialCount; ++i) {
            const MaterialInfo& m = model.materials[i];
            std::printf("  material %d %s %d %d %d %s\n", i, quoted(m.name).c_str(), m.colour[0], m.colour[1],
                        m.colour[2], quoted(m.textureFile).c_str());
        }
        for (int i = 0; i < model.objectCount; ++i) printObject(i, model.objects[i], normals);
    }
    releaseModelData(model);
    return ok;
}

}  // namespace

int runInspect(int argc, char** argv) {
    bool normals = false;
    std::vector<const char*> files;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--normals") == 0) {
            normals = true;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: searchlight-assets inspect [--normals] FILE...\n");
        return 2;
    }
    bool allGood = true;
    for (const char* path : files) {
        bool good = true;
        switch (kindOf(path)) {
            case FileKind::sgi:
                good = inspectSgi(path);
                break;
            case FileKind::ppm:
                good = inspectPpm(path);
                break;
            case FileKind::model:
                good = inspectModel(path, normals);
                break;
            case FileKind::unknown:
                good = printError(path, "not an .rgb, .rgba, .bw, .sgi, .ppm or .3ds file");
                break;
        }
        std::fflush(stdout);
        allGood = allGood && good;
    }
    return allGood ? 0 : 1;
}
