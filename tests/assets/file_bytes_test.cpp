// Tests of whole-file reads: the bytes of a file, the system's reason when
// it cannot be opened or read, and files over the size limit refused
// unread, with every reader's message naming the file.
#include "assets/file_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "assets/model_file_reader.h"
#include "assets/sgi_image.h"
#include "support/asset_writers.h"

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
