// Tests of the 3DS reader: the chunk rules the game's models rely on, the
// normals, and hostile files that must neither crash nor write past a field.
#include "assets/model_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// count copies of part, one after another.
Bytes repeated(const Bytes& part, int count) {
    Bytes out;
    out.reserve(part.size() * count);
    for (int i = 0; i < count; ++i) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A model whose one object has its vertex list at the given nesting level,
// the main chunk being level 1: main, mesh data, object and triangle mesh
// make four, each further triangle-mesh chunk one more.
Bytes verticesAtLevel(int level) {
    Bytes mesh = vertexList(square);
    for (int l = 5; l < level; ++l) mesh = chunk3ds(0x4100, mesh);
    return modelFile(namedObject("deep", mesh));
}

// A model whose one material has its colour sub-chunk at the given level:
// main, mesh data, material, diffuse chunk and colour make five, each
// texture map block around the diffuse chunk one more.
Bytes colourAtLevel(int level) {
    Bytes diffuse = chunk3ds(0xA020, chunk3ds(0x0011, {10, 20, 30}));
    for (int l = 6; l <= level; ++l) diffuse = chunk3ds(0xA200, diffuse);
    return modelFile(chunk3ds(0xAFFF, chunk3ds(0xA000, cstr("m")) + diffuse));
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
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
    read(modelFile(material("other", 3, 3, 3) + material("dup", 1, 1, 1) + material("dup", 2, 2, 2, "x.rgb") +
                   squareObject("o", materialGroup("dup"))),
         r);
    EXPECT_EQ(r.model.objects[0].materialIndex, 1);
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
    read(modelFile(material("other", 1, 2, 3) + material("m", 5, 6, 7) +
                   squareObject("first", materialGroup("m", 2) + smoothing) +
                   chunk3ds(0x1234, Bytes(9, 0xFF)) + chunk3ds(0xB000, Bytes(30, 0x40)) +
                   squareObject("second")),
         r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    ASSERT_EQ(r.model.objectCount, 2);
    EXPECT_EQ(r.model.objects[0].materialIndex, 1);  // not the 0 every object starts with
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

// Colours in every form other tools write: floats (plain and linear) are
// scaled by 255, clamped and rounded; 24-bit forms are taken as they are;
// any other id gives its first three bytes. The objects after them load.
TEST(ModelFileReader, ColourSubChunksOfEveryForm) {
    const auto withColour = [](const std::string& name, const Bytes& colourChunk) {
        return chunk3ds(0xAFFF, chunk3ds(0xA000, cstr(name)) + chunk3ds(0xA020, colourChunk));
    };
    const float nan = std::nanf("");
    ReadResult r;
    read(modelFile(withColour("float", chunk3ds(0x0010, f32(1) + f32(0.5f) + f32(0.25f))) +
                   withColour("linear", chunk3ds(0x0013, f32(2) + f32(-1) + f32(nan))) +
                   withColour("small", chunk3ds(0x0010, f32(0.1f) + f32(0.002f) + f32(0.001f))) +
                   withColour("bytes", chunk3ds(0x0011, {10, 20, 30})) +
                   withColour("linearBytes", chunk3ds(0x0012, {40, 50, 60})) +
                   withColour("other", chunk3ds(0x0030, {7, 8, 9})) +
                   squareObject("after", materialGroup("linear"))),
         r);
    ASSERT_EQ(r.status, ModelReadStatus::ok) << r.error;
    EXPECT_EQ(r.messages, "");
    const struct {
        int r, g, b;
    } expected[] = {{255, 128, 64}, {255, 0, 0}, {26, 1, 0}, {10, 20, 30}, {40, 50, 60}, {7, 8, 9}};
    ASSERT_EQ(r.model.materialCount, 6);
    for (int i = 0; i < 6; ++i) {
        const unsigned char* colour = r.model.materials[i].colour;
        EXPECT_EQ(colour[0], expected[i].r) << r.model.materials[i].name;
        EXPECT_EQ(colour[1], expected[i].g) << r.model.materials[i].name;
        EXPECT_EQ(colour[2], expected[i].b) << r.model.materials[i].name;
    }
    ASSERT_EQ(r.model.objectCount, 1);
    EXPECT_EQ(r.model.objects[0].materialIndex, 1);
    EXPECT_EQ(r.model.objects[0].faceCount, 2);
}

// A mesh-data chunk need not open with the mesh version: a material or an
// object first is read like any other, and a version met later is skipped.
TEST(ModelFileReader, MeshDataWithoutTheVersionFirst) {
    const Bytes version = chunk3ds(0x3D3E, le32(3));
    ReadResult materialFirst;
    read(chunk3ds(0x4D4D,
                  chunk3ds(0x3D3D, material("first", 1, 2, 3) + squareObject("o", materialGroup("first")) +
                                       version + squareObject("p"))),
         materialFirst);
    ASSERT_EQ(materialFirst.status, ModelReadStatus::ok) << materialFirst.error;
    ASSERT_EQ(materialFirst.model.materialCount, 1);
    EXPECT_STREQ(materialFirst.model.materials[0].name, "first");
    EXPECT_EQ(materialFirst.model.materials[0].colour[2], 3);
    ASSERT_EQ(materialFirst.model.objectCount, 2);
    EXPECT_STREQ(materialFirst.model.objects[1].name, "p");

    ReadResult objectFirst;
    read(chunk3ds(0x4D4D, chunk3ds(0x0002, le32(3)) + chunk3ds(0x3D3D, squareObject("only"))), objectFirst);
    ASSERT_EQ(objectFirst.status, ModelReadStatus::ok) << objectFirst.error;
    ASSERT_EQ(objectFirst.model.objectCount, 1);
    EXPECT_STREQ(objectFirst.model.objects[0].name, "only");
    EXPECT_EQ(objectFirst.model.objects[0].faceCount, 2);
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
    ::testing::internal::CaptureStderr();
    readModelFile(model, "/nonexistent/copter.3ds");
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

// Names of 255 bytes or more are cut to 254 characters, a name that runs to
// the end of its chunk ends there, and the reading goes on.
TEST(ModelFileReader, NamesAreCutToTheirFieldAndChunk) {
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

    ReadResult unended;
    read(modelFile(chunk3ds(0x4000, {'a', 'b', 'c'}) + squareObject("next")), unended);
    ASSERT_EQ(unended.model.objectCount, 2);
    EXPECT_STREQ(unended.model.objects[0].name, "abc");
    EXPECT_STREQ(unended.model.objects[1].name, "next");
    EXPECT_NE(unended.messages.find("model.3ds: object name \"abc\" has no end inside its chunk"),
              std::string::npos)
        << unended.messages;
}

// Payloads longer or shorter than their count or field: the field is
// filled no further than it reaches, nothing is allocated beyond what the
// payload backs, and the reading goes on.
TEST(ModelFileReader, PayloadsThatDisagreeWithTheirCounts) {
    const Bytes shortColour = chunk3ds(
        0xAFFF, chunk3ds(0xA000, cstr("m")) + chunk3ds(0xA020, chunk3ds(0x0010, f32(1) + f32(0.5f))));
    const Bytes shortVertices = chunk3ds(0x4110, le16(65535) + f32(1) + f32(2) + f32(3) + f32(4));
    const Bytes longVertices = chunk3ds(0x4110, le16(1) + f32(1) + f32(2) + f32(3) + Bytes(8, 0));
    const Bytes shortCoords = chunk3ds(0x4140, le16(100) + f32(1) + f32(2));
    ReadResult r;
    read(modelFile(shortColour + namedObject("short", shortVertices + shortCoords) +
                   namedObject("long", longVertices) + squareObject("after")),
         r);
    EXPECT_EQ(r.status, ModelReadStatus::malformed);
    EXPECT_NE(r.messages.find("holds 8 bytes, not 12"), std::string::npos) << r.messages;
    EXPECT_EQ(r.model.materials[0].colour[1], 128);
    EXPECT_EQ(r.model.materials[0].colour[2], 0);
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
        {"list too short for its count", modelFile(good + namedObject("v", chunk3ds(0x4110, {1}))),
         "vertex list at offset 149 is too short for its count"},
        {"face count past its chunk",
         modelFile(good + namedObject("f", chunk3ds(0x4120, le16(50) + Bytes(16, 0)))),
         "room for 2 of its 50 faces"},
        {"end of file inside a chunk",
         [&] {
             Bytes b = modelFile(good + squareObject("cut"));
             b.resize(b.size() - 10);
             return b;
         }(),
         "runs past the end of the file (10 bytes missing)"},
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

// Chunks nest up to 32 levels, the main chunk being the first: a vertex
// list or a colour at level 32 is read, one level deeper stops the read
// with a message naming the file.
TEST(ModelFileReader, NestingAtTheLimit) {
    ReadResult vertices;
    read(verticesAtLevel(maxChunkNesting), vertices);
    ASSERT_EQ(vertices.status, ModelReadStatus::ok) << vertices.error;
    EXPECT_EQ(vertices.model.objects[0].vertexCount, 4);
    ReadResult colour;
    read(colourAtLevel(maxChunkNesting), colour);
    ASSERT_EQ(colour.status, ModelReadStatus::ok) << colour.error;
    EXPECT_EQ(colour.model.materials[0].colour[1], 20);

    ReadResult deeper;
    read(verticesAtLevel(maxChunkNesting + 1), deeper);
    EXPECT_EQ(deeper.status, ModelReadStatus::malformed);
    EXPECT_EQ(deeper.model.objects[0].vertexCount, 0);
    EXPECT_NE(deeper.messages.find("model.3ds: chunk at offset "), std::string::npos) << deeper.messages;
    EXPECT_NE(deeper.error.find("is nested deeper than 32 levels"), std::string::npos) << deeper.error;
    ReadResult deeperColour;
    read(colourAtLevel(maxChunkNesting + 1), deeperColour);
    EXPECT_NE(deeperColour.error.find("is nested deeper than 32 levels"), std::string::npos);
    EXPECT_EQ(deeperColour.model.materials[0].colour[1], 0);
}

// Chunk lengths at their bounds: an empty chunk (6 bytes) is read, one of 5
// is refused; a chunk may end with its parent, one byte more is refused; a
// file one byte short is named once, at its outermost chunk, and what it
// holds before the cut is kept.
TEST(ModelFileReader, ChunkLengthsAtTheirBounds) {
    const Bytes good = squareObject("good");
    ReadResult empty;
    read(modelFile(good + chunk3ds(0x1234, {}) + squareObject("after")), empty);
    EXPECT_EQ(empty.status, ModelReadStatus::ok) << empty.error;
    EXPECT_EQ(empty.model.objectCount, 2);

    ReadResult five;
    read(modelFile(good + le16(0x1234) + le32(5) + Bytes(10, 0)), five);
    EXPECT_NE(five.error.find("has length 5, shorter than its header"), std::string::npos) << five.error;

    ReadResult pastParent;
    read(modelFile(good + le16(0x1234) + le32(7)), pastParent);
    EXPECT_NE(pastParent.error.find("(7 bytes) runs past the end of chunk 0x3D3D"), std::string::npos)
        << pastParent.error;

    Bytes cut = modelFile(good + squareObject("cut"));
    const std::size_t whole = cut.size();
    cut.pop_back();
    ReadResult short1;
    read(cut, short1);
    EXPECT_EQ(short1.status, ModelReadStatus::malformed);
    EXPECT_EQ(lineCount(short1.messages), 1u) << short1.messages;
    EXPECT_NE(short1.messages.find("model.3ds: chunk 0x4D4D at offset 0 (" + std::to_string(whole) +
                                   " bytes) runs past the end of the file (1 byte missing)\n"),
              std::string::npos)
        << short1.messages;
    ASSERT_EQ(short1.model.objectCount, 2);
    EXPECT_EQ(short1.model.objects[0].faceCount, 2);
    EXPECT_EQ(short1.model.objects[1].vertexCount, 4);
}

// Counts against their payload: exactly count times the element size is
// read silently; one byte less keeps the elements the payload holds and
// says so, naming the file.
TEST(ModelFileReader, CountsAgainstTheirPayload) {
    const Bytes vertices = le16(4) + repeated(f32(1), 12);
    const Bytes faces =
        le16(2) + le16(0) + le16(1) + le16(2) + le16(0) + le16(0) + le16(2) + le16(3) + le16(0);
    const Bytes coords = le16(4) + repeated(f32(0.5f), 8);
    ReadResult exact;
    read(modelFile(namedObject(
             "o", chunk3ds(0x4110, vertices) + chunk3ds(0x4140, coords) + chunk3ds(0x4120, faces))),
         exact);
    ASSERT_EQ(exact.status, ModelReadStatus::ok) << exact.error;
    EXPECT_EQ(exact.messages, "");
    EXPECT_EQ(exact.model.objects[0].vertexCount, 4);
    EXPECT_EQ(exact.model.objects[0].texCoordCount, 4);
    EXPECT_EQ(exact.model.objects[0].faceCount, 2);

    const auto cut = [](const Bytes& b) { return Bytes(b.begin(), b.end() - 1); };
    ReadResult shorter;
    read(modelFile(namedObject("o", chunk3ds(0x4110, cut(vertices)) + chunk3ds(0x4140, cut(coords)) +
                                        chunk3ds(0x4120, cut(faces)))),
         shorter);
    EXPECT_EQ(shorter.status, ModelReadStatus::malformed);
    const MeshObject& o = shorter.model.objects[0];
    EXPECT_EQ(o.vertexCount, 3);
    EXPECT_EQ(o.texCoordCount, 3);
    EXPECT_EQ(o.faceCount, 1);
    for (const char* message :
         {"model.3ds: vertex list of object \"o\" holds 47 bytes for 4 vertices",
          "model.3ds: texture coordinate list of object \"o\" holds 31 bytes for 4 pairs",
          "model.3ds: face list of object \"o\" has room for 1 of its 2 faces"}) {
        EXPECT_NE(shorter.messages.find(message), std::string::npos) << message << "\n" << shorter.messages;
    }
}

// Up to 10000 objects and 10000 materials are read; one more of either
// stops the read with a message naming the file.
TEST(ModelFileReader, ObjectAndMaterialLimits) {
    const Bytes emptyMaterial = chunk3ds(0xAFFF, {});
    const Bytes emptyObject = chunk3ds(0x4000, cstr(""));
    ReadResult full;
    read(modelFile(repeated(emptyMaterial, maxModelMaterials) + repeated(emptyObject, maxModelObjects)),
         full);
    ASSERT_EQ(full.status, ModelReadStatus::ok) << full.error;
    EXPECT_EQ(full.model.materialCount, maxModelMaterials);
    EXPECT_EQ(full.model.objectCount, maxModelObjects);

    ReadResult objects;
    read(modelFile(repeated(emptyObject, maxModelObjects + 1)), objects);
    EXPECT_EQ(objects.model.objectCount, maxModelObjects);
    EXPECT_NE(objects.messages.find("model.3ds: more than 10000 objects"), std::string::npos);
    ReadResult materials;
    read(modelFile(repeated(emptyMaterial, maxModelMaterials + 1) + squareObject("o")), materials);
    EXPECT_EQ(materials.model.materialCount, maxModelMaterials);
    EXPECT_EQ(materials.model.objectCount, 0);
    EXPECT_NE(materials.messages.find("model.3ds: more than 10000 materials"), std::string::npos);
}

// A file with a fault in every chunk prints 20 messages and one line saying
// there were more; the reader's error stays the first fault.
TEST(ModelFileReader, MessagesAreCapped) {
    Bytes materials;
    for (int i = 0; i < 30; ++i) {
        materials = materials + chunk3ds(0xAFFF, chunk3ds(0xA000, cstr("m" + std::to_string(i))) +
                                                     chunk3ds(0xA020, chunk3ds(0x0011, {1, 2, 3, 4})));
    }
    ReadResult r;
    read(modelFile(materials + squareObject("o")), r);
    EXPECT_EQ(r.model.objectCount, 1);
    EXPECT_EQ(lineCount(r.messages), static_cast<std::size_t>(maxModelMessages) + 1) << r.messages;
    EXPECT_NE(r.messages.find("model.3ds: more than 20 problems; the rest are not shown\n"),
              std::string::npos);
    EXPECT_EQ(r.messages.find("\"m20\""), std::string::npos);
    EXPECT_EQ(r.error, "colour chunk 0x0011 of material \"m0\" holds 4 bytes, not 3");
}
