// make_corpus.cpp -- writes the committed seed corpus of the fuzz targets and
// the first inputs of their regression folders, with the same small writers
// the reader tests use.
//
//   fuzz_corpus DIR    writes DIR/corpus/FORMAT/ and DIR/regression/FORMAT/
//                      for FORMAT sgi, ppm, 3ds and records
//
// fuzz/run.sh BUILD corpus runs it on fuzz/ itself. The seeds cover every
// layout the readers know (each SGI storage with 1 to 4 channels and more,
// PPM comments, odd widths and maximum values, 3DS files with several objects,
// unknown chunks, textured and plain materials, names of 0, 254, 255 and more
// bytes; records files empty, short, long and at every limit); the
// regression inputs are the malformed files the reader tests refuse. Every
// file is small, so the fuzzer mutates them quickly.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/records.h"
#include "support/asset_writers.h"

namespace {

std::string outputDir;
int written = 0;

void emit(const std::string& folder, const std::string& name, const Bytes& bytes) {
    const std::string dir = outputDir + "/" + folder;
    std::filesystem::create_directories(dir);
    writeFile(dir + "/" + name, bytes);
    ++written;
}

Bytes join(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// ---- SGI

// A picture with runs and noise, so its encoded rows hold both kinds of run.
Bytes planesOf(int width, int height, int channels) {
    Bytes planes;
    for (int z = 0; z < channels; ++z) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool run = x < width / 2;
                planes.push_back(
                    static_cast<unsigned char>(run ? 40 * z + y : (x * 37 + y * 11 + z * 5) & 0xFF));
            }
        }
    }
    return planes;
}

Bytes runLengthOf(int width, int height, int channels, const Bytes& planes) {
    std::vector<Bytes> rows;
    for (int z = 0; z < channels; ++z) {
        for (int y = 0; y < height; ++y) {
            const auto start = planes.begin() + (z * height + y) * width;
            rows.push_back(encodeSgiRow(Bytes(start, start + width)));
        }
    }
    return sgiRunLength(width, height, channels, rows);
}

void putBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

void sgiSeeds() {
    const char* layouts[] = {"", "grey", "grey-alpha", "rgb", "rgba", "five-channels"};
    for (int channels = 1; channels <= 5; ++channels) {
        const int width = 7, height = 3;
        const Bytes planes = planesOf(width, height, channels);
        const std::string layout = layouts[channels];
        emit("corpus/sgi", "verbatim-" + layout + "-7x3.sgi", sgiVerbatim(width, height, channels, planes));
        emit("corpus/sgi", "rle-" + layout + "-7x3.sgi", runLengthOf(width, height, channels, planes));
    }
    emit("corpus/sgi", "verbatim-rgb-1x1.sgi", sgiVerbatim(1, 1, 3, {1, 2, 3}));
    emit("corpus/sgi", "rle-rgba-300x2-long-runs.sgi", runLengthOf(300, 2, 4, planesOf(300, 2, 4)));

    // Rows that end early (control byte 0 first), rows stored in reverse
    // order, and rows that share their bytes.
    emit("corpus/sgi", "rle-grey-row-ends-at-once.sgi",
         sgiRunLength(5, 2, 1, {{0x00, 0x83, 1, 2, 3}, {0x83, 'a', 'b', 'c', 0x02, 'd', 0x00}}));
    Bytes reversed = sgiRunLength(4, 2, 1, {{0x04, 1, 0}, {0x84, 5, 6, 7, 8, 0}});
    putBigEndian32(reversed, 512, 512 + 16 + 3);
    putBigEndian32(reversed, 516, 512 + 16);
    putBigEndian32(reversed, 520, 6);
    putBigEndian32(reversed, 524, 3);
    // Row 0 now points at the second stored row and row 1 at the first.
    emit("corpus/sgi", "rle-grey-rows-out-of-order.sgi", reversed);
    Bytes shared = sgiRunLength(5, 3, 1, {{0x05, 9, 0}, {0x05, 8, 0}, {0x05, 7, 0}});
    for (int y = 1; y < 3; ++y) putBigEndian32(shared, 512 + 4 * y, 512 + 24);
    emit("corpus/sgi", "rle-grey-rows-share-bytes.sgi", shared);
    emit("corpus/sgi", "rle-grey-rows-without-end-byte.sgi",
         sgiRunLength(2, 2, 1, {{0x02, 9}, {0x82, 1, 2}}));

    // Two bytes per channel in the header: read as one, as the game does.
    Bytes wide = sgiVerbatim(2, 2, 3, planesOf(2, 2, 3));
    wide[3] = 2;
    emit("corpus/sgi", "verbatim-rgb-header-says-2-bytes-per-channel.sgi", wide);
}

void sgiRegression() {
    Bytes tableCut = sgiRunLength(
        2, 2, 3, {{0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}});
    tableCut.resize(512 + 20);
    Bytes rowPastEnd = sgiRunLength(2, 1, 1, {{0x02, 1, 0}});
    rowPastEnd[512 + 7] = 200;
    const std::string dir = "regression/sgi";
    emit(dir, "malformed-short-header.sgi", Bytes(100, 0));
    emit(dir, "malformed-zero-width.sgi", sgiVerbatim(0, 4, 3, {}));
    emit(dir, "malformed-no-channels.sgi", sgiVerbatim(4, 4, 0, {}));
    emit(dir, "malformed-65535-square.sgi", sgiHeader(true, 65535, 65535, 1) + Bytes(64, 0));
    emit(dir, "malformed-side-4097.sgi", sgiVerbatim(4097, 1, 1, Bytes(4097, 3)));
    emit(dir, "malformed-tables-cut.sgi", tableCut);
    emit(dir, "malformed-row-past-the-end.sgi", rowPastEnd);
    emit(dir, "malformed-repeat-overruns-width.sgi", sgiRunLength(2, 1, 1, {{0x03, 9, 0}}));
    emit(dir, "malformed-literal-overruns-width.sgi", sgiRunLength(2, 1, 1, {{0x81, 1, 0x82, 2, 3, 0}}));
    emit(dir, "malformed-literal-past-its-row.sgi", sgiRunLength(4, 1, 1, {{0x84, 1, 2}}));
    emit(dir, "malformed-repeat-without-its-byte.sgi", sgiRunLength(4, 1, 1, {{0x04}}));
    emit(dir, "malformed-verbatim-cut.sgi", sgiVerbatim(4, 4, 3, Bytes(40, 1)));
}

// ---- PPM

Bytes samples(std::size_t count) {
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(i * 29);
    return out;
}

void ppmSeeds() {
    const std::string dir = "corpus/ppm";
    emit(dir, "plain-4x4.ppm", ppm("P6\n4 4\n255\n", samples(48)));
    emit(dir, "comments-before-and-between-lines.ppm",
         ppm("# made by us\nP6\n# size next\n2 2\n#\n255\n", samples(12)));
    // A header line is read 127 characters at a time: the rest of this
    // comment comes as a line of its own, and the file is refused.
    emit(dir, "long-comment-read-as-two-lines.ppm",
         ppm("P6\n#" + std::string(200, 'c') + "\n2 1\n255\n", samples(6)));
    emit(dir, "odd-width-3x2.ppm", ppm("P6\n3 2\n255\n", samples(18)));
    emit(dir, "odd-width-5x1.ppm", ppm("P6\n5 1\n255\n", samples(15)));
    emit(dir, "maxval-1.ppm", ppm("P6\n2 2\n1\n", Bytes(12, 1)));
    emit(dir, "maxval-not-a-number.ppm", ppm("P6\n1 1\nwhatever\n", samples(3)));
    emit(dir, "trailing-bytes.ppm", ppm("P6\n1 1\n255\n", samples(9)));
    emit(dir, "crlf-lines.ppm", ppm("P6\r\n2 1\r\n255\r\n", samples(6)));
    emit(dir, "signed-size.ppm", ppm("P6\n+2 +1\n255\n", samples(6)));
    emit(dir, "side-4096.ppm", ppm("P6\n4096 1\n255\n", samples(3 * 4096)));
    emit(dir, "text-p3.ppm", ppm("P3\n1 1\n255\n1 2 3\n", {}));
}

void ppmRegression() {
    const struct {
        const char* name;
        const char* header;
        std::size_t sampleBytes;
    } cases[] = {
        {"empty", "", 0},
        {"magic-only", "P6\n", 0},
        {"no-maxval-line", "P6\n2 2\n", 0},
        {"size-not-numbers", "P6\nwide tall\n255\n", 12},
        {"size-one-number", "P6\n2\n255\n", 12},
        {"negative-width", "P6\n-2 2\n255\n", 12},
        {"zero-height", "P6\n2 0\n255\n", 12},
        {"width-past-long", "P6\n99999999999999999999 2\n255\n", 12},
        {"65535-square", "P6\n65535 65535\n255\n", 12},
        {"side-4097", "P6\n4097 1\n255\n", 12},
        {"samples-cut", "P6\n2 2\n255\n", 11},
        {"maxval-65535", "P6\n2 2\n65535\n", 24},
    };
    for (const auto& c : cases) {
        emit("regression/ppm", std::string("malformed-") + c.name + ".ppm",
             ppm(c.header, samples(c.sampleBytes)));
    }
}

// ---- 3DS

const std::vector<TestVertex> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<TestFace> squareFaces = {{0, 1, 2}, {0, 2, 3}};
const std::vector<std::pair<float, float>> squareCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

Bytes squareObject(const std::string& name, const Bytes& faceSubChunks = {}) {
    return namedObject(name, vertexList(square) + faceList(squareFaces, faceSubChunks));
}

void modelSeeds() {
    const std::string dir = "corpus/3ds";
    const Bytes smoothing = chunk3ds(0x4150, le32(1) + le32(1));
    emit(dir, "several-objects-textured-and-plain-materials.3ds",
         modelFile(join({material("paint", 200, 10, 20), material("skin", 1, 2, 3, "hull.rgb"),
                         namedObject("hull", vertexList(square) + texCoordList(squareCoords) +
                                                 faceList(squareFaces, materialGroup("skin", 2) + smoothing)),
                         squareObject("plain", materialGroup("paint", 1)), squareObject("bare")})));
    emit(dir, "unknown-chunks-at-every-level.3ds",
         chunk3ds(0x4D4D,
                  join({chunk3ds(0x0002, le32(3)), chunk3ds(0x1111, Bytes(5, 1)),
                        chunk3ds(0x3D3D,
                                 join({chunk3ds(0x3D3E, le32(3)), chunk3ds(0x2222, {}),
                                       chunk3ds(0xAFFF,
                                                chunk3ds(0xA000, cstr("m")) + chunk3ds(0xA010, Bytes(9, 2))),
                                       namedObject("o", vertexList(square) + chunk3ds(0x4160, Bytes(48, 0)) +
                                                            faceList(squareFaces, smoothing))})),
                        chunk3ds(0xB000, chunk3ds(0xB002, Bytes(20, 3)))})));
    emit(dir, "material-groups-last-known-wins.3ds",
         modelFile(join({material("a", 1, 1, 1), material("b", 2, 2, 2, "b.rgb"),
                         squareObject("two", materialGroup("a") + materialGroup("b")),
                         squareObject("unknown", materialGroup("b") + materialGroup("nowhere")),
                         squareObject("early", materialGroup("late")), material("late", 9, 9, 9)})));
    emit(dir, "version-4.3ds",
         chunk3ds(0x4D4D, chunk3ds(0x0002, le32(4)) +
                              chunk3ds(0x3D3D, chunk3ds(0x3D3E, le32(3)) + squareObject("o"))));
    emit(dir, "colour-with-two-sub-chunks.3ds",
         modelFile(chunk3ds(
             0xAFFF, chunk3ds(0xA000, cstr("m")) +
                         chunk3ds(0xA020, chunk3ds(0x0011, {10, 20, 30}) + chunk3ds(0x0010, Bytes(12, 0))))));
    // As other tools write them: the mesh data opens with a material, the
    // colours are floats (plain and linear), the mesh version comes later.
    const auto floatColour = [](const std::string& name, std::uint16_t id, float r, float g, float b) {
        return chunk3ds(
            0xAFFF, chunk3ds(0xA000, cstr(name)) + chunk3ds(0xA020, chunk3ds(id, f32(r) + f32(g) + f32(b))));
    };
    emit(dir, "float-colours-and-mesh-data-opening-with-a-material.3ds",
         chunk3ds(0x4D4D, chunk3ds(0x3D3D, join({floatColour("plain", 0x0010, 1, 0.5f, 0.25f),
                                                 floatColour("linear", 0x0013, 2, -1, 0),
                                                 squareObject("o", materialGroup("linear", 2)),
                                                 chunk3ds(0x3D3E, le32(3)), squareObject("p")}))));
    emit(dir, "empty-model.3ds", chunk3ds(0x4D4D, chunk3ds(0x0002, le32(3)) + chunk3ds(0x3D3D, {})));
    emit(dir, "material-group-in-a-file-without-materials.3ds",
         modelFile(squareObject("o", materialGroup("m"))));
    emit(dir, "faces-naming-a-vertex-twice.3ds",
         modelFile(
             namedObject("o", vertexList(square) + faceList({{0, 0, 1}, {1, 2, 1}, {2, 3, 3}, {0, 1, 2}}))));
    emit(dir, "objects-without-mesh-and-without-faces.3ds",
         modelFile(chunk3ds(0x4000, cstr("nothing")) + namedObject("points", vertexList(square))));

    // Names of 0, 254, 255 and 300 bytes for objects, materials and texture files.
    Bytes names;
    for (const std::size_t length : {0u, 254u, 255u, 300u}) {
        const std::string name(length, static_cast<char>('a' + length % 26));
        names = names + material(name, 5, 6, 7, std::string(length, 't')) +
                squareObject(name, materialGroup(name, 1));
    }
    emit(dir, "names-of-0-254-255-and-300-bytes.3ds", modelFile(names));

    // A vertex list 32 levels deep, the deepest the reader goes.
    Bytes deep = vertexList(square) + faceList(squareFaces);
    for (int level = 5; level < 32; ++level) deep = chunk3ds(0x4100, deep);
    emit(dir, "nesting-32-levels.3ds", modelFile(namedObject("deep", deep)));
}

void modelRegression() {
    const std::string dir = "regression/3ds";
    const Bytes good = squareObject("good");
    emit(dir, "malformed-length-below-header.3ds", modelFile(good + le16(0x4000) + le32(3) + Bytes(10, 0)));
    emit(dir, "malformed-past-its-parent.3ds", modelFile(good + le16(0x4000) + le32(500) + cstr("x")));
    emit(dir, "malformed-stray-bytes.3ds", modelFile(good + Bytes(4, 0)));
    emit(dir, "malformed-face-count-past-its-chunk.3ds",
         modelFile(good + namedObject("f", chunk3ds(0x4120, le16(50) + Bytes(16, 0)))));
    Bytes cut = modelFile(good + squareObject("cut"));
    cut.resize(cut.size() - 10);
    emit(dir, "malformed-file-ends-inside-a-chunk.3ds", cut);
    cut.resize(modelFile(good).size() + 3);
    emit(dir, "malformed-file-ends-inside-a-chunk-header.3ds", cut);
    emit(dir, "malformed-name-without-end.3ds", modelFile(chunk3ds(0x4000, {'a', 'b', 'c'}) + good));
    emit(dir, "malformed-list-too-short-for-its-count.3ds",
         modelFile(good + namedObject("v", chunk3ds(0x4110, {1}))));
    Bytes deep = vertexList(square);
    for (int level = 5; level < 33; ++level) deep = chunk3ds(0x4100, deep);
    emit(dir, "malformed-nesting-33-levels.3ds", modelFile(namedObject("deep", deep)));
    Bytes deeper = vertexList(square);
    for (int i = 0; i < 200; ++i) deeper = chunk3ds(0x4100, deeper);
    emit(dir, "malformed-nesting-200-levels.3ds", modelFile(chunk3ds(0x4000, cstr("deeper") + deeper)));
    emit(dir, "malformed-counts-past-their-payload.3ds",
         modelFile(namedObject("short", chunk3ds(0x4110, le16(65535) + f32(1) + f32(2) + f32(3) + f32(4)) +
                                            chunk3ds(0x4140, le16(100) + f32(1) + f32(2)))));
    emit(dir, "malformed-faces-beyond-the-vertices.3ds",
         modelFile(namedObject("o", vertexList(square) + faceList({{0, 1, 2}, {0, 4, 1}, {3, 2, 65535}}))));
    emit(dir, "malformed-main-chunk-shorter-than-its-header.3ds", le16(0x4D4D) + le32(2) + Bytes(20, 0));
    emit(dir, "malformed-not-a-model.3ds", chunk3ds(0x3D3D, squareObject("o")));
}

}  // namespace

// ---- Records

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

void recordsSeeds() {
    const std::string dir = "corpus/records";
    const std::string header = std::string(recordsHeader) + "\n";
    emit(dir, "empty.txt", {});
    emit(dir, "header-only.txt", text(header));
    emit(dir, "one-capture.txt", text(header + "2026-03-01T21:04:56Z 1740863096 151.250 3 2\n"));
    emit(dir, "limits.txt",
         text(header + "0000-01-01T00:00:00Z 0 0 0 0\n9999-12-31T23:59:60Z 4294967295 9999999.999 9999 9999\n"
                       "2026-03-01T21:04:56Z 7 1.5 0 1\n2026-03-01T21:04:56Z 8 12.25 1 0\n"));
    std::string many = header;
    for (int i = 0; i < 40; ++i)
        many += "2026-03-" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1) + "T12:00:00Z " +
                std::to_string(1000 + i * 7919) + " " + std::to_string(30 + i * 13 % 300) + ".5 " +
                std::to_string(i % 6) + " " + std::to_string(i % 3) + "\n";
    emit(dir, "forty-captures.txt", text(many));
}

void recordsRegression() {
    const std::string dir = "regression/records";
    const std::string header = std::string(recordsHeader) + "\n";
    const std::string good = "2026-03-01T21:04:56Z 7 151.250 3 2";
    emit(dir, "malformed-no-header.txt", text(good + "\n"));
    emit(dir, "malformed-last-line-cut.txt", text(header + good));
    emit(dir, "malformed-crlf.txt", text(header + good + "\r\n"));
    emit(dir, "malformed-seed-over-32-bits.txt", text(header + "2026-03-01T21:04:56Z 4294967296 1.5 3 2\n"));
    emit(dir, "malformed-seconds-four-decimals.txt", text(header + "2026-03-01T21:04:56Z 7 1.2345 3 2\n"));
    emit(dir, "malformed-seconds-eight-digits.txt", text(header + "2026-03-01T21:04:56Z 7 12345678 3 2\n"));
    emit(dir, "malformed-month-13.txt", text(header + "2026-13-01T21:04:56Z 7 1.5 3 2\n"));
    emit(dir, "malformed-six-fields.txt", text(header + good + " 1\n"));
    emit(dir, "malformed-nul-in-line.txt",
         text(header + std::string("2026-03-01T21:04:56Z\0 7 1.5 3 2\n", 36)));
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR  (writes DIR/corpus/* and DIR/regression/*)\n", argv[0]);
        return 2;
    }
    outputDir = argv[1];
    sgiSeeds();
    sgiRegression();
    ppmSeeds();
    ppmRegression();
    modelSeeds();
    modelRegression();
    recordsSeeds();
    recordsRegression();
    std::printf("%d files written under %s\n", written, outputDir.c_str());
    return 0;
}
