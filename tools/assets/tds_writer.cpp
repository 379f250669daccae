// tds_writer.cpp -- writes the 3DS chunk tree of a model.
#include "tds_writer.h"

#include <cstring>

namespace {

constexpr std::uint16_t mainChunk = 0x4D4D;
constexpr std::uint16_t versionChunk = 0x0002;
constexpr std::uint16_t meshDataChunk = 0x3D3D;
constexpr std::uint16_t meshVersionChunk = 0x3D3E;
constexpr std::uint16_t materialChunk = 0xAFFF;
constexpr std::uint16_t materialNameChunk = 0xA000;
constexpr std::uint16_t diffuseChunk = 0xA020;
constexpr std::uint16_t colour24Chunk = 0x0011;
constexpr std::uint16_t textureMapChunk = 0xA200;
constexpr std::uint16_t textureFileChunk = 0xA300;
constexpr std::uint16_t objectChunk = 0x4000;
constexpr std::uint16_t triangleMeshChunk = 0x4100;
constexpr std::uint16_t vertexListChunk = 0x4110;
constexpr std::uint16_t faceListChunk = 0x4120;
constexpr std::uint16_t faceMaterialChunk = 0x4130;
constexpr std::uint16_t texCoordChunk = 0x4140;
constexpr std::uint16_t keyframerChunk = 0xB000;
constexpr std::uint16_t keyframerHeaderChunk = 0xB00A;
constexpr std::uint16_t objectNodeChunk = 0xB002;
constexpr std::uint16_t nodeIdChunk = 0xB030;
constexpr std::uint16_t nodeHeaderChunk = 0xB010;
constexpr std::uint32_t fileVersion = 3;
constexpr std::uint16_t allEdgesVisible = 7;

// Chunks nest; each one's length is patched in when it is closed.
class ChunkWriter {
public:
    void begin(std::uint16_t id) {
        open.push_back(bytes.size());
        u16(id);
        u32(0);
    }
    void end() {
        const size_t start = open.back();
        open.pop_back();
        const auto length = static_cast<std::uint32_t>(bytes.size() - start);
        for (int i = 0; i < 4; ++i) bytes[start + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint32_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void text(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        u8(0);
    }
    std::vector<std::uint8_t> bytes;

private:
    std::vector<size_t> open;
};

void writeMaterial(ChunkWriter& w, const ModelMaterial& m) {
    w.begin(materialChunk);
    w.begin(materialNameChunk);
    w.text(m.name);
    w.end();
    w.begin(diffuseChunk);
    w.begin(colour24Chunk);
    for (unsigned char c : m.colour) w.u8(c);
    w.end();
    w.end();
    if (!m.textureFile.empty()) {
        w.begin(textureMapChunk);
        w.begin(textureFileChunk);
        w.text(m.textureFile);
        w.end();
        w.end();
    }
    w.end();
}

void writeObject(ChunkWriter& w, const Mesh& mesh, bool textured) {
    w.begin(objectChunk);
    w.text(mesh.name);
    w.begin(triangleMeshChunk);

    w.begin(vertexListChunk);
    w.u16(static_cast<std::uint32_t>(mesh.vertices.size()));
    for (const Vector3& p : mesh.vertices) {
        w.f32(p.x);
        w.f32(p.y);
        w.f32(p.z);
    }
    w.end();

    w.begin(faceListChunk);
    w.u16(static_cast<std::uint32_t>(mesh.faces.size()));
    for (const Face& f : mesh.faces) {
        w.u16(static_cast<std::uint32_t>(f.a));
        w.u16(static_cast<std::uint32_t>(f.b));
        w.u16(static_cast<std::uint32_t>(f.c));
        w.u16(allEdgesVisible);
    }
    w.begin(faceMaterialChunk);
    w.text(mesh.material);
    w.u16(static_cast<std::uint32_t>(mesh.faces.size()));
    for (size_t i = 0; i < mesh.faces.size(); ++i) w.u16(static_cast<std::uint32_t>(i));
    w.end();
    w.end();

    if (textured) {
        w.begin(texCoordChunk);
        w.u16(static_cast<std::uint32_t>(mesh.texCoords.size()));
        for (const TexCoord& t : mesh.texCoords) {
            w.f32(t.u);
            w.f32(t.v);
        }
        w.end();
    }

    w.end();
    w.end();
}

// One node per object, by name and without any motion: the game skips this
// block, but other 3DS readers take the objects' names from here.
void writeKeyframer(ChunkWriter& w, const std::vector<Mesh>& meshes) {
    w.begin(keyframerChunk);
    w.begin(keyframerHeaderChunk);
    w.u16(5);  // keyframer revision
    w.text("searchlight");
    w.u32(0);  // animation length
    w.end();
    for (size_t i = 0; i < meshes.size(); ++i) {
        w.begin(objectNodeChunk);
        w.begin(nodeIdChunk);
        w.u16(static_cast<std::uint32_t>(i));
        w.end();
        w.begin(nodeHeaderChunk);
        w.text(meshes[i].name);
        w.u16(0);
        w.u16(0);
        w.u16(0xFFFF);  // no parent
        w.end();
        w.end();
    }
    w.end();
}

}  // namespace

std::vector<std::uint8_t> encode3ds(const std::vector<ModelMaterial>& materials,
                                    const std::vector<Mesh>& meshes) {
    ChunkWriter w;
    w.begin(mainChunk);
    w.begin(versionChunk);
    w.u32(fileVersion);
    w.end();
    w.begin(meshDataChunk);
    w.begin(meshVersionChunk);
    w.u32(fileVersion);
    w.end();
    for (const ModelMaterial& m : materials) writeMaterial(w, m);
    for (const Mesh& mesh : meshes) {
        bool textured = false;
        for (const ModelMaterial& m : materials) {
            if (m.name == mesh.material) textured = !m.textureFile.empty();
        }
        writeObject(w, mesh, textured);
    }
    w.end();
    writeKeyframer(w, meshes);
    w.end();
    return w.bytes;
}
