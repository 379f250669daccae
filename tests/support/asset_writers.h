// asset_writers.h -- small writers of SGI, PPM and 3DS files, so reader
// tests build exactly the bytes they are about.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A directory under /tmp that is removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path(const std::string& name) const { return dir + "/" + name; }
    std::string dir;
};

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
Bytes operator+(Bytes a, const Bytes& b);

// ---- SGI

// 512-byte header: magic 474, storage (1 = run-length) and 1 byte per
// channel in one word, dimension 3, then xsize, ysize, zsize.
Bytes sgiHeader(bool runLength, int xsize, int ysize, int zsize);
// Verbatim file; planes holds channel 0's rows (bottom row first), then
// channel 1's, and so on.
Bytes sgiVerbatim(int xsize, int ysize, int zsize, const Bytes& planes);
// Run-length file from already encoded rows, indexed y + z * ysize; rows
// are stored one after another after the two tables.
Bytes sgiRunLength(int xsize, int ysize, int zsize, const std::vector<Bytes>& rows);
// Run-length encodes one row: repeats for runs of 3 or more, literals
// otherwise, 0x00 at the end.
Bytes encodeSgiRow(const Bytes& row);

// ---- PPM
Bytes ppm(const std::string& header, const Bytes& samples);

// ---- 3DS
Bytes le16(std::uint32_t v);
Bytes le32(std::uint32_t v);
Bytes f32(float v);
Bytes cstr(const std::string& s);  // with its NUL
Bytes chunk3ds(std::uint16_t id, const Bytes& payload);

struct TestVertex {
    float x, y, z;
};
struct TestFace {
    int a, b, c;
};

Bytes vertexList(const std::vector<TestVertex>& vertices);
// Faces with flags 0, followed by sub-chunks (material groups, smoothing).
Bytes faceList(const std::vector<TestFace>& faces, const Bytes& subChunks = {});
Bytes materialGroup(const std::string& material, int faceCount = 0);
Bytes texCoordList(const std::vector<std::pair<float, float>>& coords);
// A named object wrapping a 0x4100 triangle mesh with the given chunks.
Bytes namedObject(const std::string& name, const Bytes& meshChunks);
// A material block: name, a 24-bit diffuse colour, optionally a texture map.
Bytes material(const std::string& name, unsigned char r, unsigned char g, unsigned char b,
               const std::string& textureFile = "");
// Main chunk holding a version 3 chunk and a mesh data chunk (with its mesh
// version sub-chunk first) that holds contents.
Bytes modelFile(const Bytes& contents);
