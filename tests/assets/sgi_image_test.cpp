// Tests of the SGI image decoder: channel layouts, run-length rows, row
// offsets, and refusal of malformed files without writing past buffers.
#include "assets/sgi_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "support/asset_writers.h"

namespace {

// Decodes bytes to RGBA; empty on refusal, with the reason in error.
Bytes decode(const Bytes& file, std::string& error, int* channels = nullptr) {
    SgiImage image;
    if (!parseSgiImage(image, file.data(), file.size(), error)) return {};
    if (channels) *channels = image.zsize;
    Bytes rgba(4u * image.xsize * image.ysize);
    if (!decodeSgiPixels(image, rgba.data(), error)) return {};
    return rgba;
}

Bytes decode(const Bytes& file) {
    std::string error;
    Bytes rgba = decode(file, error);
    EXPECT_EQ(error, "");
    return rgba;
}

void putBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// A one-channel run-length picture whose rows all share one stored row of a
// single value: the smallest file for a picture of any size.
Bytes sharedRowPicture(int width, int height, unsigned char value) {
    const Bytes row = encodeSgiRow(Bytes(width, value));
    Bytes file = sgiHeader(true, width, height, 1);
    const std::size_t tables = file.size();
    file.resize(tables + 8u * height);
    for (int y = 0; y < height; ++y) {
        putBigEndian32(file, tables + 4u * y, static_cast<std::uint32_t>(file.size()));
        putBigEndian32(file, tables + 4u * (height + y), static_cast<std::uint32_t>(row.size()));
    }
    return file + row;
}

}  // namespace

// Three run-length channels give R, G, B with alpha 255 everywhere.
TEST(SgiImage, ThreeRunLengthChannelsAreOpaque) {
    const Bytes file = sgiRunLength(2, 1, 3, {{0x82, 10, 11, 0}, {0x02, 20, 0}, {0x82, 30, 31, 0}});
    EXPECT_EQ(decode(file), (Bytes{10, 20, 30, 255, 11, 20, 31, 255}));
}

// A fourth channel is kept as alpha, a fifth is ignored.
TEST(SgiImage, FourthChannelIsAlpha) {
    const Bytes four = sgiRunLength(1, 1, 4, {{0x01, 1, 0}, {0x01, 2, 0}, {0x01, 3, 0}, {0x01, 4, 0}});
    EXPECT_EQ(decode(four), (Bytes{1, 2, 3, 4}));
    const Bytes five = sgiVerbatim(1, 1, 5, {1, 2, 3, 4, 5});
    EXPECT_EQ(decode(five), (Bytes{1, 2, 3, 4}));
}

// One or two channels give grey from channel 0; the second channel is ignored.
TEST(SgiImage, OneOrTwoChannelsGiveGrey) {
    EXPECT_EQ(decode(sgiVerbatim(2, 1, 1, {7, 9})), (Bytes{7, 7, 7, 255, 9, 9, 9, 255}));
    EXPECT_EQ(decode(sgiVerbatim(2, 1, 2, {7, 9, 100, 200})), (Bytes{7, 7, 7, 255, 9, 9, 9, 255}));
}

// A row whose first control byte is 0 ends at once (its pixels stay 0);
// 0x83 a b c 0x02 d 0x00 decodes to a b c d d.
TEST(SgiImage, RunLengthControlBytes) {
    EXPECT_EQ(decode(sgiRunLength(3, 1, 1, {{0x00, 0x83, 1, 2, 3}})),
              (Bytes{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));

    SgiImage image;
    std::string error;
    const Bytes file = sgiRunLength(5, 1, 1, {{0x83, 'a', 'b', 'c', 0x02, 'd', 0x00}});
    ASSERT_TRUE(parseSgiImage(image, file.data(), file.size(), error));
    unsigned char row[5] = {};
    ASSERT_TRUE(decodeSgiRow(image, row, 0, 0, error)) << error;
    EXPECT_EQ(Bytes(row, row + 5), (Bytes{'a', 'b', 'c', 'd', 'd'}));
}

// Verbatim row y of channel z starts at 512 + y * xsize + z * xsize * ysize:
// with width 3, height 2 and one channel, row 1 is read from offset 515.
TEST(SgiImage, VerbatimRowOffsets) {
    Bytes file = sgiVerbatim(3, 2, 1, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(file[515], 4);
    SgiImage image;
    std::string error;
    ASSERT_TRUE(parseSgiImage(image, file.data(), file.size(), error));
    unsigned char row[3] = {};
    ASSERT_TRUE(decodeSgiRow(image, row, 1, 0, error));
    EXPECT_EQ(Bytes(row, row + 3), (Bytes{4, 5, 6}));

    // With three channels the green plane follows the whole red plane.
    file = sgiVerbatim(2, 2, 3, {1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24});
    EXPECT_EQ(decode(file), (Bytes{1, 11, 21, 255, 2, 12, 22, 255, 3, 13, 23, 255, 4, 14, 24, 255}));
}

// Random pictures survive our test encoder and the decoder unchanged, in
// both storage kinds, with rows at arbitrary places in the file.
TEST(SgiImage, RandomPicturesRoundTrip) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 20; ++trial) {
        const int width = 1 + static_cast<int>(random() % 300), height = 1 + static_cast<int>(random() % 5);
        Bytes planes(4u * width * height);
        // Long runs and noise, so both kinds of run appear.
        for (std::size_t i = 0; i < planes.size(); ++i) {
            planes[i] =
                random() % 3 == 0 ? static_cast<unsigned char>(random()) : static_cast<unsigned char>(i / 50);
        }
        std::vector<Bytes> rows;
        for (int z = 0; z < 4; ++z) {
            for (int y = 0; y < height; ++y) {
                const auto start = planes.begin() + (z * height + y) * width;
                rows.push_back(encodeSgiRow(Bytes(start, start + width)));
            }
        }
        const Bytes fromRunLength = decode(sgiRunLength(width, height, 4, rows));
        const Bytes fromVerbatim = decode(sgiVerbatim(width, height, 4, planes));
        ASSERT_EQ(fromRunLength.size(), 4u * width * height);
        EXPECT_EQ(fromRunLength, fromVerbatim);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int z = 0; z < 4; ++z) {
                    ASSERT_EQ(fromVerbatim[4 * (y * width + x) + z], planes[(z * height + y) * width + x]);
                }
            }
        }
    }
}

// Every malformed file is refused with a message saying what is wrong.
TEST(SgiImage, MalformedFilesAreRefused) {
    Bytes tableCut = sgiRunLength(
        2, 2, 3, {{0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}, {0x02, 1, 0}});
    tableCut.resize(512 + 20);
    Bytes rowPastEnd = sgiRunLength(2, 1, 1, {{0x02, 1, 0}});
    rowPastEnd[512 + 7] = 200;  // row length 200 from a file that ends sooner
    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"short header", Bytes(100, 0), "shorter than the 512-byte header"},
        {"zero width", sgiVerbatim(0, 4, 3, {}), "empty picture"},
        {"zero height", sgiVerbatim(4, 0, 3, {}), "empty picture"},
        {"no channels", sgiVerbatim(4, 4, 0, {}), "empty picture"},
        {"absurd size", sgiHeader(true, 65535, 65535, 1) + Bytes(1 << 20, 0), "has a side over"},
        {"tables cut", tableCut, "too short for the row tables"},
        {"row past the end", rowPastEnd, "past the end of the file"},
        {"repeat overruns the width", sgiRunLength(2, 1, 1, {{0x03, 9, 0}}), "decodes to more than"},
        {"literal overruns the width", sgiRunLength(2, 1, 1, {{0x81, 1, 0x82, 2, 3, 0}}),
         "decodes to more than"},
        {"literal needs bytes past the row", sgiRunLength(4, 1, 1, {{0x84, 1, 2}}), "inside a literal run"},
        {"repeat without its byte", sgiRunLength(4, 1, 1, {{0x04}}), "inside a repeated run"},
        {"verbatim file cut", sgiVerbatim(4, 4, 3, Bytes(40, 1)), "too short for its 4 x 4 x 3 picture"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_TRUE(decode(c.file, error).empty()) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

// Sides of 4096 pixels load, the largest picture filling the 64 MiB RGBA
// limit exactly (from a file of a few kilobytes whose rows all share one
// stored row); one pixel more on either side is refused from the header.
TEST(SgiImage, SidesAtTheLimit) {
    std::string error;
    const Bytes largest = decode(sharedRowPicture(4096, 4096, 9), error);
    ASSERT_EQ(largest.size(), maxSgiDecodedBytes) << error;
    EXPECT_EQ(largest[0], 9);
    EXPECT_EQ(largest[largest.size() - 2], 9);
    EXPECT_EQ(largest.back(), 255);
    EXPECT_EQ(decode(sgiVerbatim(4096, 1, 1, Bytes(4096, 3))).size(), 4u * 4096);
    EXPECT_EQ(decode(sgiVerbatim(1, 4096, 1, Bytes(4096, 3))).size(), 4u * 4096);

    const struct {
        Bytes file;
        const char* message;
    } refused[] = {
        {sharedRowPicture(4097, 1, 9), "picture of 4097 x 1 has a side over the 4096 pixels we accept"},
        {sharedRowPicture(1, 4097, 9), "picture of 1 x 4097 has a side over the 4096 pixels we accept"},
        {sgiVerbatim(4097, 1, 1, Bytes(4097, 3)), "picture of 4097 x 1 has a side over"},
    };
    for (const auto& c : refused) {
        error.clear();
        EXPECT_TRUE(decode(c.file, error).empty()) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// Only the channels the picture is made from are read and kept: the rows
// of further channels are looked up when asked for, and may lie anywhere,
// even past the end of the file.
TEST(SgiImage, ChannelsPastTheFourthAreReadOnDemand) {
    std::vector<Bytes> rows = {{0x02, 1, 0}, {0x02, 2, 0},  {0x02, 3, 0},
                               {0x02, 4, 0}, {0x02, 42, 0}, {0x02, 6, 0}};
    Bytes file = sgiRunLength(2, 1, 6, rows);
    putBigEndian32(file, 512 + 4 * 5, 0x00FFFFFF);  // channel 5's row lies far past the end
    EXPECT_EQ(decode(file), (Bytes{1, 2, 3, 4, 1, 2, 3, 4}));

    SgiImage image;
    std::string error;
    ASSERT_TRUE(parseSgiImage(image, file.data(), file.size(), error)) << error;
    unsigned char row[2] = {};
    ASSERT_TRUE(decodeSgiRow(image, row, 0, 4, error)) << error;
    EXPECT_EQ(Bytes(row, row + 2), (Bytes{42, 42}));
    EXPECT_FALSE(decodeSgiRow(image, row, 0, 5, error));
    EXPECT_EQ(error, "row 0 of channel 5 (offset 16777215, 3 bytes) lies past the end of the file");
}

// A refused run-length row writes nothing past the row it was given.
TEST(SgiImage, RefusedRowStaysInsideItsBuffer) {
    const Bytes file = sgiRunLength(4, 1, 1, {{0x82, 1, 2, 0x7F, 3, 0x00}});
    SgiImage image;
    std::string error;
    ASSERT_TRUE(parseSgiImage(image, file.data(), file.size(), error));
    Bytes buffer(4 + 16, 0xEE);
    EXPECT_FALSE(decodeSgiRow(image, buffer.data(), 0, 0, error));
    for (std::size_t i = 4; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
    for (const auto& [y, z] : {std::pair{1, 0}, {-1, 0}, {0, -1}, {0, 1}}) {
        EXPECT_FALSE(decodeSgiRow(image, buffer.data(), y, z, error)) << y << ", " << z;
        EXPECT_NE(error.find("is outside the picture"), std::string::npos) << error;
    }

    // The second channel of a grey picture is not part of it, so the file
    // need not hold it, but reading it is refused rather than run off the end.
    const Bytes grey = sgiVerbatim(4, 1, 2, {1, 2, 3, 4});
    ASSERT_TRUE(parseSgiImage(image, grey.data(), grey.size(), error)) << error;
    EXPECT_FALSE(decodeSgiRow(image, buffer.data(), 0, 1, error));
    EXPECT_EQ(error, "file ends inside row 0 of channel 1");
}

// The game's reader: a missing file is reported by perror and ends the
// program with status 1; a malformed one gives null and says why, naming
// the file.
TEST(SgiImage, GameReaderFailures) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int width = 0, height = 0, channels = 0;
    EXPECT_EXIT(readSgiImage("/nonexistent/road.rgb", &width, &height, &channels),
                ::testing::ExitedWithCode(1), "/nonexistent/road.rgb: No such file or directory");

    TempDir dir;
    writeFile(dir.path("cut.rgb"), sgiVerbatim(4, 4, 3, Bytes(10, 1)));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readSgiImage(dir.path("cut.rgb").c_str(), &width, &height, &channels), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                  "cut.rgb: file of 522 bytes is too short for its 4 x 4 x 3 picture"),
              std::string::npos);

    writeFile(dir.path("wide.rgb"), sgiVerbatim(4097, 1, 1, Bytes(4097, 1)));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readSgiImage(dir.path("wide.rgb").c_str(), &width, &height, &channels), nullptr);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                  "wide.rgb: picture of 4097 x 1 has a side over the 4096 pixels we accept\n"),
              std::string::npos);

    // A bad row is found while decoding; named with the file, the picture
    // is dropped, and a row read on its own names the file too.
    writeFile(dir.path("rows.rgb"), sgiRunLength(2, 1, 1, {{0x03, 9, 0}}));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readSgiImage(dir.path("rows.rgb").c_str(), &width, &height, &channels), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              dir.path("rows.rgb") + ": row 0 of channel 0 decodes to more than its 2 bytes\n");
    SgiImage* image = openSgiImage(dir.path("rows.rgb").c_str());
    ASSERT_NE(image, nullptr);
    unsigned char row[2];
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readSgiRow(image, row, 0, 0));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              dir.path("rows.rgb") + ": row 0 of channel 0 decodes to more than its 2 bytes\n");
    closeSgiImage(image);

    writeFile(dir.path("good.rgb"), sgiVerbatim(2, 1, 3, {1, 2, 3, 4, 5, 6}));
    unsigned char* rgba = readSgiImage(dir.path("good.rgb").c_str(), &width, &height, &channels);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(channels, 3);
    EXPECT_EQ(Bytes(rgba, rgba + 8), (Bytes{1, 3, 5, 255, 2, 4, 6, 255}));
    std::free(rgba);
}
