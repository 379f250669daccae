// Tests of `searchlight-assets inspect`: the exact line format, the hashes
// over what the readers return, and the exit status.
#include "inspect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "support/asset_writers.h"

namespace {

// FNV-1a 64 as the line format defines it.
std::string fnv(const Bytes& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char b : bytes) {
        hash ^= b;
        hash *= 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

struct InspectRun {
    int status = 0;
    std::string out, err;
};

InspectRun inspect(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    InspectRun run;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    run.status = runInspect(static_cast<int>(argv.size()), argv.data());
    run.err = ::testing::internal::GetCapturedStderr();
    run.out = ::testing::internal::GetCapturedStdout();
    return run;
}

}  // namespace

// SGI: size, channel count and the hash of the RGBA bytes, row 0 first.
TEST(Inspect, SgiLine) {
    TempDir dir;
    const std::string path = dir.path("smoke2.rgb");
    writeFile(path, sgiRunLength(2, 1, 4, {{0x82, 1, 2, 0}, {0x02, 3, 0}, {0x82, 4, 5, 0}, {0x82, 6, 7, 0}}));
    const InspectRun run = inspect({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, path + ": sgi 2 1 4 rgba=" + fnv({1, 3, 4, 6, 2, 3, 5, 7}) + "\n");
}

// PPM: size and the hash of the samples; other kinds are refused.
TEST(Inspect, PpmLines) {
    TempDir dir;
    writeFile(dir.path("a.ppm"), ppm("P6\n# c\n2 1\n255\n", {9, 8, 7, 6, 5, 4}));
    writeFile(dir.path("b.ppm"), ppm("P3\n1 1\n255\n1 2 3\n", {}));
    const InspectRun run = inspect({dir.path("a.ppm"), dir.path("b.ppm")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, dir.path("a.ppm") + ": ppm 2 1 rgb=" + fnv({9, 8, 7, 6, 5, 4}) + "\n" +
                           dir.path("b.ppm") + ": ppm refused\n");
}

// 3DS: counts, one line per material and per object with the hashes of the
// little-endian lists (an absent list hashes as empty), and with --normals
// the vertex normals.
TEST(Inspect, ModelLines) {
    TempDir dir;
    const std::string path = dir.path("badge.3ds");
    writeFile(path, modelFile(material("gold", 250, 200, 10, "gold.rgb") + material("plain", 1, 2, 3) +
                              namedObject("star", vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) +
                                                      texCoordList({{0, 0}, {1, 0}, {0, 1}}) +
                                                      faceList({{0, 1, 2}}, materialGroup("gold"))) +
                              namedObject("rim", vertexList({{0, 0, 0}, {0, 0, 2}, {0, 2, 0}}) +
                                                     faceList({{0, 1, 2}}))));
    const Bytes starVertices = f32(0) + f32(0) + f32(0) + f32(1) + f32(0) + f32(0) + f32(0) + f32(1) + f32(0);
    const Bytes starFaces = le32(0) + le32(1) + le32(2);
    const Bytes starCoords = f32(0) + f32(0) + f32(1) + f32(0) + f32(0) + f32(1);
    const Bytes rimVertices = f32(0) + f32(0) + f32(0) + f32(0) + f32(0) + f32(2) + f32(0) + f32(2) + f32(0);
    const InspectRun run = inspect({"--normals", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              path + ": 3ds 2 2\n" + "  material 0 \"gold\" 250 200 10 \"gold.rgb\"\n" +
                  "  material 1 \"plain\" 1 2 3 \"\"\n" +
                  "  object 0 \"star\" 3 1 3 0 1 vertices=" + fnv(starVertices) + " faces=" + fnv(starFaces) +
                  " texcoords=" + fnv(starCoords) + "\n" + "    normal 0 0.0000 0.0000 1.0000\n" +
                  "    normal 1 0.0000 0.0000 1.0000\n" + "    normal 2 0.0000 0.0000 1.0000\n" +
                  "  object 1 \"rim\" 3 1 0 0 0 vertices=" + fnv(rimVertices) + " faces=" + fnv(starFaces) +
                  " texcoords=" + fnv({}) + "\n" + "    normal 0 -1.0000 0.0000 0.0000\n" +
                  "    normal 1 -1.0000 0.0000 0.0000\n" + "    normal 2 -1.0000 0.0000 0.0000\n");
    EXPECT_EQ(fnv({}), "cbf29ce484222325");
}

// A 3DS file the game cannot open or that has no main chunk gives the
// reader's message and an empty model, which is no error; broken content
// is an error line.
TEST(Inspect, ModelFailures) {
    TempDir dir;
    writeFile(dir.path("foreign.3ds"), Bytes{'h', 'e', 'l', 'l', 'o', '!', '!'});
    writeFile(dir.path("broken.3ds"), modelFile(le16(0x4000) + le32(2)));
    const InspectRun fine = inspect({dir.path("missing.3ds"), dir.path("foreign.3ds")});
    EXPECT_EQ(fine.status, 0);
    EXPECT_EQ(fine.out, dir.path("missing.3ds") + ": 3ds 0 0\n" + dir.path("foreign.3ds") + ": 3ds 0 0\n");
    EXPECT_EQ(fine.err, "Unable to find the file: " + dir.path("missing.3ds") + "!" +
                            "Unable to load PRIMARY chuck from file: " + dir.path("foreign.3ds") + "!");
    const InspectRun broken = inspect({dir.path("broken.3ds")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, dir.path("broken.3ds") +
                              ": error chunk 0x4000 at offset 32 has length 2, shorter than its header\n");
}

// Errors name the file and the reason; inspection goes on with the next
// file and the status is 1.
TEST(Inspect, ErrorLinesAndStatus) {
    TempDir dir;
    writeFile(dir.path("cut.rgb"), sgiVerbatim(4, 4, 3, Bytes(5, 1)));
    writeFile(dir.path("big.ppm"), ppm("P6\n100000 100000\n255\n", Bytes(3, 0)));
    writeFile(dir.path("ok.bw"), sgiVerbatim(1, 1, 1, {42}));
    writeFile(dir.path("notes.txt"), Bytes{'x'});
    const InspectRun run = inspect({dir.path("cut.rgb"), dir.path("missing.rgb"), dir.path("big.ppm"),
                                    dir.path("notes.txt"), dir.path("ok.bw")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              dir.path("cut.rgb") +
                  ": error file of 517 bytes is too short for its 4 x 4 x 3 picture (560 bytes)\n" +
                  dir.path("missing.rgb") + ": error No such file or directory\n" + dir.path("big.ppm") +
                  ": error size 100000 x 100000 has a side over the 4096 pixels we accept\n" +
                  dir.path("notes.txt") + ": error not an .rgb, .rgba, .bw, .sgi, .ppm or .3ds file\n" +
                  dir.path("ok.bw") + ": sgi 1 1 1 rgba=" + fnv({42, 42, 42, 255}) + "\n");
    EXPECT_EQ(inspect({}).status, 2);
}

// Names from hostile files stay on their line.
TEST(Inspect, NamesAreEscaped) {
    TempDir dir;
    writeFile(dir.path("odd.3ds"), modelFile(material("a\"b\nc", 0, 0, 0)));
    const InspectRun run = inspect({dir.path("odd.3ds")});
    EXPECT_EQ(run.out, dir.path("odd.3ds") + ": 3ds 0 1\n  material 0 \"a\\x22b\\x0ac\" 0 0 0 \"\"\n");
}
