// Tests of the PPM decoder: the header lines as the game reads them and the
// refusal of sizes and sample formats it cannot hold.
#include "assets/ppm_image.h"

#include <gtest/gtest.h>

#include "support/asset_writers.h"

namespace {

PpmStatus decode(const Bytes& file, PpmImage& image, std::string& error) {
    return decodePpm(file.data(), file.size(), image, error);
}

}  // namespace

// Comment lines may stand wherever a header line is expected; samples come
// in file order.
TEST(PpmImage, CommentsBetweenHeaderLines) {
    const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    PpmImage image;
    std::string error;
    ASSERT_EQ(decode(ppm("# made by us\nP6\n# size next\n2 2\n#\n255\n", samples), image, error),
              PpmStatus::ok)
        << error;
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.samples, samples);
}

// Only the binary P6 kind is used; others are refused without a message.
TEST(PpmImage, OtherKindsAreRefusedQuietly) {
    PpmImage image;
    std::string error;
    EXPECT_EQ(decode(ppm("P3\n1 1\n255\n1 2 3\n", {}), image, error), PpmStatus::refused);
    EXPECT_EQ(decode(ppm("P5\n1 1\n255\n", {9}), image, error), PpmStatus::refused);
    EXPECT_EQ(error, "");
}

// Sizes the file cannot hold, sizes that are no picture and 16-bit samples
// are refused with a message; nothing is kept.
TEST(PpmImage, MalformedHeadersAreRefused) {
    const struct {
        const char* header;
        std::size_t sampleBytes;
        const char* message;
    } cases[] = {
        {"", 0, "no header line"},
        {"P6\n", 0, "before the size line"},
        {"P6\n2 2\n", 0, "before the maximum value line"},
        {"P6\nwide tall\n255\n", 12, "not two numbers"},
        {"P6\n2\n255\n", 12, "not two numbers"},
        {"P6\n-2 2\n255\n", 12, "is not a picture"},
        {"P6\n2 0\n255\n", 12, "is not a picture"},
        {"P6\n99999999999 2\n255\n", 12, "has a side over"},
        {"P6\n65535 65535\n255\n", 12, "has a side over"},
        {"P6\n2 2\n255\n", 11, "the file holds 11"},
        {"P6\n2 2\n65535\n", 24, "16-bit samples"},
    };
    for (const auto& c : cases) {
        PpmImage image;
        std::string error;
        EXPECT_EQ(decode(ppm(c.header, Bytes(c.sampleBytes, 7)), image, error), PpmStatus::malformed)
            << c.header;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.header << ": " << error;
        EXPECT_TRUE(image.samples.empty());
    }
}

// Sides of 4096 pixels are read; one pixel more on either side is refused
// from the header, before the samples are looked at.
TEST(PpmImage, SidesAtTheLimit) {
    PpmImage image;
    std::string error;
    ASSERT_EQ(decode(ppm("P6\n4096 1\n255\n", Bytes(3 * 4096, 5)), image, error), PpmStatus::ok) << error;
    EXPECT_EQ(image.width, 4096);
    ASSERT_EQ(decode(ppm("P6\n1 4096\n255\n", Bytes(3 * 4096, 5)), image, error), PpmStatus::ok) << error;
    EXPECT_EQ(image.height, 4096);

    for (const char* header : {"P6\n4097 1\n255\n", "P6\n1 4097\n255\n"}) {
        EXPECT_EQ(decode(ppm(header, Bytes(3 * 4097, 5)), image, error), PpmStatus::malformed) << header;
        EXPECT_NE(error.find("has a side over the 4096 pixels we accept"), std::string::npos) << error;
        EXPECT_TRUE(image.samples.empty());
    }
}

// Bytes after the samples are ignored; the maximum value line is otherwise
// not interpreted.
TEST(PpmImage, TrailingBytesAndOddMaximumAreAccepted) {
    PpmImage image;
    std::string error;
    ASSERT_EQ(decode(ppm("P6\n1 1\nwhatever\n", {1, 2, 3, 4, 5}), image, error), PpmStatus::ok) << error;
    EXPECT_EQ(image.samples, (Bytes{1, 2, 3}));
}
