// Tests of whole-file reads: the bytes of a file, the system's reason when
// it cannot be opened or read, and files over the size limit refused
// unread, with every reader's message naming the file.
#include "assets/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "assets/model_file_reader.h"
#include "assets/ppm_image.h"
#include "assets/sgi_image.h"
#include "support/asset_writers.h"

namespace {

// Caps this process's address space at what it maps now plus headroom, so
// that allocating more fails as on a machine out of memory. For death-test
// children only.
void capAddressSpace(std::size_t headroom) {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit cap = {limit, limit};
    setrlimit(RLIMIT_AS, &cap);
}

// A model of `objects` objects of 65535 vertices each (no faces), written a
// piece at a time so that no large buffer is freed before the read: the
// read's own allocations must be the ones that fail.
std::size_t writeVertexHeavyModel(const std::string& path, int objects) {
    const std::uint32_t vertexChunk = 6 + 2 + 12 * 65535;
    const std::uint32_t objectChunk = 6 + 2 + vertexChunk;  // name "o" and its NUL
    const std::uint32_t meshData = 6 + objects * objectChunk;
    const std::uint32_t mainChunk = 6 + meshData;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const auto put = [file](const Bytes& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), file); };
    put(le16(0x4D4D) + le32(mainChunk) + le16(0x3D3D) + le32(meshData));
    const Bytes vertex = f32(1) + f32(2) + f32(3);
    for (int i = 0; i < objects; ++i) {
        put(le16(0x4000) + le32(objectChunk) + cstr("o") + le16(0x4110) + le32(vertexChunk) + le16(65535));
        for (int v = 0; v < 65535; ++v) put(vertex);
    }
    std::fclose(file);
    return mainChunk;
}

// A sparse file: the given bytes, then zeros up to size.
void writeSparse(const std::string& path, const Bytes& start, std::size_t size) {
    writeFile(path, start);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
}

}  // namespace

// A file of several read blocks comes back whole, and so does one whose
// size the system gives as 0; a missing file and a directory give the
// system's reason.
TEST(FileBytes, ReadsWholeFilesAndSaysWhyNot) {
    TempDir dir;
    Bytes written(200000);
    for (std::size_t i = 0; i < written.size(); ++i) written[i] = static_cast<unsigned char>(i * 7 + i / 300);
    writeFile(dir.path("data"), written);
    std::vector<unsigned char> bytes;
    std::string error;
    ASSERT_EQ(readFileBytes(dir.path("data").c_str(), bytes, error), FileReadStatus::ok) << error;
    EXPECT_EQ(bytes, written);
    ASSERT_EQ(readFileBytes("/proc/self/status", bytes, error), FileReadStatus::ok) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "Name:");
    ASSERT_EQ(readFileBytes("/dev/null", bytes, error), FileReadStatus::ok) << error;
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(readFileBytes(dir.path("missing").c_str(), bytes, error), FileReadStatus::cannotOpen);
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_EQ(readFileBytes(dir.dir.c_str(), bytes, error), FileReadStatus::readFailed);
    EXPECT_EQ(error, "Is a directory");
    EXPECT_TRUE(bytes.empty());
}

// A file one byte over the limit (sparse, so it costs no disk) is refused
// from its size alone, and the SGI and 3DS readers say so with its name; a
// stream is refused once it has delivered more than the limit.
TEST(FileBytes, OversizedFilesAreRefusedUnread) {
    TempDir dir;
    for (const char* name : {"huge.rgb", "huge.3ds"}) {
        writeFile(dir.path(name), sgiVerbatim(1, 1, 1, {1}));
        ASSERT_EQ(truncate(dir.path(name).c_str(), static_cast<off_t>(maxDataFileBytes) + 1), 0);
    }
    std::vector<unsigned char> bytes;
    std::string error;
    EXPECT_EQ(readFileBytes(dir.path("huge.rgb").c_str(), bytes, error), FileReadStatus::tooLarge);
    EXPECT_EQ(error, "file is larger than 268435456 bytes");
    EXPECT_EQ(bytes.capacity(), 0u);

    // A stream has no size to go by: it is refused once it delivers more.
    const std::size_t limit = 1 << 20;
    EXPECT_EQ(readFileBytes("/dev/zero", bytes, error, limit), FileReadStatus::tooLarge);
    EXPECT_EQ(error, "file is larger than 1048576 bytes");
    EXPECT_TRUE(bytes.empty());

    int width = 0, height = 0, channels = 0;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readSgiImage(dir.path("huge.rgb").c_str(), &width, &height, &channels), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              dir.path("huge.rgb") + ": file is larger than 268435456 bytes\n");

    ModelData model;
    ModelFileReader reader;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(reader.readFile(model, dir.path("huge.3ds").c_str()), ModelReadStatus::malformed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              dir.path("huge.3ds") + ": file is larger than 268435456 bytes\n");
    EXPECT_EQ(model.objectCount, 0);
}

// Memory running out inside a reader ends the game as its readers say it
// does: "Out of memory!" and status 1, not an abort on an uncaught
// exception. Each child caps its address space so that the reader's next
// large allocation fails: the 3DS reader's vertex arrays, the SGI reader's
// file buffer, the PPM reader's samples.
TEST(FileBytes, ReadersOutOfMemorySaySoAndExit1) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports a failed allocation itself";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this body again and ends in exit(1): a static
    // directory is still removed then.
    static TempDir dir;
    const std::size_t mib = 1 << 20;
    const std::string model = dir.path("heavy.3ds");
    const std::size_t modelBytes = writeVertexHeavyModel(model, 16);  // 12 MiB of vertices
    EXPECT_EXIT(
        {
            capAddressSpace(modelBytes + 4 * mib);
            ModelData data;
            readModelFile(data, model.c_str());
        },
        ::testing::ExitedWithCode(1), "^Out of memory!\n$");

    const std::string image = dir.path("big.rgb");
    writeSparse(image, sgiHeader(false, 4096, 4096, 4), 512 + 4096 * 4096 * 4);
    EXPECT_EXIT(
        {
            capAddressSpace(16 * mib);
            int size[3];
            readSgiImage(image.c_str(), &size[0], &size[1], &size[2]);
        },
        ::testing::ExitedWithCode(1), "^Out of memory!\n$");

    const std::string picture = dir.path("big.ppm");
    const std::string header = "P6\n4096 4096\n255\n";
    const std::size_t pictureBytes = header.size() + 4096 * 4096 * 3;
    writeSparse(picture, Bytes(header.begin(), header.end()), pictureBytes);
    EXPECT_EXIT(
        {
            capAddressSpace(pictureBytes + 4 * mib);
            readPpmTexture(picture.c_str());
        },
        ::testing::ExitedWithCode(1), "^Out of memory!\n$");
}
