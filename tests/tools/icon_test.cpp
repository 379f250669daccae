// The desktop icon: the PNG writer's files read back by ImageMagick with the
// same pixels, its checksums against the published check values, and the
// icon's picture (the badge in the middle of a dark night tile with
// transparent corners, the same picture at every size, the same bytes on
// every run).
#include "icon.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

// A picture with a different colour (and alpha) in every pixel, so a
// swapped row, column or channel shows.
Picture testPattern(int width, int height) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.at(x, y) = Colour((x * 37 % 256) / 255.0f, (y * 53 % 256) / 255.0f,
                                ((x + 3 * y) % 256) / 255.0f, ((x * 11 + y * 7) % 256) / 255.0f);
        }
    }
    return p;
}

std::string scratchPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return "/tmp/searchlight_" + std::string(test->name()) + "_" + std::to_string(getpid()) + "_" + name;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// What ImageMagick decodes from a PNG file: PAM, the samples of every pixel
// (3 or 4 channels), top row first.
struct Decoded {
    int width = 0, height = 0, depth = 0;
    std::vector<std::uint8_t> samples;
};

Decoded decodeWithImageMagick(const std::vector<std::uint8_t>& png) {
    Decoded d;
    const std::string in = scratchPath("in.png"), out = scratchPath("out.pam");
    writeFile(in, png);
    const std::string command = "convert '" + in + "' 'pam:" + out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    std::remove(in.c_str());
    EXPECT_EQ(status, 0) << "ImageMagick could not read the PNG file";
    std::ifstream file(out, std::ios::binary);
    std::string word;
    int maxval = 0;
    while (file >> word && word != "ENDHDR") {
        if (word == "WIDTH") file >> d.width;
        if (word == "HEIGHT") file >> d.height;
        if (word == "DEPTH") file >> d.depth;
        if (word == "MAXVAL") file >> maxval;
    }
    file.get();  // the newline after ENDHDR
    EXPECT_EQ(maxval, 255);
    d.samples.resize(static_cast<std::size_t>(d.width) * d.height * d.depth);
    file.read(reinterpret_cast<char*>(d.samples.data()), static_cast<std::streamsize>(d.samples.size()));
    EXPECT_EQ(file.gcount(), static_cast<std::streamsize>(d.samples.size()));
    std::remove(out.c_str());
    return d;
}

// Every sample of the picture, top row first, as `channels` bytes a pixel.
std::vector<std::uint8_t> topDownBytes(const Picture& p, int channels) {
    const std::vector<std::uint8_t> bottomUp = p.toBytes(channels);
    const std::size_t row = static_cast<std::size_t>(p.width()) * channels;
    std::vector<std::uint8_t> out;
    for (int y = p.height() - 1; y >= 0; --y)
        out.insert(out.end(), &bottomUp[y * row], &bottomUp[y * row] + row);
    return out;
}

void expectRoundTrip(int width, int height, int channels) {
    const Picture picture = testPattern(width, height);
    const Decoded d = decodeWithImageMagick(encodePng(picture, channels));
    ASSERT_EQ(d.width, width);
    ASSERT_EQ(d.height, height);
    ASSERT_EQ(d.depth, channels);
    EXPECT_EQ(d.samples, topDownBytes(picture, channels)) << width << " x " << height << " x " << channels;
}

// Mean of a square of pixels around (fx, fy), fractions of the side (y up).
Colour meanAround(const Picture& p, float fx, float fy, float halfSide) {
    const int n = p.width();
    const int r = std::max(0, static_cast<int>(halfSide * n));
    const int cx = static_cast<int>(fx * n), cy = static_cast<int>(fy * n);
    Colour sum(0, 0, 0, 0);
    int count = 0;
    for (int y = cy - r; y <= cy + r; ++y) {
        for (int x = cx - r; x <= cx + r; ++x) {
            const Colour& c = p.at(x, y);
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
            ++count;
        }
    }
    return {sum.r / count, sum.g / count, sum.b / count, sum.a / count};
}

float luminance(const Colour& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

}  // namespace

// ImageMagick (libpng and zlib underneath) reads back exactly what was
// written: odd sizes in RGB, and RGBA across the 65535-byte limit of a stored
// block (64 x 255 fills one block exactly; 64 x 256 needs a second).
TEST(PngWriter, ImageMagickReadsBackEveryPixel) {
    expectRoundTrip(1, 1, 3);
    expectRoundTrip(7, 5, 3);
    expectRoundTrip(64, 255, 4);
    expectRoundTrip(64, 256, 4);
    expectRoundTrip(300, 250, 4);
}

// The file starts with the PNG signature and an IHDR that gives width,
// height, 8 bits and the colour type; the last chunk is IEND.
TEST(PngWriter, HeaderNamesSizeAndColourType) {
    const std::vector<std::uint8_t> png = encodePng(testPattern(300, 2), 4);
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png.size(), 8u + 25u + 12u);
    EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ((png[16] << 24) | (png[17] << 16) | (png[18] << 8) | png[19], 300);
    EXPECT_EQ((png[20] << 24) | (png[21] << 16) | (png[22] << 8) | png[23], 2);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 6);
    EXPECT_EQ(encodePng(testPattern(3, 3), 3)[25], 2);
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}

// The published check values of both checksums (CRC-32 of "123456789", the
// CRC every PNG's IEND chunk carries; Adler-32 of a text and of a long run,
// where the sums wrap the modulus many times, computed with zlib).
TEST(PngWriter, ChecksumsMatchTheStandardValues) {
    const std::string digits = "123456789", iend = "IEND", text = "Wikipedia";
    EXPECT_EQ(crc32(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), 0xCBF43926u);
    EXPECT_EQ(crc32(reinterpret_cast<const std::uint8_t*>(iend.data()), iend.size()), 0xAE426082u);
    EXPECT_EQ(adler32(nullptr, 0), 1u);
    EXPECT_EQ(adler32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0x11E60398u);
    const std::vector<std::uint8_t> run(100000, 0xFF);
    EXPECT_EQ(adler32(run.data(), run.size()), 0x149A302Cu);
}

// The badge stands in the middle of both sizes: gold field beside the star,
// a silver star in the centre, over a dark blue night in the upper corners.
TEST(Icon, GoldBadgeWithSilverStarOverADarkNight) {
    for (int size : {64, 256}) {
        SCOPED_TRACE(size);
        const Picture icon = paintIcon(size);
        ASSERT_EQ(icon.width(), size);
        ASSERT_EQ(icon.height(), size);
        const float badgeHeight = iconBadgeTop - iconBadgeBottom;
        // Right of the star, level with it, on the field.
        const Colour gold =
            meanAround(icon, 0.5f + 0.6f * iconBadgeHalfWidth, iconBadgeBottom + 0.6f * badgeHeight, 0.02f);
        EXPECT_GT(gold.r, 0.6f);
        EXPECT_GT(gold.r, 2.5f * gold.b);
        const Colour star = meanAround(icon, 0.5f, iconBadgeBottom + 0.57f * badgeHeight, 0.015f);
        EXPECT_GT(std::min({star.r, star.g, star.b}), 0.7f);
        EXPECT_LT(std::max({star.r, star.g, star.b}) - std::min({star.r, star.g, star.b}), 0.15f);
        // The upper right, away from the beam and the badge, is night sky.
        const Colour sky = meanAround(icon, 0.88f, 0.86f, 0.04f);
        EXPECT_LT(luminance(sky), 0.12f);
        EXPECT_GE(sky.b, sky.r);
        EXPECT_FLOAT_EQ(sky.a, 1);
        // The city under the badge's sides is dark too, lit windows and all.
        EXPECT_LT(luminance(meanAround(icon, 0.12f, 0.2f, 0.06f)), 0.2f);
    }
}

// Outside the rounded tile the icon is transparent (the corners cut round),
// inside it opaque.
TEST(Icon, RoundedTileIsOpaqueWithTransparentCorners) {
    for (int size : {64, 256}) {
        SCOPED_TRACE(size);
        const Picture icon = paintIcon(size);
        const int n = size - 1;
        const int edge = static_cast<int>(std::ceil(iconMargin * size));  // first pixel inside the margin
        for (int corner : {0, n}) {
            EXPECT_EQ(icon.at(corner, corner).a, 0);
            EXPECT_EQ(icon.at(corner, n - corner).a, 0);
        }
        EXPECT_EQ(icon.at(edge, edge).a, 0) << "the tile's corner is not rounded";
        EXPECT_EQ(icon.at(size / 2, edge + 1).a, 1);
        EXPECT_EQ(icon.at(edge + 1, size / 2).a, 1);
        EXPECT_EQ(icon.at(size / 2, size / 2).a, 1);
        EXPECT_EQ(icon.at(size / 2, 0).a, 0) << "the margin is not transparent";
    }
}

// The small icon is the large one seen smaller: every 4 x 4 block of the 256
// averaged matches the 64's pixel closely on the whole (a painter working in
// fixed pixel units would move or resize things between the sizes).
TEST(Icon, SmallIconIsTheLargeOneScaledDown) {
    const Picture big = paintIcon(256), small = paintIcon(64);
    double difference = 0;
    int count = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            Colour sum(0, 0, 0, 0);
            for (int dy = 0; dy < 4; ++dy) {
                for (int dx = 0; dx < 4; ++dx) {
                    const Colour& c = big.at(4 * x + dx, 4 * y + dy);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
                }
            }
            const Colour& s = small.at(x, y);
            if (s.a < 1) continue;
            difference +=
                std::fabs(sum.r / 16 - s.r) + std::fabs(sum.g / 16 - s.g) + std::fabs(sum.b / 16 - s.b);
            count += 3;
        }
    }
    EXPECT_LT(difference / count, 0.05);
}

// The build paints the icon on every run; the same bytes must come out.
TEST(Icon, SameBytesEveryTime) { EXPECT_EQ(encodePng(paintIcon(64), 4), encodePng(paintIcon(64), 4)); }
