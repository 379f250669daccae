// model_file_reader.h -- reads the 3DS chunk format into a ModelData.
//
// Only what a static textured mesh needs is kept: named mesh objects
// (vertices, triangles, texture coordinates, one material each) and
// materials (name, diffuse colour, texture file name). Every other chunk is
// skipped. Chunks are little-endian: id (uint16), length (uint32, header
// included), payload.
//
// Hostile files are expected: every length is checked against its parent
// chunk and the end of the file, names are cut to their fields, counts are
// backed by payload before anything is allocated, nesting and list sizes are
// capped, and faces that name a vertex the object does not have are dropped.
// Reading stops at the first fault it cannot step over; what was read
// before it is kept. Every message names the file, and the time taken grows
// linearly with the file's size. Memory running out during a read ends the
// program with "Out of memory!" and status 1.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "assets/model_data.h"

// Limits on content no model of ours comes near (ours nest 5 levels deep,
// the main chunk being level 1).
constexpr int maxModelObjects = 10000;
constexpr int maxModelMaterials = 10000;
constexpr int maxChunkNesting = 32;
// A hostile file can hold a fault in every chunk: after this many messages
// one more says so and the rest are counted but not printed.
constexpr int maxModelMessages = 20;

struct Chunk {
    std::uint16_t id = 0;
    std::uint32_t length = 0;     // whole chunk, 6-byte header included
    std::uint32_t bytesRead = 0;  // consumed so far, header included
};

enum class ModelReadStatus {
    ok,
    cannotOpen,    // "Unable to find the file: %s!"; the model stays empty
    notModelFile,  // no main chunk first; the model stays empty
    malformed,     // the content broke a rule; error() says which first
};

class ModelFileReader {
public:
    // Where the reader's messages go (stderr, as the game prints them); null
    // keeps it silent.
    std::FILE* log = stderr;

    // Reads the file at path, appending to model, then drops faces with
    // out-of-range corners and computes the vertex normals.
    ModelReadStatus readFile(ModelData& model, const char* path);
    // The same on bytes already in memory; name is used in messages.
    ModelReadStatus readBytes(ModelData& model, const unsigned char* bytes, std::size_t size,
                              const char* name);
    // The first fault met by the last read; empty when there was none.
    const std::string& error() const { return error_; }

private:
    void begin(ModelData& model, const unsigned char* bytes, std::size_t size);
    void say(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A fault that reading can step over: reported, reading goes on.
    void problem(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A fault that ends the read.
    void fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void report(bool stop, const char* format, va_list args);

    bool readChunkHeader(Chunk& chunk);
    // Reads the header of the next sub-chunk of parent (at nesting level
    // level) and checks that it is no deeper than maxChunkNesting and fits
    // its parent; one that runs past the end of the file is reported.
    bool readSubChunkHeader(Chunk& parent, int level, Chunk& chunk);
    // Reports a chunk that runs past the end of the file, once per read.
    void checkAgainstFile(const Chunk& chunk, std::size_t at);
    // The file ends before the wanted bytes: stops the read, with a message
    // unless the chunk the file cuts short was named already (it always is
    // when chunk lengths are checked as they are read).
    void fileEnds(std::size_t wanted);
    // Consumes count bytes of chunk, which must lie inside it and the file.
    const unsigned char* take(Chunk& chunk, std::uint32_t count);
    std::uint32_t rest(const Chunk& chunk) const { return chunk.length - chunk.bytesRead; }
    bool skipRest(Chunk& chunk);
    // Reads a NUL-terminated name (cut to the field), returns bytes consumed.
    std::uint32_t readString(Chunk& chunk, char* field, const char* what);
    // Reads the rest of the chunk as a name.
    void readRestAsName(Chunk& chunk, char* field, const char* what);
    bool readCount(Chunk& chunk, std::uint32_t& count, const char* what);

    // Each dispatcher is given its parent chunk's nesting level.
    void readMainChunks(Chunk& parent, int level);
    void readObjectChunks(MeshObject& object, Chunk& parent, int level);
    void readMaterialChunks(Chunk& parent, int level);
    void readColourChunk(unsigned char* colour, Chunk& parent, int level);
    void readVertices(MeshObject& object, Chunk& chunk);
    void readFaces(MeshObject& object, Chunk& chunk);
    void readTexCoords(MeshObject& object, Chunk& chunk);
    void readMaterialGroup(MeshObject& object, Chunk& chunk);
    int findMaterial(const char* name);
    void dropBadFaces();

    ModelData* model_ = nullptr;
    const unsigned char* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
    const char* name_ = "";
    bool stopped_ = false;
    bool pastFileEndReported_ = false;
    int messages_ = 0;
    std::string error_;
    // Index of the first material of each name, for all but the newest
    // material (whose name may still be changing).
    std::unordered_map<std::string, int> materialIndex_;
    int materialsIndexed_ = 0;
};

// The game's entry point: reads path into model, messages on stderr.
void readModelFile(ModelData& model, const char* path);
// One unit normal per vertex: the mean of the (unnormalised, so area-weighted)
// normals of the faces that use it. A vertex no face uses gets (0, 0, 0).
void computeNormals(ModelData& model);
// Frees every object's arrays and empties both lists.
void releaseModelData(ModelData& model);
// Frees one object's arrays and zeroes its counts.
void releaseMeshArrays(MeshObject& object);
