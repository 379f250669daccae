// asset_writers.cpp -- small writers of SGI, PPM and 3DS files for tests.
#include "support/asset_writers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

TempDir::TempDir() {
    char pattern[] = "/tmp/searchlight-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    dir = made ? made : "/tmp";
}

TempDir::~TempDir() {
    if (dir != "/tmp") {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

namespace {

Bytes be16(std::uint32_t v) { return {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)}; }

Bytes be32(std::uint32_t v) {
    return {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
}

}  // namespace

Bytes sgiHeader(bool runLength, int xsize, int ysize, int zsize) {
    Bytes header =
        be16(474) + be16(runLength ? 0x0101 : 0x0001) + be16(3) + be16(xsize) + be16(ysize) + be16(zsize);
    header.resize(512, 0);
    return header;
}

Bytes sgiVerbatim(int xsize, int ysize, int zsize, const Bytes& planes) {
    return sgiHeader(false, xsize, ysize, zsize) + planes;
}

Bytes sgiRunLength(int xsize, int ysize, int zsize, const std::vector<Bytes>& rows) {
    Bytes starts, sizes, data;
    std::uint32_t offset = 512 + 8 * static_cast<std::uint32_t>(rows.size());
    for (const Bytes& row : rows) {
        starts = starts + be32(offset);
        sizes = sizes + be32(static_cast<std::uint32_t>(row.size()));
        data = data + row;
        offset += static_cast<std::uint32_t>(row.size());
    }
    return sgiHeader(true, xsize, ysize, zsize) + starts + sizes + data;
}

Bytes encodeSgiRow(const Bytes& row) {
    Bytes out;
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 127 && row[i + run] == row[i]) ++run;
        if (run >= 3) {
            out.push_back(static_cast<unsigned char>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        // Literal bytes up to the next run of three.
        std::size_t length = 0;
        while (i + length < row.size() && length < 127) {
            const std::size_t j = i + length;
            if (j + 2 < row.size() && row[j] == row[j + 1] && row[j] == row[j + 2]) break;
            ++length;
        }
        out.push_back(static_cast<unsigned char>(0x80 | length));
        out.insert(out.end(), row.begin() + static_cast<long>(i),
                   row.begin() + static_cast<long>(i + length));
        i += length;
    }
    out.push_back(0);
    return out;
}

Bytes ppm(const std::string& header, const Bytes& samples) {
    return Bytes(header.begin(), header.end()) + samples;
}

Bytes le16(std::uint32_t v) { return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)}; }

Bytes le32(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

Bytes f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return le32(bits);
}

Bytes cstr(const std::string& s) {
    Bytes out(s.begin(), s.end());
    out.push_back(0);
    return out;
}

Bytes chunk3ds(std::uint16_t id, const Bytes& payload) {
    return le16(id) + le32(static_cast<std::uint32_t>(payload.size() + 6)) + payload;
}

Bytes vertexList(const std::vector<TestVertex>& vertices) {
    Bytes payload = le16(static_cast<std::uint32_t>(vertices.size()));
    for (const TestVertex& v : vertices) payload = payload + f32(v.x) + f32(v.y) + f32(v.z);
    return chunk3ds(0x4110, payload);
}

Bytes faceList(const std::vector<TestFace>& faces, const Bytes& subChunks) {
    Bytes payload = le16(static_cast<std::uint32_t>(faces.size()));
    for (const TestFace& f : faces) payload = payload + le16(f.a) + le16(f.b) + le16(f.c) + le16(0);
    return chunk3ds(0x4120, payload + subChunks);
}

Bytes materialGroup(const std::string& material, int faceCount) {
    Bytes payload = cstr(material) + le16(faceCount);
    for (int i = 0; i < faceCount; ++i) payload = payload + le16(i);
    return chunk3ds(0x4130, payload);
}

Bytes texCoordList(const std::vector<std::pair<float, float>>& coords) {
    Bytes payload = le16(static_cast<std::uint32_t>(coords.size()));
    for (const auto& uv : coords) payload = payload + f32(uv.first) + f32(uv.second);
    return chunk3ds(0x4140, payload);
}

Bytes namedObject(const std::string& name, const Bytes& meshChunks) {
    return chunk3ds(0x4000, cstr(name) + chunk3ds(0x4100, meshChunks));
}

Bytes material(const std::string& name, unsigned char r, unsigned char g, unsigned char b,
               const std::string& textureFile) {
    Bytes payload = chunk3ds(0xA000, cstr(name)) + chunk3ds(0xA020, chunk3ds(0x0011, {r, g, b}));
    if (!textureFile.empty()) payload = payload + chunk3ds(0xA200, chunk3ds(0xA300, cstr(textureFile)));
    return chunk3ds(0xAFFF, payload);
}

Bytes modelFile(const Bytes& contents) {
    return chunk3ds(0x4D4D,
                    chunk3ds(0x0002, le32(3)) + chunk3ds(0x3D3D, chunk3ds(0x3D3E, le32(3)) + contents));
}
