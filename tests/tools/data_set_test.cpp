// The data set as a whole: every file the game reads is there, in a form
// the game's readers take, and the same bytes come out of every run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "assets/file_bytes.h"
#include "assets/model_file_reader.h"
#include "assets/ppm_image.h"
#include "bitmap_font.h"
#include "render/font_atlas.h"
#include "tools_test_support.h"

namespace {

// The city's texture table, in its order (index = position).
const char* const cityTextures[21] = {
    "buildingroof.rgb", "rooftopbumpjpg.rgb", "road.rgb",     "road04.rgb",   "building.rgb",
    "building2.rgb",    "windows1.rgb",       "windows2.rgb", "windows3.rgb", "grnbldg2.rgb",
    "ssb.rgb",          "towfront2.rgb",      "office1.rgb",  "apts.rgb",     "sidewalk.rgb",
    "roadh.rgb",        "roadv.rgb",          "roadi.rgb",    "smoke2.rgb",   "smokeblack2.rgb",
    "screenshot.rgb"};

const std::vector<DataFile>& dataSet() {
    static const std::vector<DataFile> files = buildDataSet();
    return files;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string error;
    EXPECT_EQ(readFileBytes(path.c_str(), bytes, error), FileReadStatus::ok) << path << ": " << error;
    return bytes;
}

// Building the set twice gives the same bytes, and so did the build's own
// run of the tool in another process.
TEST(DataSet, SameBytesOnEveryRun) {
    const std::vector<DataFile> again = buildDataSet();
    ASSERT_EQ(again.size(), dataSet().size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, dataSet()[i].name);
        EXPECT_TRUE(again[i].bytes == dataSet()[i].bytes) << again[i].name << " differs between runs";
        EXPECT_TRUE(readFile(std::string(SEARCHLIGHT_DATA_DIR) + "/" + again[i].name) == again[i].bytes)
            << again[i].name << " in the build's data directory differs";
    }
}

// The 21 city textures lead, in the table's order, then the searchlight
// image and both models; every texture a model material names is there too.
TEST(DataSet, HasEveryFileTheGameReads) {
    for (int i = 0; i < 21; ++i) EXPECT_EQ(textureRecipes()[i].fileName, std::string(cityTextures[i])) << i;
    for (const char* name : {"spotlight_image.ppm", "copter.3ds", "policebadge.3ds", "font.rgba"})
        dataSetFile(dataSet(), name);
    for (const char* model : {"copter.3ds", "policebadge.3ds"}) {
        const DataFile& file = dataSetFile(dataSet(), model);
        ModelData data;
        ModelFileReader reader;
        reader.log = nullptr;
        ASSERT_EQ(reader.readBytes(data, file.bytes.data(), file.bytes.size(), model), ModelReadStatus::ok)
            << model << ": " << reader.error();
        for (const MaterialInfo& m : data.materials) {
            if (m.textureFile[0] == '\0') continue;
            EXPECT_LE(std::strlen(m.textureFile), 25u) << "the game cancels longer texture names";
            dataSetFile(dataSet(), m.textureFile);
        }
        releaseModelData(data);
    }
}

// Every SGI file decodes through the game's core to exactly its painted
// picture; sizes are powers of two the game mipmaps quickly; both storages
// and both channel counts occur, and the smoke carries alpha.
TEST(DataSet, TexturesDecodeToTheirPictures) {
    bool runLength = false, verbatim = false, rgb = false, rgba = false;
    for (const TextureRecipe& recipe : textureRecipes()) {
        const DataFile& file = dataSetFile(dataSet(), recipe.fileName);
        const bool packed = file.bytes[2] == 1;
        (packed ? runLength : verbatim) = true;
        const DecodedImage image = decodeSgi(file.bytes);
        (image.channels == 4 ? rgba : rgb) = true;
        for (int size : {image.width, image.height}) {
            EXPECT_TRUE(size >= 32 && size <= 512 && (size & (size - 1)) == 0)
                << recipe.fileName << " " << size;
        }
        const Picture picture = paintRecipe(recipe);
        std::vector<std::uint8_t> expect = picture.toBytes(4);
        if (image.channels == 3) {
            for (size_t i = 3; i < expect.size(); i += 4) expect[i] = 255;
        }
        EXPECT_TRUE(image.rgba == std::vector<unsigned char>(expect.begin(), expect.end()))
            << recipe.fileName;
    }
    EXPECT_TRUE(runLength && verbatim && rgb && rgba);
    EXPECT_EQ(recipeFor("smoke2.rgb").channels, 4);
    EXPECT_EQ(recipeFor("smokeblack2.rgb").channels, 4);
}

// The font, as the game's text reads it: each character's glyph, font
// pixel for font pixel, opaque where the generator's glyph has ink and
// clear elsewhere, with clear texels between the glyphs so no neighbour
// shows at a glyph's edge.
TEST(DataSet, FontHoldsEveryGlyphWhereTheGameLooks) {
    const DecodedImage font = decodeSgi(dataSetFile(dataSet(), "font.rgba").bytes);
    ASSERT_EQ(font.width, FontAtlas::width);
    ASSERT_EQ(font.height, FontAtlas::height);
    ASSERT_EQ(font.channels, 4);
    std::vector<bool> glyphTexel(static_cast<size_t>(font.width) * font.height, false);
    int inked = 0;
    for (int c = 0; c < FontAtlas::cellColumns * FontAtlas::cellRows; ++c) {
        const auto u = static_cast<unsigned char>(c);
        for (int row = 0; row < glyphHeight; ++row) {
            for (int column = 0; column < glyphWidth; ++column) {
                const bool ink = glyphPixel(static_cast<char>(c), column, row);
                inked += ink ? 1 : 0;
                for (int dy = 0; dy < FontAtlas::texelsPerPixel; ++dy) {
                    for (int dx = 0; dx < FontAtlas::texelsPerPixel; ++dx) {
                        const int x = FontAtlas::glyphTexelX(u) + column * FontAtlas::texelsPerPixel + dx;
                        const int y = FontAtlas::glyphTexelY(u) +
                                      (glyphHeight - 1 - row) * FontAtlas::texelsPerPixel + dy;
                        glyphTexel[static_cast<size_t>(y) * font.width + x] = true;
                        ASSERT_EQ(font.at(x, y)[3], ink ? 255 : 0)
                            << "'" << char(c) << "' " << column << "," << row;
                    }
                }
            }
        }
    }
    EXPECT_GT(inked, 26 * 10) << "the letters, digits and punctuation are there";
    EXPECT_TRUE(glyphPixel('a', 0, 1)) << "lower case is drawn as upper case";
    for (int y = 0; y < font.height; ++y) {
        for (int x = 0; x < font.width; ++x) {
            const bool clear = !glyphTexel[static_cast<size_t>(y) * font.width + x];
            EXPECT_TRUE(!clear || font.at(x, y)[3] == 0) << x << "," << y;
        }
    }
}

// The searchlight image: binary P6 with its header lines apart, rows whose
// byte length is a multiple of 4 (the game uploads it with GL's default
// alignment), black all round its border and bright in the middle.
TEST(DataSet, SpotlightImageIsASoftBrightDiscOnBlack) {
    const DataFile& file = dataSetFile(dataSet(), "spotlight_image.ppm");
    const std::string header(file.bytes.begin(), file.bytes.begin() + 15);
    EXPECT_EQ(header, "P6\n256 256\n255\n");
    PpmImage image;
    std::string error;
    ASSERT_EQ(decodePpm(file.bytes.data(), file.bytes.size(), image, error), PpmStatus::ok) << error;
    EXPECT_EQ(image.width * 3 % 4, 0);
    const int w = image.width, h = image.height;
    auto sample = [&](int x, int y) { return image.samples[(static_cast<size_t>(y) * w + x) * 3]; };
    for (int i = 0; i < w; ++i) {
        EXPECT_EQ(sample(i, 0) | sample(i, h - 1) | sample(0, i % h) | sample(w - 1, i % h), 0)
            << "border " << i;
    }
    EXPECT_GE(sample(w / 2, h / 2), 230);
    // Brightness falls off outwards, softly: some pixels lie between dark and full.
    int middling = 0;
    int last = 256;
    for (int x = w / 2; x < w; x += 4) {
        EXPECT_LE(sample(x, h / 2), last + 4) << "rising at " << x;
        last = sample(x, h / 2);
        middling += (last > 20 && last < 200) ? 1 : 0;
    }
    EXPECT_GE(middling, 3);
}

// Writing goes into a new directory; a directory that cannot be made
// (its parent is a file) is reported, not ignored.
TEST(DataSet, WritesIntoADirectoryOrSaysWhyNot) {
    char pattern[] = "/tmp/searchlight-data-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = std::string(pattern) + "/data";
    std::string error;
    ASSERT_TRUE(writeDataSet(dir, error)) << error;
    for (const DataFile& f : dataSet()) EXPECT_TRUE(readFile(dir + "/" + f.name) == f.bytes) << f.name;

    const std::string blocker = std::string(pattern) + "/file";
    std::ofstream(blocker) << "x";
    EXPECT_FALSE(writeDataSet(blocker + "/data", error));
    EXPECT_NE(error.find(blocker), std::string::npos) << error;
    std::filesystem::remove_all(pattern);
}

}  // namespace
