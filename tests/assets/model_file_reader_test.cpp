// Tests of the 3DS reader: the chunk rules the game's models rely on, the
// normals, and hostile files that must neither crash nor write past a field.
#include "assets/model_file_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/asset_writers.h"

namespace {

const std::vector<TestVertex> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<TestFace> squareFaces = {{0, 1, 2}, {0, 2, 3}};

// Owns what a read produced and keeps the reader's messages.
struct ReadResult {
    ModelData model;
    ModelReadStatus status = ModelReadStatus::ok;
    std::string error;
    std::string messages;
    ~ReadResult() { releaseModelData(model); }
};

void read(const Bytes& file, ReadResult& result) {
    TempDir dir;
    writeFile(dir.path("model.3ds"), file);
    ModelFileReader reader;
    ::testing::internal::CaptureStderr();
    result.status = reader.readFile(result.model, dir.path("model.3ds").c_str());
    result.messages = ::testing::internal::GetCapturedStderr();
    result.error = reader.error();
}

Bytes squareObject(const std::string& name, const Bytes& faceSubChunks = {}) {
    return namedObject(name, vertexList(square) + faceList(squareFaces, faceSubChunks));
}

}  // namespace

// Objects and materials come out in file order with their names, colours,
// texture files, geometry and material assignment.
TEST(ModelFileReader, ReadsObjectsAndMaterials) {
    ReadResult r;
    read(modelFile(material("paint", 200, 10, 20) + material("skin", 1, 2, 3, "hull.rgb") +
                   namedObject("hull", vertexList(square) + texCoordList({{0, 0}, {1, 0}, {1, 1}, {0, 1}}) +
                                           faceList(squareFaces, materialGroup("skin", 2))) +
                   squareObject("plain")),
         r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    EXPECT_EQ(r.messages, "");
    ASSERT_EQ(r.model.materialCount, 2);
    ASSERT_EQ(r.model.materials.size(), 2u);
    EXPECT_STREQ(r.model.materials[0].name, "paint");
    EXPECT_EQ(r.model.materials[0].colour[0], 200);
    EXPECT_EQ(r.model.materials[0].colour[2], 20);
    EXPECT_STREQ(r.model.materials[0].textureFile, "");
    EXPECT_STREQ(r.model.materials[1].textureFile, "hull.rgb");
    ASSERT_EQ(r.model.objectCount, 2);
    const MeshObject& hull = r.model.objects[0];
    EXPECT_STREQ(hull.name, "hull");
    EXPECT_EQ(hull.vertexCount, 4);
    EXPECT_EQ(hull.faceCount, 2);
    EXPECT_EQ(hull.texCoordCount, 4);
    EXPECT_EQ(hull.materialIndex, 1);
    EXPECT_TRUE(hull.hasTexture);
    EXPECT_EQ(hull.vertices[2].x, 1.0f);
    EXPECT_EQ(hull.vertices[2].y, 1.0f);
    EXPECT_EQ(hull.faces[1].c, 3);
    EXPECT_EQ(hull.texCoords[1].u, 1.0f);
    // No material group: index 0, no texture.
    EXPECT_EQ(r.model.objects[1].materialIndex, 0);
    EXPECT_FALSE(r.model.objects[1].hasTexture);
    EXPECT_EQ(r.model.objects[1].texCoords, nullptr);
}

// Material groups: the last known one wins, an unknown name changes
// nothing, a material without a texture map gives no texture, and only
// materials read before the object are found.
TEST(ModelFileReader, MaterialGroups) {
    ReadResult r;
    read(modelFile(material("a", 1, 1, 1) + material("b", 2, 2, 2, "b.rgb") + material("c", 3, 3, 3) +
                   squareObject("twoGroups", materialGroup("a") + materialGroup("c")) +
                   squareObject("unknownAfter", materialGroup("b") + materialGroup("nowhere")) +
                   squareObject("plainMaterial", materialGroup("c")) +
                   squareObject("tooEarly", materialGroup("late")) + material("late", 9, 9, 9)),
         r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    EXPECT_EQ(r.model.objects[0].materialIndex, 2);
    EXPECT_FALSE(r.model.objects[0].hasTexture);
    EXPECT_EQ(r.model.objects[1].materialIndex, 1);
    EXPECT_TRUE(r.model.objects[1].hasTexture);
    EXPECT_EQ(r.model.objects[2].materialIndex, 2);
    EXPECT_FALSE(r.model.objects[2].hasTexture);
    EXPECT_EQ(r.model.objects[3].materialIndex, 0);
}

// Of two materials with one name the first is found.
TEST(ModelFileReader, FirstMaterialOfANameWins) {
    ReadResult r;
    read(modelFile(material("dup", 1, 1, 1) + material("dup", 2, 2, 2, "x.rgb") + material("other", 3, 3, 3) +
                   squareObject("o", materialGroup("dup"))),
         r);
    EXPECT_EQ(r.model.objects[0].materialIndex, 0);
    EXPECT_FALSE(r.model.objects[0].hasTexture);
}

// Version 3 is silent; 4 prints "wrong version" and the model still loads.
TEST(ModelFileReader, VersionCheck) {
    ReadResult three;
    read(modelFile(squareObject("o")), three);
    EXPECT_EQ(three.messages, "");
    const Bytes body = chunk3ds(0x3D3D, chunk3ds(0x3D3E, le32(3)) + squareObject("o") + squareObject("p"));
    ReadResult four;
    read(chunk3ds(0x4D4D, chunk3ds(0x0002, le32(4)) + body), four);
    EXPECT_EQ(four.messages, "wrong version\n");
    EXPECT_EQ(four.status, ModelReadStatus::ok);
    EXPECT_EQ(four.model.objectCount, 2);
}

// A face list's sub-chunks (material group, smoothing groups) are read at
// object level and counted exactly, so the next object is read correctly;
// keyframer data and unknown chunks are passed over.
TEST(ModelFileReader, FaceListSubChunksKeepTheCountExact) {
    const Bytes smoothing = chunk3ds(0x4150, le32(1) + le32(1));
    ReadResult r;
    read(modelFile(material("m", 5, 6, 7) + squareObject("first", materialGroup("m", 2) + smoothing) +
                   chunk3ds(0x1234, Bytes(9, 0xFF)) + chunk3ds(0xB000, Bytes(30, 0x40)) +
                   squareObject("second")),
         r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    ASSERT_EQ(r.model.objectCount, 2);
    EXPECT_EQ(r.model.objects[0].materialIndex, 0);
    EXPECT_STREQ(r.model.objects[1].name, "second");
    EXPECT_EQ(r.model.objects[1].faceCount, 2);
}

// The colour comes from the first colour sub-chunk of a diffuse chunk.
TEST(ModelFileReader, FirstColourSubChunkWins) {
    const Bytes block = chunk3ds(
        0xAFFF, chunk3ds(0xA000, cstr("m")) +
                    chunk3ds(0xA020, chunk3ds(0x0011, {10, 20, 30}) + chunk3ds(0x0012, {40, 50, 60})));
    ReadResult r;
    read(modelFile(block), r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    EXPECT_EQ(r.model.materials[0].colour[0], 10);
    EXPECT_EQ(r.model.materials[0].colour[1], 20);
    EXPECT_EQ(r.model.materials[0].colour[2], 30);
}

// Two counter-clockwise triangles of a square in the XY plane give every
// vertex (0, 0, 1); a vertex no face uses keeps (0, 0, 0), never NaN.
TEST(ModelFileReader, NormalsOfASquare) {
    std::vector<TestVertex> vertices = square;
    vertices.push_back({5, 5, 5});
    ReadResult r;
    read(modelFile(namedObject("o", vertexList(vertices) + faceList(squareFaces))), r);
    const MeshObject& o = r.model.objects[0];
    for (int v = 0; v < 4; ++v) {
        EXPECT_FLOAT_EQ(o.normals[v].x, 0) << v;
        EXPECT_FLOAT_EQ(o.normals[v].y, 0) << v;
        EXPECT_FLOAT_EQ(o.normals[v].z, 1) << v;
    }
    EXPECT_EQ(o.normals[4], Vector3(0, 0, 0));
}

// Larger faces weigh more: a vertex shared by a triangle facing +z whose
// cross product has length 4 and one facing +x with length 1 gets the
// direction of (1, 0, 4).
TEST(ModelFileReader, NormalsAreAreaWeighted) {
    // Vertex 0 at the origin; a big triangle in the XY plane, a small one in YZ.
    const std::vector<TestVertex> vertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 1, 0}, {0, 0, 1}};
    ReadResult r;
    read(modelFile(namedObject("o", vertexList(vertices) + faceList({{0, 1, 2}, {0, 3, 4}}))), r);
    const Vector3 n = r.model.objects[0].normals[0];
    const float length = std::sqrt(1.0f + 16.0f);
    EXPECT_NEAR(n.x, 1 / length, 1e-6);
    EXPECT_NEAR(n.y, 0, 1e-6);
    EXPECT_NEAR(n.z, 4 / length, 1e-6);
}

// A missing file and a file without a main chunk leave the model empty with
// the game's messages (no trailing newline).
TEST(ModelFileReader, MissingOrForeignFile) {
    ModelData model;
    ModelFileReader reader;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(reader.readFile(model, "/nonexistent/copter.3ds"), ModelReadStatus::cannotOpen);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Unable to find the file: /nonexistent/copter.3ds!");
    EXPECT_EQ(model.objectCount, 0);

    ReadResult foreign;
    read(chunk3ds(0x3D3D, squareObject("o")), foreign);
    EXPECT_EQ(foreign.status, ModelReadStatus::notModelFile);
    EXPECT_NE(foreign.messages.find("Unable to load PRIMARY chuck from file: "), std::string::npos);
    EXPECT_EQ(foreign.messages.back(), '!');
    EXPECT_EQ(foreign.model.objectCount, 0);
}

// Faces naming a vertex the object does not have are dropped with a message;
// the others stay.
TEST(ModelFileReader, FacesBeyondTheVerticesAreDropped) {
    ReadResult r;
    read(modelFile(namedObject(
                       "o", vertexList(square) + faceList({{0, 1, 2}, {0, 4, 1}, {3, 2, 65535}, {0, 2, 3}})) +
                   namedObject("noVertices", faceList(squareFaces))),
         r);
    EXPECT_EQ(r.status, ModelReadStatus::malformed);
    EXPECT_NE(r.messages.find("\"o\": 2 faces name vertices beyond its 4; dropped"), std::string::npos)
        << r.messages;
    ASSERT_EQ(r.model.objects[0].faceCount, 2);
    EXPECT_EQ(r.model.objects[0].faces[1].b, 2);
    EXPECT_EQ(r.model.objects[1].faceCount, 0);
}

// Names of 255 bytes or more are cut to 254 characters, the reading goes on.
TEST(ModelFileReader, LongNamesAreCut) {
    const std::string longName(300, 'n');
    ReadResult r;
    read(modelFile(material(longName, 1, 2, 3, std::string(260, 't')) + squareObject(longName) +
                   squareObject("next")),
         r);
    EXPECT_EQ(r.status, ModelReadStatus::malformed);
    ASSERT_EQ(r.model.objectCount, 2);
    EXPECT_EQ(std::strlen(r.model.objects[0].name), 254u);
    EXPECT_EQ(std::strlen(r.model.materials[0].name), 254u);
    EXPECT_EQ(std::strlen(r.model.materials[0].textureFile), 254u);
    EXPECT_EQ(r.model.objects[0].faceCount, 2);
    EXPECT_STREQ(r.model.objects[1].name, "next");
    EXPECT_NE(r.messages.find("longer than 254 characters"), std::string::npos);
}

// Payloads longer or shorter than their count or field: the field is
// filled no further than it reaches, nothing is allocated beyond what the
// payload backs, and the reading goes on.
TEST(ModelFileReader, PayloadsThatDisagreeWithTheirCounts) {
    const Bytes longColour =
        chunk3ds(0xAFFF, chunk3ds(0xA000, cstr("m")) +
                             chunk3ds(0xA020, chunk3ds(0x0010, f32(1) + f32(0.5f) + f32(0))));
    const Bytes shortVertices = chunk3ds(0x4110, le16(65535) + f32(1) + f32(2) + f32(3) + f32(4));
    const Bytes longVertices = chunk3ds(0x4110, le16(1) + f32(1) + f32(2) + f32(3) + Bytes(8, 0));
    const Bytes shortCoords = chunk3ds(0x4140, le16(100) + f32(1) + f32(2));
    ReadResult r;
    read(modelFile(longColour + namedObject("short", shortVertices + shortCoords) +
                   namedObject("long", longVertices) + squareObject("after")),
         r);
    EXPECT_EQ(r.status, ModelReadStatus::malformed);
    EXPECT_NE(r.messages.find("holds 12 bytes, not 3"), std::string::npos) << r.messages;
    EXPECT_NE(r.messages.find("holds 16 bytes for 65535 vertices"), std::string::npos) << r.messages;
    ASSERT_EQ(r.model.objectCount, 3);
    EXPECT_EQ(r.model.objects[0].vertexCount, 1);
    EXPECT_EQ(r.model.objects[0].texCoordCount, 1);
    EXPECT_EQ(r.model.objects[1].vertexCount, 1);
    EXPECT_EQ(r.model.objects[1].vertices[0].z, 3.0f);
    EXPECT_EQ(r.model.objects[2].faceCount, 2);
}

// Broken chunk structure stops the reading with a message and keeps what
// came before the fault.
TEST(ModelFileReader, BrokenChunksStopTheRead) {
    const Bytes good = squareObject("good");
    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"length below the header", modelFile(good + le16(0x4000) + le32(3) + Bytes(10, 0)),
         "shorter than its header"},
        {"past its parent", modelFile(good + le16(0x4000) + le32(500) + cstr("x")),
         "runs past the end of chunk 0x3D3D"},
        {"stray bytes", modelFile(good + Bytes(4, 0)), "stray bytes"},
        {"face count past its chunk",
         modelFile(good + namedObject("f", chunk3ds(0x4120, le16(50) + Bytes(16, 0)))),
         "room for 2 of its 50 faces"},
        {"end of file inside a chunk",
         [&] {
             Bytes b = modelFile(good + squareObject("cut"));
             b.resize(b.size() - 10);
             return b;
         }(),
         "file ends inside"},
    };
    for (const auto& c : cases) {
        ReadResult r;
        read(c.file, r);
        EXPECT_EQ(r.status, ModelReadStatus::malformed) << c.what;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.what << ": " << r.error;
        ASSERT_GE(r.model.objectCount, 1) << c.what;
        EXPECT_STREQ(r.model.objects[0].name, "good") << c.what;
        EXPECT_EQ(r.model.objects[0].faceCount, 2) << c.what;
    }
}

// Chunks nested without end (each level a few bytes) stop at a fixed depth
// instead of exhausting the stack.
TEST(ModelFileReader, DeepNestingIsCapped) {
    Bytes nested = vertexList(square);
    for (int i = 0; i < 5000; ++i) nested = chunk3ds(0x4100, nested);
    ReadResult r;
    read(modelFile(chunk3ds(0x4000, cstr("deep") + nested)), r);
    EXPECT_EQ(r.status, ModelReadStatus::malformed);
    EXPECT_NE(r.error.find("nested deeper"), std::string::npos) << r.error;
}
